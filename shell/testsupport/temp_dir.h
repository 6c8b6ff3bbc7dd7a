#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvex::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the shell writes directories: with a trailing '/'.
  std::string dir() const { return path_.string() + "/"; }
  // Writes a file (bytes as given) relative to the folder and returns its path.
  std::filesystem::path write(const std::string& name, std::string_view bytes) const;
  std::string read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace tarvex::testing

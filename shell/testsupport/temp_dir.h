#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// A file's bytes, written whole or read whole (empty when it cannot be read).
void writeBytes(const std::filesystem::path& file, std::string_view bytes);
std::string readBytes(const std::filesystem::path& file);

// The names of a folder's entries, sorted; the folder's own entries only.
std::vector<std::string> folderListing(const std::filesystem::path& folder);

// Every entry of a folder by name, with its bytes; the folder's own entries only.
std::map<std::string, std::string> folderContents(const TempDir& dir);

}  // namespace tarvex::testing

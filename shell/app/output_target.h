#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tarvex {

// Where a report of the batch check goes, settled before any check runs, so that a report
// that cannot be written stops the run before anything is repaired. "-" is standard output;
// a pipe or a device (a FIFO, /dev/stdout) is written to as it is; any other name is a file,
// written whole at the end through the safe rewrite.
class OutputTarget {
 public:
  // The target named `name` (of option `option`, for the message), or nothing with the
  // reason in `why`: an empty name, a folder, a file that cannot be created or written.
  static std::optional<OutputTarget> open(const std::string& option, const std::string& name,
                                          std::string& why);

  bool toStandardOutput() const { return standardOutput_; }
  // Writes the report; a RunTimeError when it cannot.
  void write(std::string_view text, std::ostream& out) const;

 private:
  bool standardOutput_ = false;
  bool stream_ = false;  // a pipe or a device: written to, never replaced
  std::filesystem::path path_;
};

}  // namespace tarvex

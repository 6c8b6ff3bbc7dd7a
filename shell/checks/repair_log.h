#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "checks/check_context.h"

namespace tarvex {

// The repair log of a data folder: one JSON line per run that rewrote files (a repair by the
// window or by --fix, or an undo), appended under the folder's lock, so that a repair can be
// traced and undone.
inline constexpr const char* kRepairLogName = "TARVEXshell-repairs.jsonl";

struct LoggedFile {
  std::string file;                   // its name in the data folder
  std::optional<std::string> backup;  // the backup of its contents before the run
  std::string before, after;          // SHA-256 of its contents before and after the run
};

struct LoggedRun {
  long run = 0;                     // 1, 2, ... in the order of the log
  std::string time;                 // UTC, ISO 8601
  std::string program;              // which program made it, and how
  std::optional<long> undoes = {};  // the run an undo put back
  std::vector<LoggedFile> files = {};
};

// Appends the run that made `changes` (when it replaced any file: files it made anew are no
// repair) and returns its number; a RunTimeError when the log cannot be written.
std::optional<long> appendRepairLog(const std::filesystem::path& folder, const std::string& program,
                                    const FileChanges& changes,
                                    std::optional<long> undoes = std::nullopt);

// The runs of the log, in order; a line that is not a whole record (cut short by a crash) is
// passed over.
std::vector<LoggedRun> readRepairLog(const std::filesystem::path& folder);

}  // namespace tarvex

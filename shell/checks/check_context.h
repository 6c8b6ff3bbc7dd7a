#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// How the checks may change the files of the data folder. The window's checks write
// what the user agreed to; a batch check may forbid every write, or keep a dated copy of
// each file before it is replaced.
struct FileChanges {
  bool dryRun = false;                 // nothing is written
  bool keepBackups = false;            // a file is copied to its dated backup before it is replaced
  std::vector<std::string> rewritten;  // files written, by name in the data folder
  std::vector<std::string> backups;    // backups made, by name
};

// "SiteInfo.txt" on 7 March 2011 -> "SiteInfo.txt-BadFile-3-7-2011.txt".
std::string backupNameFor(const std::string& fileName, const CalendarDate& date);

// What every check works with: the shell's state, the desktop for its boxes, and the
// reporting interface for counts, status and the viewer.
struct CheckContext {
  ShellState& state;
  Desktop& desktop;
  ShellReport& report;
  FileChanges* changes = nullptr;  // none: write as asked, keep no record

  // A file the user chose, by its bare name, in the data folder.
  std::filesystem::path dataFile(const std::string& name) const;
  // Counts a problem found and shows both counts.
  void countError() { report.addError(); }
  void countWarning() { report.addWarning(); }
  // Shows the counts, then `text` in the viewer; returns when the viewer is closed.
  void showReport(std::string text);

  // Writes a file whole through replaceFile, as the file changes allow.
  void writeFile(const std::filesystem::path& path, std::string_view bytes);
  // Copies a file to its dated backup name beside it (replacing an older one of that
  // name) and returns that name.
  std::string backUp(const std::filesystem::path& path);
};

}  // namespace tarvex

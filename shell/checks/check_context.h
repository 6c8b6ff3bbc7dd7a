#pragma once

#include <filesystem>
#include <string>

#include "platform/desktop.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// What every check works with: the shell's state, the desktop for its boxes, and the
// reporting interface for counts, status and the viewer.
struct CheckContext {
  ShellState& state;
  Desktop& desktop;
  ShellReport& report;

  // A file the user chose, by its bare name, in the data folder.
  std::filesystem::path dataFile(const std::string& name) const;
  // Counts a problem found and shows both counts.
  void countError() { report.addError(); }
  void countWarning() { report.addWarning(); }
  // Shows the counts, then `text` in the viewer; returns when the viewer is closed.
  void showReport(std::string text);
};

}  // namespace tarvex

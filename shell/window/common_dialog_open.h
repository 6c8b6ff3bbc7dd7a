#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/run_time_error.h"
#include "state/shell_report.h"

namespace tarvex {

inline constexpr const char* kOpenFilter =
    "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Data Files (*.dat)|*.dat";

// What the file-open dialog gave: the bare name and the rest of the path (ending in
// '/'), or the error that ended it (err::kCancel for Cancel).
struct DialogChoice {
  std::string fileName;
  std::string folder;
  std::optional<RunTimeError> error;

  bool cancelled() const { return error && error->number() == err::kCancel; }
};

// Asks for an existing file until one is chosen. Cancel ends it without a box; any
// other failure is counted and shown in one box titled " Sub CommonDialogOpen ". An
// initial folder is used only when it is longer than one character after trimming.
DialogChoice CommonDialogOpen(Desktop& desktop, ShellReport& report, const std::string& title,
                              const std::string& suggestedName, const std::string& initialDir);

}  // namespace tarvex

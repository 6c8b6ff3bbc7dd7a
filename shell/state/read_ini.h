#pragma once

#include <optional>

#include "platform/desktop.h"
#include "platform/run_time_error.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// Reads TARVEXshell01.ini from ShellDirectory. Value lines are counted after skipping
// lines that start with '#': the first names the engine program, the second its
// control file, the third the engine's folder; a value the file does not reach keeps
// its old content. When the file cannot be read, the engine names take their
// defaults, the failure is counted and shown, and its error is returned.
std::optional<RunTimeError> ReadINI(Desktop& desktop, ShellState& state, ShellReport& report);

}  // namespace tarvex

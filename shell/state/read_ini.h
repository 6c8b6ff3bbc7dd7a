#pragma once

#include <functional>
#include <string>

#include "platform/desktop.h"
#include "state/shell_state.h"

namespace tarvex {

// Reads TARVEXshell01.ini from `shellDirectory` (ending in '/'). Value lines are
// counted after skipping lines that start with '#': the first names the engine
// program, the second its control file, the third the engine's folder. Status is 0,
// or the error number when the file could not be read; the names then take their
// defaults and the failure is counted and shown (`showCounts` refreshes the boxes).
void ReadINI(Desktop& desktop, ShellState& state, const std::string& shellDirectory,
             std::string& exeName, std::string& ctfName, short& status, std::string& folderName,
             const std::function<void()>& showCounts);

}  // namespace tarvex

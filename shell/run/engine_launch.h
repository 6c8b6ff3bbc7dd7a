#pragma once

#include <string>

#include "platform/desktop.h"
#include "run/file_times.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// Step 3 up to the engine's start: the question when errors were counted, the overwrite
// check, the copies of the chosen input files onto the standard names, and the engine
// files. `withMatrix` is whether the weighting matrix takes part (cbUDWMatrix). False
// when the step stops here; every box has then been shown.
bool prepareEngineRun(Desktop& desktop, ShellState& state, ShellReport& report, bool withMatrix);

// False, after a box that names it, when the data folder holds a file with the engine
// program's or control file's name (in any letter case) whose bytes are not the shell's
// own copy: the step must not run nor later remove a program of the user's.
bool engineFilesAreOurs(Desktop& desktop, const ShellState& state);

// Makes sure the engine program and control file are in `target`, copying them from
// `source` (folders ending in '/'). False when they are not, after the boxes that say why.
// The files it copies are recorded in the state (EngineFilesCopied).
bool CopyTARVEX(Desktop& desktop, ShellState& state, const std::string& source,
                const std::string& target);

// Starts the engine in the data directory, minimized and without waiting, and records the
// run in the state: the program, and its start time as the file system sees it (every file
// written from then on is at least as new), its output pending.
void startEngine(Desktop& desktop, ShellState& state);

// Creates the output subdirectory (a name relative to the data directory) and moves the
// run's files into it. False, after a box, when either failed.
bool CopyFilesToDirectory(Desktop& desktop, const ShellState& state,
                          const std::string& subdirectory, FileTime start, bool withMatrix);

// Moves every file directly in `source` that was created or changed at or after `start`
// into the subdirectory (relative to `source`), then offers to copy the input files there
// too. False when a folder is missing or a move failed; a file that could not be moved
// stays where it was.
bool MoveOutputfiles(Desktop& desktop, const ShellState& state, const std::string& source,
                     const std::string& subdirectory, FileTime start, bool withMatrix);

}  // namespace tarvex

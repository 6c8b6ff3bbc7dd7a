#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/run_time_error.h"
#include "state/shell_state.h"

namespace tarvex {

// Action codes of MakeDestroyFolder and CopyDeleteFile.
enum FolderAction : int { kCopyFolder = 0, kDeleteFolder = 1, kCreateFolder = 2 };
enum FileAction : int { kCopyFile = 0, kDeleteFile = 1 };

// True when the path names an existing ordinary file. Relative paths resolve against
// the current directory.
bool FileExists(const std::string& path);

// True when the folder exists; a file path or a missing folder gives false.
bool FolderExists(const std::string& path);

// True when both paths name readable files with the same bytes.
bool sameBytes(const std::string& first, const std::string& second);

// True when both paths name one folder, however they are spelled ("a/./", a link).
bool sameFolder(const std::string& first, const std::string& second);

// Copies (0), deletes with its contents (1) or creates (2) a folder. On failure one
// box titled "Sub MakeDestroyFolder " shows the error, which is returned.
std::optional<RunTimeError> MakeDestroyFolder(Desktop& desktop, const std::string& path, int action,
                                              const std::string& destination = {});

// Copies (0, replacing the destination safely) or deletes (1) a file. On failure one
// box titled " Sub " shows the error, which is returned.
std::optional<RunTimeError> CopyDeleteFile(Desktop& desktop, const std::string& path, int action,
                                           const std::string& destination = {});

// Removes the engine files and the engine folder from a data directory ending in '/':
// only the files this session copied there that still hold the shell's bytes, and the
// folder only when it came with a run of this session; nothing while the engine runs.
void CleanUpDir(Desktop& desktop, const ShellState& state, const std::string& directory);

}  // namespace tarvex

#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "checks/check_context.h"
#include "platform/folder_lock.h"

namespace tarvex {

// What the batch commands share about the data folder they are given: it must exist, no
// other check, repair or run may hold it, and what they rewrote goes to its repair log.
// Each says what went wrong in one line on `err`.

// The folder, resolved; nothing when there is no such folder.
std::optional<std::filesystem::path> existingDataFolder(const std::string& given,
                                                        std::ostream& err);
// True when another holds the folder's lock.
bool dataFolderBusy(const FolderLock& lock, const std::string& given, std::ostream& err);
// Appends the run's rewrites to the folder's repair log; a log that cannot be written is
// said, and the run goes on.
void logRepairs(const std::filesystem::path& folder, const std::string& program,
                const FileChanges& changes, std::optional<long> undoes, std::ostream& err);

}  // namespace tarvex

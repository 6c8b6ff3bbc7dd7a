#pragma once

#include <string>

#include "platform/desktop.h"
#include "platform/folder_lock.h"

namespace tarvex {

// False, after a box that says so, when another check or run holds the data folder's
// lock; the step then leaves everything as it was.
bool dataFolderFree(Desktop& desktop, const FolderLock& lock, const std::string& folder);

}  // namespace tarvex

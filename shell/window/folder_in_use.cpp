#include "window/folder_in_use.h"

namespace tarvex {

bool dataFolderFree(Desktop& desktop, const FolderLock& lock, const std::string& folder) {
  if (!lock.busy()) return true;
  desktop.msgBox("Another check, repair or TARVEX run is using the data folder:\r\n" + folder +
                     "\r\nPlease wait until it has finished, then click the step again.",
                 kExclamation, "Data Folder in Use:");
  return false;
}

}  // namespace tarvex

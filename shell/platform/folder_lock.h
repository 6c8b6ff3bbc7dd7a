#pragma once

#include <filesystem>

#include "platform/file_descriptor.h"

namespace tarvex {

// One check, repair or run at a time in a data folder: an advisory lock (flock) on a lock
// file in the folder, held while the object lives and removed with it. Taking it never
// waits; it also removes what a killed earlier run left behind (its temporary files).
class FolderLock {
 public:
  enum class State {
    Held,        // this process holds the lock
    Busy,        // another check or run holds it
    Unlockable,  // no lock file can be made (a read-only folder): nothing to guard
  };

  explicit FolderLock(const std::filesystem::path& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }
  bool busy() const { return state_ == State::Busy; }

 private:
  std::filesystem::path path_;
  FileDescriptor file_;
  State state_ = State::Unlockable;
};

// The lock file's name in a data folder.
inline constexpr const char* kFolderLockName = ".TARVEXshell.lock";

}  // namespace tarvex

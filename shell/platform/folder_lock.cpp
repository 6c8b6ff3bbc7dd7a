#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/safe_write.h"

namespace tarvex {

namespace {

// True when `path` still names the open file: a holder removes the lock file before it lets
// go, so a lock taken on a file already removed guards nothing.
bool stillNamed(int fd, const std::filesystem::path& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

FolderLock::FolderLock(const std::filesystem::path& folder) : path_(folder / kFolderLockName) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    file_ = FileDescriptor(::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
    // A folder where no lock file can be made (read-only) gets no lock: nothing can be
    // written there either.
    if (!file_.valid()) return;
    if (::flock(file_.get(), LOCK_EX | LOCK_NB) != 0) {
      file_.reset();
      if (errno == EWOULDBLOCK) state_ = State::Busy;
      return;
    }
    if (stillNamed(file_.get(), path_)) {
      state_ = State::Held;
      removeStaleTemporaryFiles(folder);
      return;
    }
    file_.reset();
  }
}

FolderLock::~FolderLock() {
  // Removed while still held, so that the next run starts from a fresh file.
  if (state_ == State::Held) ::unlink(path_.c_str());
}

}  // namespace tarvex

#include "run/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "platform/run_time_error.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

FileTime fromTimestamp(const struct statx_timestamp& time) {
  return std::chrono::seconds(time.tv_sec) + FileTime(time.tv_nsec);
}

FileTime modificationTime(int fd) {
  struct statx info {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_MTIME, &info) != 0) throw fromErrno(errno);
  return fromTimestamp(info.stx_mtime);
}

// Owns the marker file until it is removed.
class Marker {
 public:
  explicit Marker(const fs::path& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = folder / (".TARVEXstart-" + std::to_string(::getpid()) + "-" +
                        std::to_string(random() % 1000000));
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd_ < 0 && errno != EEXIST) throw fromErrno(errno, true);
    }
    if (fd_ < 0) throw RunTimeError(err::kPathFileAccess);
  }
  ~Marker() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  Marker(const Marker&) = delete;
  Marker& operator=(const Marker&) = delete;

  FileTime touched() {
    if (::futimens(fd_, nullptr) != 0) throw fromErrno(errno);
    return modificationTime(fd_);
  }
  FileTime time() const { return modificationTime(fd_); }

 private:
  fs::path path_;
  int fd_ = -1;
};

bool entryExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

std::optional<FileTime> lastChangeTime(const fs::path& file) {
  struct statx info {};
  if (::statx(AT_FDCWD, file.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MTIME | STATX_BTIME, &info) != 0)
    return std::nullopt;
  FileTime time = fromTimestamp(info.stx_mtime);
  if (info.stx_mask & STATX_BTIME) time = std::max(time, fromTimestamp(info.stx_btime));
  return time;
}

FileTime fileSystemNow(const fs::path& folder) {
  Marker marker(folder);
  const FileTime first = marker.time();
  // A file system that keeps whole seconds, or two, moves on within three.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  FileTime now = first;
  while (now <= first && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
    now = marker.touched();
  }
  return now;
}

void moveFile(const fs::path& source, const fs::path& target) {
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return;
  int error = errno;
  if (error == EINVAL || error == ENOSYS) {
    // A file system that cannot refuse to replace: look first.
    if (entryExists(target)) throw RunTimeError(err::kFileAlreadyExists);
    if (::rename(source.c_str(), target.c_str()) == 0) return;
    error = errno;
  }
  if (error != EXDEV) throw fromErrno(error);
  // Another file system: the whole copy is in place before the source goes.
  if (entryExists(target)) throw RunTimeError(err::kFileAlreadyExists);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(source, ec);
  if (ec || !fs::is_regular_file(status)) throw RunTimeError(err::kPathFileAccess);
  replaceFile(target, readFileBytes(source));
  fs::permissions(target, status.permissions() & fs::perms::all, ec);
  if (::unlink(source.c_str()) != 0) throw fromErrno(errno);
}

}  // namespace tarvex

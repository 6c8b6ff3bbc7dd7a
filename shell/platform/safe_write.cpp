#include "platform/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/file_descriptor.h"
#include "platform/run_time_error.h"
#include "platform/system_calls.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryMark = ".tarvex-tmp-";
// Room for the mark and the random part within the 255 bytes of a name.
constexpr std::size_t kLongestNamePart = 200;

std::optional<struct stat> statusOf(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info;
  if (errno == ENOENT) return std::nullopt;
  throw fromErrno(errno);
}

bool isInside(const fs::path& path, const fs::path& folder) {
  const auto [end, at] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end() && at != path.end();
}

// Syncs a folder, so that a rename in it survives a crash. Best effort: some file
// systems cannot sync a folder, and the rename itself has happened.
void syncFolder(const fs::path& folder) {
  FileDescriptor dir(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) systemCalls().fsync(dir.get());
}

bool writable(const fs::path& path, const struct stat& info) {
  return (info.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

// A new file under a hidden name beside its final one, removed unless committed.
class TemporaryFile {
 public:
  TemporaryFile(const fs::path& folder, const std::string& finalName) : folder_(folder) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    const std::string stem =
        "." + finalName.substr(0, kLongestNamePart) + std::string(kTemporaryMark);
    for (int attempt = 0; attempt < 100 && !fd_.valid(); ++attempt) {
      std::string name = stem;
      for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
      path_ = folder / name;
      fd_ = FileDescriptor(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!fd_.valid() && errno != EEXIST) throw fromErrno(errno, true);
    }
    if (!fd_.valid()) throw RunTimeError(err::kPathFileAccess);
  }
  const fs::path& path() const { return path_; }

  ~TemporaryFile() {
    fd_.reset();
    if (!committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void write(std::string_view bytes) { writeAll(fd_.get(), bytes); }

  // Takes over who owns the file and who may use it. The owner first: a change of owner
  // clears the set-id bits that the mode then restores.
  void adopt(const struct stat& like, std::optional<mode_t> mode) {
    if (like.st_uid != ::geteuid() || like.st_gid != ::getegid()) {
      if (::fchown(fd_.get(), like.st_uid, like.st_gid) != 0)
        (void)::fchown(fd_.get(), static_cast<uid_t>(-1), like.st_gid);
    }
    setMode(mode.value_or(like.st_mode & 07777));
  }
  void setMode(mode_t mode) {
    if (::fchmod(fd_.get(), mode) != 0) throw fromErrno(errno);
  }

  // Everything on disk and the file closed: only a complete file is ever renamed.
  void finish() {
    if (systemCalls().fsync(fd_.get()) != 0) throw fromErrno(errno);
    if (fd_.close() != 0) throw fromErrno(errno);
  }

  void replace(const fs::path& target) {
    if (systemCalls().rename(path_.c_str(), target.c_str()) != 0) throw fromErrno(errno);
    committed_ = true;
    syncFolder(folder_);
  }

  // Gives the file `target`'s name unless that name is taken; false when it is.
  bool appearAs(const fs::path& target) {
    if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
      committed_ = true;
    } else if (errno == EEXIST) {
      return false;
    } else if (errno == EINVAL || errno == ENOSYS) {
      // A file system that cannot rename without replacing: a new link is just as exclusive.
      if (::link(path_.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST) return false;
        throw fromErrno(errno);
      }
    } else {
      throw fromErrno(errno);
    }
    syncFolder(folder_);
    return true;
  }

 private:
  fs::path folder_;
  fs::path path_;
  FileDescriptor fd_;
  bool committed_ = false;
};

namespace {

// Gives a finished temporary file the first free name of `name`'s numbered variants.
std::string appearUnderFreeName(TemporaryFile& temp, const fs::path& folder,
                                const std::string& name) {
  constexpr int kMostNames = 10000;
  for (int n = 1; n <= kMostNames; ++n) {
    const std::string candidate = numberedName(name, n);
    if (temp.appearAs(folder / candidate)) return candidate;
  }
  throw RunTimeError(err::kFileAlreadyExists);
}

}  // namespace

fs::path rewriteTarget(const fs::path& target) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) throw RunTimeError(err::kPathFileAccess);
  fs::path path = target;
  if (fs::is_symlink(target, ec)) {
    // A link to a missing file writes that file, as writing through the link would.
    path = fs::weakly_canonical(target, ec);
    const fs::path folder =
        fs::canonical(target.parent_path().empty() ? "." : target.parent_path(), ec);
    if (ec || !isInside(path, folder))
      throw RunTimeError(err::kPathFileAccess,
                         errorDescription(err::kPathFileAccess) + ": " +
                             target.filename().string() +
                             " is a link to a file outside its folder, which is not rewritten");
  }
  const auto info = statusOf(path);
  if (info && !S_ISREG(info->st_mode)) throw RunTimeError(err::kPathFileAccess);
  if (info && !writable(path, *info))
    throw RunTimeError(err::kPermissionDenied, errorDescription(err::kPermissionDenied) + ": " +
                                                   target.filename().string() +
                                                   " is read-only and is not rewritten");
  return path;
}

PendingFile::PendingFile(const fs::path& target)
    : target_(rewriteTarget(target)),
      temp_(std::make_unique<TemporaryFile>(target_.parent_path(), target_.filename().string())) {}

PendingFile::~PendingFile() = default;

void PendingFile::write(std::string_view bytes) { temp_->write(bytes); }

const fs::path& PendingFile::temporaryPath() const { return temp_->path(); }

void PendingFile::commit(std::optional<fs::perms> mode) {
  // The file as it is now: it may have changed since the pieces began.
  const auto existing = statusOf(rewriteTarget(target_));
  const std::optional<mode_t> newMode =
      mode ? std::optional<mode_t>(static_cast<mode_t>(*mode & fs::perms::all)) : std::nullopt;
  if (existing)
    temp_->adopt(*existing, newMode);
  else if (newMode)
    temp_->setMode(*newMode);
  temp_->finish();
  temp_->replace(target_);
}

void replaceFile(const fs::path& target, std::string_view bytes, std::optional<fs::perms> mode) {
  PendingFile file(target);
  file.write(bytes);
  file.commit(mode);
}

std::string numberedName(const std::string& name, int n) {
  if (n <= 1) return name;
  const auto dot = name.rfind('.');
  const std::string suffix = "-" + std::to_string(n);
  if (dot == std::string::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string saveNewFile(const fs::path& folder, const std::string& name, std::string_view bytes,
                        const fs::path& like) {
  const auto likeInfo = statusOf(like);
  TemporaryFile temp(folder, name);
  temp.write(bytes);
  if (likeInfo) temp.adopt(*likeInfo, std::nullopt);
  temp.finish();
  return appearUnderFreeName(temp, folder, name);
}

std::string saveNewFileCopy(const fs::path& folder, const std::string& name,
                            const fs::path& source) {
  struct stat info {};
  const FileDescriptor from = openRegularFile(source, &info);
  TemporaryFile temp(folder, name);
  readBlocks(from.get(), [&](std::string_view block) { temp.write(block); });
  temp.adopt(info, std::nullopt);
  temp.finish();
  return appearUnderFreeName(temp, folder, name);
}

bool isTemporaryFileName(std::string_view name) {
  const auto mark = name.rfind(kTemporaryMark);
  return !name.empty() && name.front() == '.' && mark != std::string_view::npos &&
         name.size() - mark == kTemporaryMark.size() + 6;
}

void removeStaleTemporaryFiles(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (isTemporaryFileName(it->path().filename().string()) && it->is_regular_file(typeError) &&
        !it->is_symlink(typeError))
      ::unlink(it->path().c_str());
  }
}

}  // namespace tarvex

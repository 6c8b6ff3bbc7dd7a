#include "checks/rewrite_draft.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/run_time_error.h"
#include "platform/text_file.h"

namespace tarvex {

RewriteDraft::RewriteDraft(std::filesystem::path path, Mode mode, bool exists)
    : path_(std::move(path)), mode_(mode), exists_(exists) {
  if (mode_ != Mode::File || !exists_) return;
  try {
    existing_ = openRegularFile(path_);
  } catch (...) {
    failure_ = std::current_exception();
  }
}

void RewriteDraft::flush() {
  if (mode_ == Mode::Memory) return;
  if (mode_ == Mode::File && !failure_) {
    try {
      if (!file_ && !(exists_ && matchesFile(pending_))) startFile();
      if (file_) file_->write(pending_);
    } catch (...) {
      failure_ = std::current_exception();
      file_.reset();
    }
  }
  pending_.clear();
}

bool RewriteDraft::matchesFile(std::string_view bytes) {
  compared_.resize(bytes.size());
  const std::size_t got = readUpTo(existing_.get(), compared_.data(), bytes.size());
  if (got != bytes.size() || std::memcmp(compared_.data(), bytes.data(), got) != 0) return false;
  matched_ += got;
  return true;
}

void RewriteDraft::startFile() {
  file_.emplace(path_);
  // The bytes that matched are the file's own first bytes: copied from it.
  compared_.resize(kFlushBytes);
  for (std::uint64_t at = 0; at < matched_;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kFlushBytes, matched_ - at));
    const ssize_t n = ::pread(existing_.get(), compared_.data(), want, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw fromErrno(errno);
    if (n == 0) throw RunTimeError(err::kInputPastEnd);  // the file shrank under us
    file_->write(std::string_view(compared_.data(), static_cast<std::size_t>(n)));
    at += static_cast<std::uint64_t>(n);
  }
  existing_.reset();
  compared_ = {};
}

bool RewriteDraft::finishUnchanged() {
  flush();
  if (!failure_ && !file_) {
    try {
      char more = 0;
      if (exists_ && readUpTo(existing_.get(), &more, 1) == 0) return true;
      // A new file, or one whose first bytes are all there is of the new contents.
      startFile();
    } catch (...) {
      failure_ = std::current_exception();
      file_.reset();
    }
  }
  if (failure_) std::rethrow_exception(failure_);
  return false;
}

}  // namespace tarvex

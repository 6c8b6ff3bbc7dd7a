#include "tables/table_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

}  // namespace

TableReader::TableReader(const std::filesystem::path& path, std::uint64_t byteLimit)
    : limit_(byteLimit) {
  struct stat info {};
  file_ = openRegularFile(path, &info);
  size_ = static_cast<std::uint64_t>(info.st_size);
  if (size_ > limit_) throw tooLarge(limit_);
  // A small file gets a small buffer: a study has thousands of them.
  buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size_ + 1)));
}

TableReader::TableReader(std::string_view bytes)
    : unread_(bytes), atEnd_(true), size_(bytes.size()), taken_(bytes.size()) {}

void TableReader::readMore() {
  // The unread bytes go to the front; a line longer than the buffer doubles it.
  const std::size_t kept = unread_.size();
  if (kept > 0 && unread_.data() != buffer_.data())
    std::memmove(buffer_.data(), unread_.data(), kept);
  if (kept == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t got = readSome(file_.get(), buffer_.data() + kept, buffer_.size() - kept);
  taken_ += got;
  if (taken_ > limit_) throw tooLarge(limit_);
  if (got == 0) atEnd_ = true;
  unread_ = std::string_view(buffer_.data(), kept + got);
}

bool TableReader::next(std::string_view& line) {
  std::size_t searched = 0;
  while (true) {
    const std::size_t cr = unread_.find('\r', searched);
    // A carriage return at the end of what is read may have its line feed still to come.
    if (cr != std::string_view::npos && (cr + 1 < unread_.size() || atEnd_)) {
      line = unread_.substr(0, cr);
      const std::size_t end = cr + 1 + (cr + 1 < unread_.size() && unread_[cr + 1] == '\n');
      unread_.remove_prefix(end);
      consumed_ += end;
      return true;
    }
    if (atEnd_) {
      if (unread_.empty()) return false;
      line = unread_;
      consumed_ += unread_.size();
      unread_ = {};
      return true;
    }
    searched = cr == std::string_view::npos ? unread_.size() : cr;
    readMore();
  }
}

std::vector<std::string_view> splitLineViews(std::string_view bytes) {
  std::vector<std::string_view> lines;
  TableReader table(bytes);
  for (std::string_view line; table.next(line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> splitLines(std::string_view bytes) {
  const std::vector<std::string_view> views = splitLineViews(bytes);
  return {views.begin(), views.end()};
}

std::vector<std::string> readTextLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  TableReader table(path);
  for (std::string_view line; table.next(line);) lines.emplace_back(line);
  return lines;
}

}  // namespace tarvex

#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/run_time_error.h"

namespace tarvex {

namespace fs = std::filesystem;

std::vector<std::string_view> splitLineViews(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = bytes.find('\r'); i != std::string_view::npos; i = bytes.find('\r', start)) {
    lines.push_back(bytes.substr(start, i - start));
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::vector<std::string> splitLines(std::string_view bytes) {
  const std::vector<std::string_view> views = splitLineViews(bytes);
  return {views.begin(), views.end()};
}

LineReader::LineReader(const fs::path& path, std::size_t byteLimit) : left_(byteLimit) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw RunTimeError(err::kPathFileAccess);
  in_.open(path, std::ios::binary);
  if (!in_) throw fromErrno(errno);
}

int LineReader::get() {
  if (left_ == 0) return EOF;
  const int c = in_.get();
  if (c != EOF) --left_;
  return c;
}

bool LineReader::next(std::string& line) {
  line.clear();
  int c = get();
  if (c == EOF) {
    if (in_.bad()) throw RunTimeError(err::kDeviceIO);
    return false;
  }
  for (; c != EOF && c != '\r'; c = get()) line += static_cast<char>(c);
  if (c == '\r' && left_ > 0 && in_.peek() == '\n') get();
  if (in_.bad()) throw RunTimeError(err::kDeviceIO);
  return true;
}

std::string readFileBytes(const fs::path& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw RunTimeError(err::kPathFileAccess);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw fromErrno(errno);
  // One read of the size the folder gives; what it did not tell (a file that grew, a
  // pipe) is streamed after it.
  const std::uintmax_t size = fs::file_size(path, ec);
  std::string bytes(ec ? 0 : static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in) bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) throw RunTimeError(err::kDeviceIO);
  return bytes;
}

std::vector<std::string> readTextLines(const fs::path& path) {
  return splitLines(readFileBytes(path));
}

namespace {

// Owns a temporary file until it is renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const fs::path& target) {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = target;
      path_ += ".tmp" + std::to_string(random() % 1000000);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd_ < 0 && errno != EEXIST) throw fromErrno(errno, true);
    }
    if (fd_ < 0) throw RunTimeError(err::kPathFileAccess);
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void write(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw fromErrno(errno);
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  void commit(const fs::path& target) {
    if (::fsync(fd_) != 0) throw fromErrno(errno);
    int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0) throw fromErrno(errno);
    if (::rename(path_.c_str(), target.c_str()) != 0) throw fromErrno(errno);
    committed_ = true;
  }

 private:
  fs::path path_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace

void replaceFile(const fs::path& target, std::string_view bytes) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) throw RunTimeError(err::kPathFileAccess);
  TemporaryFile temp(target);
  temp.write(bytes);
  temp.commit(target);
}

std::string trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace tarvex

#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/run_time_error.h"

namespace tarvex {

namespace fs = std::filesystem;

RunTimeError tooLarge(std::uint64_t byteLimit) {
  return RunTimeError(err::kOutOfMemory,
                      "File too large: more than " + std::to_string(byteLimit) + " bytes");
}

std::size_t readSome(int fd, char* into, std::size_t size) {
  while (true) {
    const ssize_t got = ::read(fd, into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw fromErrno(errno);
  }
}

std::size_t readUpTo(int fd, char* into, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::size_t n = readSome(fd, into + got, size - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw fromErrno(errno);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void readBlocks(int fd, const std::function<void(std::string_view)>& take) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
  while (const std::size_t got = readSome(fd, block.get(), kBlock))
    take(std::string_view(block.get(), got));
}

FileDescriptor openRegularFile(const fs::path& path, struct stat* stated) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) throw fromErrno(errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throw fromErrno(errno);
  if (stated) *stated = info;
  if (S_ISDIR(info.st_mode)) throw RunTimeError(err::kPathFileAccess);
  if (!S_ISREG(info.st_mode))
    throw RunTimeError(err::kPathFileAccess, errorDescription(err::kPathFileAccess) + ": " +
                                                 path.filename().string() +
                                                 " is not a regular file");
  // Opened without waiting; reads from here on wait as usual.
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) throw fromErrno(errno);
  return file;
}

namespace {

constexpr std::size_t kReadBlock = 16 * 1024;

}  // namespace

LineReader::LineReader(const fs::path& path, std::size_t byteLimit)
    : file_(openRegularFile(path)), left_(byteLimit) {}

int LineReader::peek() {
  if (at_ == buffer_.size()) {
    if (left_ == 0) return EOF;
    buffer_.resize(std::min(kReadBlock, left_));
    buffer_.resize(readSome(file_.get(), buffer_.data(), buffer_.size()));
    at_ = 0;
    if (buffer_.empty()) return EOF;
  }
  return static_cast<unsigned char>(buffer_[at_]);
}

int LineReader::get() {
  const int c = peek();
  if (c != EOF) {
    ++at_;
    --left_;
  }
  return c;
}

bool LineReader::next(std::string& line) {
  line.clear();
  int c = get();
  if (c == EOF) return false;
  for (; c != EOF && c != '\r'; c = get()) line += static_cast<char>(c);
  if (c == '\r' && peek() == '\n') get();
  return true;
}

std::string readFileBytes(const fs::path& path, std::uint64_t byteLimit) {
  struct stat info {};
  const FileDescriptor file = openRegularFile(path, &info);
  if (static_cast<std::uint64_t>(info.st_size) > byteLimit) throw tooLarge(byteLimit);
  // One read of the size the file has now; what it did not tell (a file that grew) is
  // read after it, up to the limit.
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  bytes.resize(readUpTo(file.get(), bytes.data(), bytes.size()));
  std::array<char, kReadBlock> block;
  for (std::size_t got; (got = readSome(file.get(), block.data(), block.size())) > 0;) {
    if (bytes.size() + got > byteLimit) throw tooLarge(byteLimit);
    bytes.append(block.data(), got);
  }
  return bytes;
}

std::string withSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace tarvex

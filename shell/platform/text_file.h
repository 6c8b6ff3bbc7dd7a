#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_descriptor.h"
#include "platform/run_time_error.h"

namespace tarvex {

inline constexpr std::string_view kLineBreak = "\r\n";

// The largest file the program reads whole: a table past it is refused, not read, so
// that no file (nor one that grows while it is read) can exhaust the memory.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{2} << 30;

// Opens a file for reading as it is at the moment it is opened: a regular file (checked on
// the open descriptor, so a name swapped for a device or a pipe after a look at it is
// still refused), never waiting on a pipe. A RunTimeError otherwise. `info`, when given,
// receives what the descriptor's stat told.
FileDescriptor openRegularFile(const std::filesystem::path& path, struct stat* info = nullptr);

// The error for a file past a reader's limit of `byteLimit` bytes (7, "File too large").
RunTimeError tooLarge(std::uint64_t byteLimit);

// One read(2) of up to `size` bytes, retried when interrupted: 0 at the end of the file, a
// RunTimeError on failure.
std::size_t readSome(int fd, char* into, std::size_t size);
// Reads until `size` bytes are in (fewer only at the file's end); returns how many.
std::size_t readUpTo(int fd, char* into, std::size_t size);
// Writes all of `bytes`, retried when interrupted; a RunTimeError on failure.
void writeAll(int fd, std::string_view bytes);
// Hands the bytes from the descriptor's position to the end to `take`, a block at a time.
void readBlocks(int fd, const std::function<void(std::string_view)>& take);

// Reads a file's lines one at a time by the rule of splitLines, so that a reader that
// needs only the first lines never holds the whole file. Reading stops after
// `byteLimit` bytes, as if the file ended there.
class LineReader {
 public:
  // A RunTimeError when the file cannot be opened or is not a regular file.
  explicit LineReader(const std::filesystem::path& path,
                      std::size_t byteLimit = std::numeric_limits<std::size_t>::max());
  // The next line, or false at the end.
  bool next(std::string& line);

 private:
  int get();
  int peek();

  FileDescriptor file_;
  std::size_t left_;
  std::string buffer_;
  std::size_t at_ = 0;
};

// The whole file as bytes; a RunTimeError when it cannot be read, is not a regular file
// or holds more than `byteLimit` bytes (7, "File too large").
std::string readFileBytes(const std::filesystem::path& path,
                          std::uint64_t byteLimit = kMaxFileBytes);

// Removes blanks (the space character only) from both ends.
std::string trimBlanks(std::string_view text);
// A folder's name as names are joined to it: ending in one '/'.
std::string withSlash(std::string folder);

}  // namespace tarvex

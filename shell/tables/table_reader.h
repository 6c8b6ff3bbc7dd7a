#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_descriptor.h"
#include "platform/text_file.h"

namespace tarvex {

// A table's lines, read a block at a time by the tables' rule: a carriage return ends a line,
// with or without a line feed after it; a line feed alone does not; text after the last line
// end is a last line. A table too large to hold is never held whole, only the line being read
// and the block around it. The file must be a regular one when it is opened, and is read up
// to a limit ("File too large" past it).
class TableReader {
 public:
  explicit TableReader(const std::filesystem::path& path, std::uint64_t byteLimit = kMaxFileBytes);
  // Over bytes already in memory.
  explicit TableReader(std::string_view bytes);

  // The next line, valid until the next call; false at the end.
  bool next(std::string_view& line);

  // How far the reading has come, and the size of the file when it was opened.
  std::uint64_t consumed() const { return consumed_; }
  std::uint64_t size() const { return size_; }

 private:
  // Keeps the unread bytes and reads more after them (none: the end of the file).
  void readMore();

  FileDescriptor file_;
  std::string buffer_;
  std::string_view unread_;  // within buffer_, or the bytes in memory
  bool atEnd_ = false;
  std::uint64_t size_ = 0;
  std::uint64_t taken_ = 0;     // bytes read from the file
  std::uint64_t consumed_ = 0;  // bytes handed out as lines and line ends
  std::uint64_t limit_ = 0;
};

// A table's bytes held whole, split into lines by the same rule.
std::vector<std::string_view> splitLineViews(std::string_view bytes);
std::vector<std::string> splitLines(std::string_view bytes);
// A table file's lines (a RunTimeError as from TableReader).
std::vector<std::string> readTextLines(const std::filesystem::path& path);

}  // namespace tarvex

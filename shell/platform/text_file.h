#pragma once

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline constexpr std::string_view kLineBreak = "\r\n";

// Splits bytes into lines. A carriage return ends a line, with or without a line
// feed after it; a line feed alone does not. Text after the last line end is a last
// line; a final line end does not start an empty one.
std::vector<std::string> splitLines(std::string_view bytes);
// The same lines as views into `bytes`, for readers that hold the whole file anyway.
std::vector<std::string_view> splitLineViews(std::string_view bytes);

// Reads a file's lines one at a time by the rule of splitLines, so that a reader that
// needs only the first lines never holds the whole file. Reading stops after
// `byteLimit` bytes, as if the file ended there.
class LineReader {
 public:
  // A RunTimeError when the file cannot be opened.
  explicit LineReader(const std::filesystem::path& path,
                      std::size_t byteLimit = std::numeric_limits<std::size_t>::max());
  // The next line, or false at the end.
  bool next(std::string& line);

 private:
  int get();

  std::ifstream in_;
  std::size_t left_;
};

// The whole file as bytes; a RunTimeError when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);
std::vector<std::string> readTextLines(const std::filesystem::path& path);

// Writes a file whole: a temporary file in the same folder, flushed, then renamed
// over the target. On failure the old file is intact, no temporary file is left,
// and a RunTimeError says why.
void replaceFile(const std::filesystem::path& target, std::string_view bytes);

// Removes blanks (the space character only) from both ends.
std::string trimBlanks(std::string_view text);

}  // namespace tarvex

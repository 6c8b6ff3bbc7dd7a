#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline constexpr std::string_view kLineBreak = "\r\n";

// Splits bytes into lines. A carriage return ends a line, with or without a line
// feed after it; a line feed alone does not. Text after the last line end is a last
// line; a final line end does not start an empty one.
std::vector<std::string> splitLines(std::string_view bytes);

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

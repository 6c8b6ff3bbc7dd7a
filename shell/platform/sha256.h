#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvex {

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits: how the repair log
// names the contents of a file before and after a rewrite.
std::string sha256Hex(std::string_view bytes);
// The same for a file's bytes, read a block at a time.
std::string sha256FileHex(const std::filesystem::path& file);

}  // namespace tarvex

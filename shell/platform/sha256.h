#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits: how the repair log
// names the contents of a file before and after a rewrite.
std::string sha256Hex(std::string_view bytes);

}  // namespace tarvex

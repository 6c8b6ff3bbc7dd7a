#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace tarvex {

// The file of `folder` that a standard name ("USERWLS.txt", the engine's input files)
// stands for. Data usually comes from systems that match names without regard to case,
// so a name that differs only in ASCII case is the same file: the exact name when it
// exists, else the first such entry in name order, else `folder / name` (not there yet).
std::filesystem::path resolveStandardName(const std::filesystem::path& folder,
                                          std::string_view name);

// Every entry of `folder` whose name is `name` in any ASCII case, in name order.
std::vector<std::filesystem::path> namesInAnyCase(const std::filesystem::path& folder,
                                                  std::string_view name);

// True when the two names are equal ignoring ASCII case.
bool sameNameIgnoringCase(std::string_view first, std::string_view second);

}  // namespace tarvex

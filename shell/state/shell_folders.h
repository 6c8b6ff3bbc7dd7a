#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvex {

// The folders that may hold the initialization file and the engine, in the order they are
// tried, each ending in '/': the program's own folder (the build puts everything there), then
// the folder an installed package keeps them in, found relative to the program.
std::vector<std::string> shellFolders(const std::filesystem::path& programFolder);

}  // namespace tarvex

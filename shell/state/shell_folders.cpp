#include "state/shell_folders.h"

namespace tarvex {

namespace {

std::string withTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::vector<std::string> shellFolders(const std::filesystem::path& programFolder) {
  const std::filesystem::path installed =
      (programFolder / TARVEX_ENGINE_DIR_FROM_BIN).lexically_normal();
  return {withTrailingSlash(programFolder.string()), withTrailingSlash(installed.string())};
}

}  // namespace tarvex

#include "state/shell_folders.h"

#include "platform/text_file.h"

namespace tarvex {

std::vector<std::string> shellFolders(const std::filesystem::path& programFolder) {
  const std::filesystem::path installed =
      (programFolder / TARVEX_ENGINE_DIR_FROM_BIN).lexically_normal();
  return {withSlash(programFolder.string()), withSlash(installed.string())};
}

}  // namespace tarvex

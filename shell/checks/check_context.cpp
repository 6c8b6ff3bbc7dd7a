#include "checks/check_context.h"

namespace tarvex {

std::filesystem::path CheckContext::dataFile(const std::string& name) const {
  const std::filesystem::path path(name);
  if (path.is_absolute() || state.WorkingDirectory.empty()) return path;
  return std::filesystem::path(state.WorkingDirectory) / path;
}

void CheckContext::showReport(std::string text) {
  report.showCounts();
  state.InformationText = std::move(text);
  report.showInformation();
}

}  // namespace tarvex

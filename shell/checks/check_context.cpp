#include "checks/check_context.h"

#include <algorithm>

#include "platform/text_file.h"

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

std::string backupNameFor(const std::string& fileName, const CalendarDate& date) {
  return fileName + "-BadFile-" + std::to_string(date.month) + "-" + std::to_string(date.day) +
         "-" + std::to_string(date.year) + ".txt";
}

std::string CheckContext::backUp(const std::filesystem::path& path) {
  const std::string name = backupNameFor(path.filename().string(), desktop.today());
  if (changes && changes->dryRun) return name;
  replaceFile(path.parent_path() / name, readFileBytes(path));
  if (changes) changes->backups.push_back(name);
  return name;
}

void CheckContext::writeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (changes && changes->dryRun) return;
  const std::string name = path.filename().string();
  if (changes && changes->keepBackups) {
    const std::string backup = backupNameFor(name, desktop.today());
    std::error_code ec;
    const bool saved = std::find(changes->backups.begin(), changes->backups.end(), backup) !=
                       changes->backups.end();
    if (!saved && std::filesystem::is_regular_file(path, ec)) backUp(path);
  }
  replaceFile(path, bytes);
  if (changes) changes->rewritten.push_back(name);
}

}  // namespace tarvex

#include "checks/check_context.h"

#include "platform/safe_write.h"
#include "platform/text_file.h"

namespace tarvex {

std::filesystem::path CheckContext::dataFile(const std::string& name) const {
  const std::filesystem::path path(name);
  if (path.is_absolute() || state.WorkingDirectory.empty()) return path;
  return std::filesystem::path(state.WorkingDirectory) / path;
}

void CheckContext::found(Finding finding) {
  const Severity severity = finding.severity;
  state.Findings.push_back(std::move(finding));
  if (severity == Severity::Error) report.addError();
  if (severity == Severity::Warning) report.addWarning();
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
  FileChanges& record = fileChanges();
  const std::string name = backupNameFor(path.filename().string(), desktop.today());
  if (record.dryRun) return name;
  const std::filesystem::path target = rewriteTarget(path);
  const auto saved = record.backupOf.find(target);
  if (saved != record.backupOf.end()) return saved->second;
  // Complete and on disk before the file is touched: without it nothing is rewritten.
  const std::string backup = saveNewFile(path.parent_path(), name, readFileBytes(target), target);
  record.backupOf.emplace(target, backup);
  record.backups.push_back(backup);
  return backup;
}

std::optional<std::string> CheckContext::writeFile(const std::filesystem::path& path,
                                                   std::string_view bytes) {
  FileChanges& record = fileChanges();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  if (record.dryRun) return exists ? std::optional(backUp(path)) : std::nullopt;
  std::optional<std::string> backup;
  if (exists) {
    if (readFileBytes(rewriteTarget(path)) == bytes) {
      const auto saved = record.backupOf.find(rewriteTarget(path));
      return saved == record.backupOf.end() ? std::nullopt : std::optional(saved->second);
    }
    backup = backUp(path);
  }
  replaceFile(path, bytes);
  record.rewritten.push_back(path.filename().string());
  return backup;
}

}  // namespace tarvex

#include "checks/check_context.h"

#include <algorithm>
#include <iterator>

#include "platform/safe_write.h"
#include "platform/sha256.h"
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

namespace {

std::filesystem::path keyOf(const std::filesystem::path& path) {
  std::error_code ec;
  const auto key = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : key;
}

}  // namespace

std::string CheckContext::readFile(const std::filesystem::path& path) {
  const FileChanges& record = fileChanges();
  if (!record.pending.empty()) {
    const auto written = record.pending.find(keyOf(path));
    if (written != record.pending.end()) return written->second;
  }
  return readFileBytes(path);
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
  const bool exists = std::filesystem::exists(path, ec) || record.pending.count(keyOf(path));
  if (record.dryRun && !record.preview) return exists ? std::optional(backUp(path)) : std::nullopt;

  const std::string current = exists ? readFile(path) : std::string();
  const auto key = keyOf(path);
  auto rewrite = std::find_if(record.rewrites.begin(), record.rewrites.end(),
                              [&](const Rewrite& r) { return r.path == key; });
  if (exists && current == bytes)
    return rewrite == record.rewrites.end() ? std::nullopt : rewrite->backup;
  if (rewrite == record.rewrites.end()) {
    Rewrite first{key, path.filename().string(), std::nullopt, exists, sha256Hex(current)};
    if (record.preview) first.before = current;
    record.rewrites.push_back(std::move(first));
    rewrite = std::prev(record.rewrites.end());
    record.rewritten.push_back(rewrite->name);
  }
  if (rewrite->existed && !rewrite->backup) rewrite->backup = backUp(path);
  if (record.preview)
    record.pending[key] = std::string(bytes);
  else
    replaceFile(path, bytes);
  rewrite->afterHash = sha256Hex(bytes);
  if (record.preview) rewrite->after = std::string(bytes);
  return rewrite->backup;
}

}  // namespace tarvex

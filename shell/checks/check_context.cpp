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

const std::string* CheckContext::previewed(const std::filesystem::path& path) {
  const FileChanges& record = fileChanges();
  if (record.pending.empty()) return nullptr;
  const auto written = record.pending.find(keyOf(path));
  return written == record.pending.end() ? nullptr : &written->second;
}

std::string CheckContext::readFile(const std::filesystem::path& path) {
  if (const std::string* written = previewed(path)) return *written;
  return readFileBytes(path);
}

TableReader CheckContext::readTable(const std::filesystem::path& path) {
  if (const std::string* written = previewed(path)) return TableReader(std::string_view(*written));
  return TableReader(path);
}

void CheckContext::readBlocks(const std::filesystem::path& path,
                              const std::function<void(std::string_view)>& take) {
  if (const std::string* written = previewed(path)) return take(*written);
  const FileDescriptor file = openRegularFile(path);
  std::uint64_t size = 0;
  ::tarvex::readBlocks(file.get(), [&](std::string_view block) {
    if ((size += block.size()) > kMaxFileBytes) throw tooLarge(kMaxFileBytes);
    take(block);
  });
}

std::string CheckContext::backUp(const std::filesystem::path& path) {
  FileChanges& record = fileChanges();
  const std::string name = backupNameFor(path.filename().string(), desktop.today());
  if (record.dryRun) return name;
  const std::filesystem::path target = rewriteTarget(path);
  const auto saved = record.backupOf.find(target);
  if (saved != record.backupOf.end()) return saved->second;
  // Complete and on disk before the file is touched: without it nothing is rewritten.
  const std::string backup = saveNewFileCopy(path.parent_path(), name, target);
  record.backupOf.emplace(target, backup);
  record.backups.push_back(backup);
  return backup;
}

std::optional<std::string> CheckContext::writeFile(const std::filesystem::path& path,
                                                   std::string_view bytes) {
  RewriteDraft draft = startRewrite(path);
  draft.append(bytes);
  return finishRewrite(draft);
}

RewriteDraft CheckContext::startRewrite(const std::filesystem::path& path) {
  const FileChanges& record = fileChanges();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec) || previewed(path);
  using Mode = RewriteDraft::Mode;
  return RewriteDraft(path,
                      !record.dryRun   ? Mode::File
                      : record.preview ? Mode::Memory
                                       : Mode::Discard,
                      exists);
}

std::optional<std::string> CheckContext::finishRewrite(RewriteDraft& draft) {
  FileChanges& record = fileChanges();
  const std::filesystem::path& path = draft.path();
  const bool exists = draft.exists();
  if (draft.mode() == RewriteDraft::Mode::Discard)
    return exists ? std::optional(backUp(path)) : std::nullopt;

  const bool preview = draft.mode() == RewriteDraft::Mode::Memory;
  const std::string& bytes = draft.text();
  const auto key = keyOf(path);
  auto rewrite = std::find_if(record.rewrites.begin(), record.rewrites.end(),
                              [&](const Rewrite& r) { return r.path == key; });
  const std::string current = preview && exists ? readFile(path) : std::string();
  const bool unchanged = preview ? exists && current == bytes : draft.finishUnchanged();
  if (unchanged) return rewrite == record.rewrites.end() ? std::nullopt : rewrite->backup;
  if (rewrite == record.rewrites.end()) {
    Rewrite first{key, path.filename().string(), std::nullopt, exists};
    if (preview) {
      first.beforeHash = sha256Hex(current);
      first.before = current;
    } else {
      first.beforeHash = exists ? sha256FileHex(path) : sha256Hex("");
    }
    record.rewrites.push_back(std::move(first));
    rewrite = std::prev(record.rewrites.end());
  }
  if (rewrite->existed && !rewrite->backup) rewrite->backup = backUp(path);
  if (preview) {
    rewrite->afterHash = sha256Hex(bytes);
    rewrite->after = bytes;
    record.pending[key] = bytes;
    return rewrite->backup;
  }
  if (rewrite->existed) rewrite->afterHash = sha256FileHex(draft.newContents());
  draft.commit();
  return rewrite->backup;
}

}  // namespace tarvex

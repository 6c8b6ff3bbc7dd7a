#include "app/batch_check.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/batch_desktop.h"
#include "app/batch_report.h"
#include "app/data_folder.h"
#include "app/output_target.h"
#include "checks/check_context.h"
#include "checks/check_driver.h"
#include "platform/run_time_error.h"
#include "platform/standard_name.h"
#include "tables/table_reader.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

struct StandardFile {
  const char* key;
  const char* name;
  std::string ShellState::*variable;
};

constexpr std::array<StandardFile, 6> kStandardFiles = {{
    {"SiteInfo", "SiteInfo.txt", &ShellState::SiteInfoFileName},
    {"FlowChar", "FlowChar.txt", &ShellState::FlowCharFileName},
    {"LP3G", "LP3G.txt", &ShellState::LP3GFileName},
    {"LP3K", "LP3K.txt", &ShellState::LP3KFileName},
    {"LP3s", "LP3s.txt", &ShellState::LP3sFileName},
    {"UserWLS", "UserWLS.txt", &ShellState::UserWLSFileName},
}};
constexpr std::size_t kMatrixFile = 5;

// Lines, and the fields of every line when all have as many; {-1, -1} when unreadable.
std::pair<long, long> matrixShape(const fs::path& file) {
  try {
    TableReader table(file);
    long fields = -1, lines = 0;
    for (std::string_view line; table.next(line);) {
      const long n = static_cast<long>(std::count(line.begin(), line.end(), '\t')) + 1;
      if (lines++ > 0 && n != fields) fields = -2;
      if (lines == 1) fields = n;
    }
    return {lines, fields};
  } catch (const RunTimeError&) {
    return {-1, -1};
  }
}

// Codes of findings that the repairs of --fix mend.
constexpr std::array<const char*, 5> kRepairable = {
    "lines-out-of-order", "station-number", "seven-digit-stations", "line-ends", "byte-order-mark"};

bool hasCode(const ShellState& state, std::string_view code) {
  return std::any_of(state.Findings.begin(), state.Findings.end(),
                     [&](const Finding& f) { return f.code == code; });
}

// What the user could do next, from what was found.
std::vector<std::string> hintsFor(const BatchCheck& check, const ShellState& state,
                                  const FileChanges& changes, const fs::path& folder) {
  std::vector<std::string> hints;
  if (!check.fix && std::any_of(kRepairable.begin(), kRepairable.end(),
                                [&](const char* code) { return hasCode(state, code); }))
    hints.push_back("--fix makes the repairs these checks offer, each file backed up first");
  // The matrix is read again only when its shape may differ from the one the check found
  // sound: it had errors, or the run replaced it (by its engine copy).
  const auto mayHint = [&] {
    std::error_code ec;
    const fs::path matrix = fs::weakly_canonical(folder / state.UserWLSFileName, ec);
    return std::any_of(state.Findings.begin(), state.Findings.end(),
                       [&](const Finding& f) {
                         return f.file == state.UserWLSFileName && f.severity == Severity::Error;
                       }) ||
           std::any_of(changes.rewrites.begin(), changes.rewrites.end(),
                       [&](const Rewrite& r) { return r.path == matrix; });
  };
  if (check.matrix && state.StationCount > 0 && mayHint()) {
    const auto shape = matrixShape(folder / state.UserWLSFileName);
    const long n = state.StationCount;
    if (!check.matrixHeadings && shape == std::pair(n + 1, n + 1))
      hints.push_back(
          "the matrix has one more line and column than there are stations: if they "
          "are station headings, check it with --matrix-headings");
    if (check.matrixHeadings && shape == std::pair(n, n))
      hints.push_back(
          "the matrix has as many lines and columns as there are stations: if it "
          "has no station headings, check it without --matrix-headings");
  }
  return hints;
}

// Step 1 on the standard names: false, with the reason, when a file is missing.
bool specifyStandardFiles(const BatchCheck& check, const fs::path& folder, ShellState& state,
                          std::ostream& err) {
  for (std::size_t i = 0; i < kStandardFiles.size(); ++i) {
    if (i == kMatrixFile && !check.matrix) continue;
    const fs::path path = resolveStandardName(folder, kStandardFiles[i].name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      err << "TARVEXshellv01: " << check.folder << " has no " << kStandardFiles[i].name << "\n";
      return false;
    }
    state.*kStandardFiles[i].variable = path.filename().string();
  }
  state.WorkingDirectory = folder.string() + "/";
  state.InputFilesSpecified = true;
  return true;
}

}  // namespace

int runBatchCheck(const BatchCheck& check, std::ostream& out, std::ostream& err) {
  // Every report is settled before anything is checked or repaired.
  std::string why;
  std::optional<OutputTarget> json, tsv;
  if (check.json && !(json = OutputTarget::open("--json", *check.json, why))) {
    err << "TARVEXshellv01: " << why << "\n";
    return kCannotCheck;
  }
  if (check.tsv && !(tsv = OutputTarget::open("--tsv", *check.tsv, why))) {
    err << "TARVEXshellv01: " << why << "\n";
    return kCannotCheck;
  }
  const auto found = existingDataFolder(check.folder, err);
  if (!found) return kCannotCheck;
  const fs::path& folder = *found;
  ShellState state;
  if (!specifyStandardFiles(check, folder, state, err)) return kCannotCheck;

  const bool repair = check.fix || check.diff;
  BatchDesktop desktop(repair, check.date);
  BatchWindow window(state, desktop, repair, check.progress);
  FileChanges changes;
  changes.dryRun = !check.fix || check.diff;
  changes.preview = check.diff;
  CheckContext context{state, desktop, window, &changes};
  const FolderLock lock(folder);
  if (dataFolderBusy(lock, check.folder, err)) return kCannotCheck;
  desktop.setCurrentDirectory(folder);
  runInputChecks(context, window, {check.matrix, check.matrixHeadings, check.flowFiles});
  if (!changes.dryRun) logRepairs(folder, "TARVEXshellv01 --check --fix", changes, {}, err);

  BatchResult result{folder, state, changes, {}, hintsFor(check, state, changes, folder)};
  for (std::size_t i = 0; i < kStandardFiles.size(); ++i)
    result.files.emplace_back(kStandardFiles[i].key, state.*kStandardFiles[i].variable);
  try {
    const bool textToOutput =
        !(json && json->toStandardOutput()) && !(tsv && tsv->toStandardOutput());
    if (json) json->write(jsonReport(result).dump(2) + "\n", out);
    if (tsv) tsv->write(tsvReport(result), out);
    if (textToOutput) out << (check.diff ? diffReport(result) : textReport(result));
  } catch (const RunTimeError& e) {
    err << "TARVEXshellv01: cannot write the report: " << e.description() << "\n";
    return kCannotCheck;
  }
  return state.ErrorCount > 0 ? kErrorsFound : kNoErrors;
}

}  // namespace tarvex

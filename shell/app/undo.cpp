#include "app/undo.h"

#include <filesystem>
#include <set>

#include "app/batch_desktop.h"
#include "app/batch_report.h"
#include "app/data_folder.h"
#include "checks/check_context.h"
#include "checks/repair_log.h"
#include "platform/run_time_error.h"
#include "platform/sha256.h"
#include "platform/text_file.h"
#include "platform/unified_diff.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

constexpr int kAllPutBack = 0;
constexpr int kSomeLeftAlone = 1;
constexpr int kCannotUndo = 2;

// The last repair run that no later undo put back.
std::optional<LoggedRun> runToUndo(const std::vector<LoggedRun>& runs) {
  std::set<long> undone;
  for (const LoggedRun& run : runs)
    if (run.undoes) undone.insert(*run.undoes);
  for (auto run = runs.rbegin(); run != runs.rend(); ++run)
    if (!run->undoes && !undone.count(run->run)) return *run;
  return std::nullopt;
}

std::optional<std::string> bytesOf(const fs::path& file) {
  try {
    return readFileBytes(file);
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
}

// Why a file of the run cannot be put back, or nothing when it can: then `saved` holds
// the backup's bytes.
std::optional<std::string> whyLeftAlone(const fs::path& folder, const LoggedFile& file,
                                        std::string& saved) {
  const auto now = bytesOf(folder / file.file);
  if (!now || sha256Hex(*now) != file.after) return "it was changed after the repair (or is gone)";
  if (!file.backup) return "the repair made it: there is no earlier version to put back";
  auto backup = bytesOf(folder / *file.backup);
  if (!backup || sha256Hex(*backup) != file.before)
    return "its backup " + *file.backup + " is gone or was changed";
  saved = std::move(*backup);
  return std::nullopt;
}

}  // namespace

int runUndo(const UndoRequest& request, std::ostream& out, std::ostream& err) {
  const auto found = existingDataFolder(request.folder, err);
  if (!found) return kCannotUndo;
  const fs::path& folder = *found;
  const FolderLock lock(folder);
  if (dataFolderBusy(lock, request.folder, err)) return kCannotUndo;
  const auto run = runToUndo(readRepairLog(folder));
  if (!run) {
    err << "TARVEXshellv01: " << utf8Text(request.folder) << " has no logged repair to undo\n";
    return kCannotUndo;
  }

  ShellState state;
  state.WorkingDirectory = folder.string() + "/";
  BatchDesktop desktop(true, request.date);
  BatchWindow window(state, desktop, true);
  FileChanges changes;
  changes.dryRun = changes.preview = request.diff;
  CheckContext context{state, desktop, window, &changes};

  long putBack = 0, leftAlone = 0;
  std::string report;
  for (const LoggedFile& file : run->files) {
    std::string saved;
    if (const auto why = whyLeftAlone(folder, file, saved)) {
      report += "left alone " + utf8Text(file.file) + ": " + *why + "\n";
      ++leftAlone;
      continue;
    }
    try {
      context.writeFile(folder / file.file, saved);
      report += "put back " + utf8Text(file.file) + " from " + utf8Text(*file.backup) + "\n";
      ++putBack;
    } catch (const RunTimeError& e) {
      report += "left alone " + utf8Text(file.file) + ": " + e.description() + "\n";
      ++leftAlone;
    }
  }
  if (!request.diff) logRepairs(folder, "TARVEXshellv01 --undo", changes, run->run, err);
  if (request.diff)
    for (const Rewrite& rewrite : changes.rewrites)
      out << unifiedDiff(rewrite.before, rewrite.after, rewrite.name);
  out << report << "undo of repair run " << run->run << " (" << run->time << ", "
      << utf8Text(run->program) << "): " << putBack
      << (request.diff ? " to put back, " : " put back, ") << leftAlone << " left alone\n";
  return leftAlone > 0 ? kSomeLeftAlone : kAllPutBack;
}

}  // namespace tarvex

#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/rewrite_draft.h"
#include "platform/desktop.h"
#include "state/shell_report.h"
#include "state/shell_state.h"
#include "tables/table_reader.h"

namespace tarvex {

// One file a run rewrote (or, previewing, would rewrite): its first contents and its last.
struct Rewrite {
  std::filesystem::path path;         // the file, as the run names it
  std::string name;                   // the file's name in the data folder
  std::optional<std::string> backup;  // the backup that holds the first contents
  bool existed = false;               // false: the run made the file
  // SHA-256 of the contents before and after, for a file that existed (the repair log's
  // record of a repair); the hash of nothing before, and none after, for a new file.
  std::string beforeHash = {};
  std::string afterHash = {};
  std::string before = {};  // the contents themselves, kept when previewing
  std::string after = {};
};

// How the checks may change the files of the data folder, and what they changed. Before
// a file is first replaced in a run its bytes are saved under the dated backup name, so
// the original survives every repair of the run. A batch check may forbid every write, or
// preview the writes: they are then made in memory only, and the checks that follow read
// them as if they had been written.
struct FileChanges {
  bool dryRun = false;               // nothing is written
  bool preview = false;              // with dryRun: the rewrites are made in memory
  std::vector<std::string> backups;  // backups made, by name
  std::vector<Rewrite> rewrites;     // one per file, in the order first rewritten
  // The backup that holds each file's original, by the file that was rewritten.
  std::map<std::filesystem::path, std::string> backupOf;
  // What a preview wrote, by the file it would have written.
  std::map<std::filesystem::path, std::string> pending;
};

// "SiteInfo.txt" on 7 March 2011 -> "SiteInfo.txt-BadFile-3-7-2011.txt".
std::string backupNameFor(const std::string& fileName, const CalendarDate& date);

// What every check works with: the shell's state, the desktop for its boxes, and the
// reporting interface for counts, status and the viewer.
struct CheckContext {
  ShellState& state;
  Desktop& desktop;
  ShellReport& report;
  FileChanges* changes = nullptr;  // none: the context keeps its own record
  FileChanges ownChanges{};

  // A file the user chose, by its bare name, in the data folder.
  std::filesystem::path dataFile(const std::string& name) const;
  // Records a problem found and counts it as its severity says (a note is not counted),
  // showing both counts: every count is one finding.
  void found(Finding finding);
  // Shows the counts, then `text` in the viewer; returns when the viewer is closed.
  void showReport(std::string text);

  FileChanges& fileChanges() { return changes ? *changes : ownChanges; }

  // What a preview of this run wrote to a file, if it wrote to it.
  const std::string* previewed(const std::filesystem::path& path);
  // A file of the data folder as the run sees it: what a preview wrote to it, or its bytes.
  std::string readFile(const std::filesystem::path& path);
  // The same as lines, read a block at a time.
  TableReader readTable(const std::filesystem::path& path);
  // The same handed to `take` a block at a time; a RunTimeError as from readFile.
  void readBlocks(const std::filesystem::path& path,
                  const std::function<void(std::string_view)>& take);

  // Writes a file whole through replaceFile, unless this is a dry run. A file whose bytes
  // would not change is left alone; one that would is first backed up. Returns the name of
  // the backup that holds the file's original, when there is one (in a dry run, the name
  // it would get).
  std::optional<std::string> writeFile(const std::filesystem::path& path, std::string_view bytes);
  // The same for contents made a piece at a time: the draft takes them, then
  // finishRewrite writes the file as writeFile would. A draft dropped without it changes
  // nothing.
  RewriteDraft startRewrite(const std::filesystem::path& path);
  std::optional<std::string> finishRewrite(RewriteDraft& draft);
  // Saves an existing file's bytes under its dated backup name (or the next free numbered
  // one), unless this run saved it already; returns the backup's name. Refuses a file that
  // may not be rewritten, before it saves anything.
  std::string backUp(const std::filesystem::path& path);
};

}  // namespace tarvex

// Repairs seen before they are made (--diff) and undone after (--undo), through the repair
// log every repair run appends to.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "checks/repair_log.h"
#include "platform/scripted/script.h"
#include "platform/scripted/scripted_desktop.h"
#include "platform/text_file.h"
#include "run_program.h"
#include "sample_data.h"
#include "shell_harness.h"
#include "tables/table_reader.h"
#include "temp_dir.h"
#include "window/main_window.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kTables[] = {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt", "LP3K.txt",
                                   "LP3s.txt"};

std::map<std::string, std::string> tables(const fs::path& folder) {
  std::map<std::string, std::string> bytes;
  for (const char* table : kTables) bytes[table] = readBytes(folder / table);
  return bytes;
}

void copyTables(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const char* table : kTables) fs::copy_file(from / table, to / table);
}

std::string swapDataLines(std::string text, std::size_t a, std::size_t b) {
  auto lines = splitLines(text);
  std::swap(lines[a], lines[b]);
  std::string joined;
  for (const std::string& line : lines) joined += line + "\r\n";
  return joined;
}

ProgramResult shell(const std::string& args) { return runProgram(shellProgram() + " " + args); }

std::string quoted(const fs::path& folder) { return shellQuote(folder.string()); }

struct Damage {
  const char* name;
  const char* table;
  std::function<std::string(std::string)> change;
};

const std::vector<Damage>& damages() {
  static const std::vector<Damage> all = {
      {"station numbers", "SiteInfo.txt",
       [](std::string t) {
         t.replace(t.find("08010100"), 8, "8010100");
         return t;
       }},
      {"flow characteristics out of order", "FlowChar.txt",
       [](std::string t) { return swapDataLines(t, 1, 4); }},
      {"skew out of order", "LP3G.txt", [](std::string t) { return swapDataLines(t, 2, 3); }},
      {"standard deviate out of order", "LP3K.txt",
       [](std::string t) { return swapDataLines(t, 1, 5); }},
      {"standard deviation out of order", "LP3s.txt",
       [](std::string t) { return swapDataLines(t, 4, 5); }},
      {"Linux line ends", "LP3K.txt",
       [](std::string t) {
         t.erase(std::remove(t.begin(), t.end(), '\r'), t.end());
         return t;
       }},
      {"a byte-order mark", "SiteInfo.txt", [](std::string t) { return "\xEF\xBB\xBF" + t; }},
  };
  return all;
}

// The diff of every repair kind, applied with patch to a copy, gives what --fix writes; and
// --diff itself changes nothing.
TEST(RepairPreview, TheDiffIsWhatTheRepairWrites) {
  for (const Damage& damage : damages()) {
    SCOPED_TRACE(damage.name);
    TempDir work;
    const fs::path region = work.path() / "region";
    writeSampleData(region, {.withMatrix = false, .withFlowFiles = false});
    writeBytes(region / damage.table, damage.change(readBytes(region / damage.table)));
    const auto damaged = folderContents(work);
    const auto before = tables(region);

    const ProgramResult diff = shell("--check " + quoted(region) + " --diff");
    EXPECT_EQ(folderContents(work), damaged) << "--diff writes nothing";
    EXPECT_NE(diff.out.find("--- a/" + std::string(damage.table)), std::string::npos) << diff.out;
    const ProgramResult json = shell("--check " + quoted(region) + " --diff --json -");
    EXPECT_EQ(json.exitCode, diff.exitCode);
    const auto report = json::parse(json.out);
    ASSERT_FALSE(report["rewritten"].empty());
    EXPECT_EQ(report["rewritten"][0]["file"], damage.table);
    EXPECT_TRUE(diff.out.starts_with(report["rewritten"][0]["diff"].get<std::string>()));

    copyTables(region, work.path() / "patched");
    work.write("changes.diff", diff.out.substr(0, diff.out.rfind("region: ")));
    const ProgramResult patch =
        runProgram("cd " + quoted(work.path() / "patched") + " && patch -s -p1 --binary -i " +
                   quoted(work.path() / "changes.diff"));
    ASSERT_EQ(patch.exitCode, 0) << patch.out << patch.err;

    ASSERT_EQ(shell("--check " + quoted(region) + " --fix").exitCode, diff.exitCode);
    EXPECT_EQ(tables(work.path() / "patched"), tables(region));
    EXPECT_NE(tables(region), before) << "the repair changed something";
  }
}

int undo(const fs::path& folder, std::string* out = nullptr) {
  const ProgramResult r = shell("--undo " + quoted(folder));
  if (out) *out = r.out + r.err;
  return r.exitCode;
}

TEST(RepairPreview, AnUndoPutsBackWhatTheLastRepairChanged) {
  TempDir work;
  const fs::path region = work.path() / "region";
  writeSampleData(region, {.withMatrix = false, .withFlowFiles = false});
  for (const char* table : {"SiteInfo.txt", "LP3G.txt", "LP3s.txt"}) {
    const Damage& damage = *std::find_if(damages().begin(), damages().end(), [&](const Damage& d) {
      return std::string(d.table) == table;
    });
    writeBytes(region / table, damage.change(readBytes(region / table)));
  }
  const auto damaged = tables(region);
  ASSERT_EQ(shell("--check " + quoted(region) + " --fix").exitCode, 0);
  const auto fixed = tables(region);
  ASSERT_NE(fixed, damaged);

  // --undo --diff shows the way back and writes nothing.
  const ProgramResult preview = shell("--undo " + quoted(region) + " --diff");
  EXPECT_EQ(preview.exitCode, 0) << preview.err;
  EXPECT_NE(preview.out.find("--- a/LP3G.txt"), std::string::npos) << preview.out;
  EXPECT_EQ(tables(region), fixed);

  std::string said;
  EXPECT_EQ(undo(region, &said), 0) << said;
  EXPECT_EQ(tables(region), damaged);
  EXPECT_NE(said.find("put back LP3G.txt from LP3G.txt-BadFile-"), std::string::npos) << said;
  // The undo is itself logged, and nothing is left to undo.
  const auto runs = readRepairLog(region);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].undoes, 1);
  EXPECT_EQ(runs[1].program, "TARVEXshellv01 --undo");
  EXPECT_EQ(undo(region, &said), 2);
  EXPECT_NE(said.find("has no logged repair to undo"), std::string::npos) << said;
}

// A file is put back only while it holds what the repair wrote and its backup what the file
// held before: otherwise it is left alone, and the undo says why.
TEST(RepairPreview, AFileOrBackupChangedSinceTheRepairIsLeftAloneAndNamed) {
  const auto backupOf = [](const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().filename().string().starts_with("LP3s.txt-BadFile-")) return entry.path();
    return fs::path();
  };
  struct Row {
    const char* what;
    std::function<void(const fs::path&, const fs::path&)> change;  // the folder, the backup
    std::string why;
  };
  const std::vector<Row> rows = {
      {"the file edited",
       [](const fs::path& folder, const fs::path&) {
         writeBytes(folder / "LP3s.txt", readBytes(folder / "LP3s.txt") + "an edit\r\n");
       },
       "it was changed after the repair"},
      {"its backup edited",
       [](const fs::path&, const fs::path& backup) {
         writeBytes(backup, readBytes(backup) + "an edit\r\n");
       },
       "its backup LP3s.txt-BadFile-"},
      {"its backup removed", [](const fs::path&, const fs::path& backup) { fs::remove(backup); },
       "its backup LP3s.txt-BadFile-"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir work;
    const fs::path region = work.path() / "region";
    writeSampleData(region, {.withMatrix = false, .withFlowFiles = false});
    for (const char* table : {"LP3G.txt", "LP3s.txt"}) {
      const Damage& damage =
          *std::find_if(damages().begin(), damages().end(),
                        [&](const Damage& d) { return std::string(d.table) == table; });
      writeBytes(region / table, damage.change(readBytes(region / table)));
    }
    const std::string damagedSkew = readBytes(region / "LP3G.txt");
    ASSERT_EQ(shell("--check " + quoted(region) + " --fix").exitCode, 0);
    row.change(region, backupOf(region));
    const std::string kept = readBytes(region / "LP3s.txt");

    std::string said;
    EXPECT_EQ(undo(region, &said), 1) << said;
    EXPECT_EQ(readBytes(region / "LP3G.txt"), damagedSkew);
    EXPECT_EQ(readBytes(region / "LP3s.txt"), kept);
    EXPECT_NE(said.find("left alone LP3s.txt: " + row.why), std::string::npos) << said;
  }
}

TEST(RepairPreview, TwoRepairsThenOneUndoUndoesTheSecond) {
  TempDir work;
  const fs::path region = work.path() / "region";
  writeSampleData(region, {.withMatrix = false, .withFlowFiles = false});
  const auto damageOf = [](const char* table) {
    return std::find_if(damages().begin(), damages().end(),
                        [&](const Damage& d) { return std::string(d.table) == table; })
        ->change;
  };
  writeBytes(region / "LP3G.txt", damageOf("LP3G.txt")(readBytes(region / "LP3G.txt")));
  ASSERT_EQ(shell("--check " + quoted(region) + " --fix").exitCode, 0);
  const auto afterFirst = tables(region);
  writeBytes(region / "LP3s.txt", damageOf("LP3s.txt")(readBytes(region / "LP3s.txt")));
  const auto beforeSecond = tables(region);
  ASSERT_EQ(shell("--check " + quoted(region) + " --fix").exitCode, 0);
  ASSERT_NE(tables(region), beforeSecond);

  EXPECT_EQ(undo(region), 0);
  EXPECT_EQ(tables(region), beforeSecond);
  EXPECT_NE(tables(region), afterFirst);
}

// The window logs its rewrites too: an undo puts back a rewrite the user agreed to there.
TEST(RepairPreview, TheWindowsRewritesAreLoggedAndCanBeUndone) {
  TempDir work;
  const fs::path region = work.path() / "region";
  writeSampleData(region, {.withMatrix = false, .withFlowFiles = false});
  writeBytes(region / "LP3G.txt", swapDataLines(readBytes(region / "LP3G.txt"), 2, 3));
  const auto damaged = tables(region);

  std::ostringstream transcript;
  ScriptedDesktop desktop(transcript, region, CalendarDate{2026, 12, 8});
  Script script = Script::parse("answer no\nanswer yes\n");
  desktop.setScript(&script);
  ShellState state;
  MainWindow window(desktop, state);
  chooseUsualTables(state, region);
  desktop.setCurrentDirectory(region);
  window.click(window.cmdQAQCFiles);
  ASSERT_NE(tables(region), damaged) << transcript.str();

  const auto runs = readRepairLog(region);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].program, "TARVEXshellv01 window");
  ASSERT_EQ(runs[0].files.size(), 1u);
  EXPECT_EQ(runs[0].files[0].file, "LP3G.txt");
  EXPECT_EQ(runs[0].files[0].backup, "LP3G.txt-BadFile-12-8-2026.txt");
  EXPECT_EQ(undo(region), 0);
  EXPECT_EQ(tables(region), damaged);
}

}  // namespace
}  // namespace tarvex::testing

// The batch check and its repairs on folders a careless or hostile user could hand it:
// whatever the input, no table loses or garbles a line and no file is replaced unasked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "run_program.h"
#include "sample_data.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kDate = "2026-12-08";
constexpr const char* kTables[] = {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt", "LP3K.txt",
                                   "LP3s.txt"};

std::string backupOf(const std::string& table, int n = 1) {
  return table + "-BadFile-12-8-2026" + (n > 1 ? "-" + std::to_string(n) : "") + ".txt";
}

void copyDemo(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(fs::path(sourceDir()) / "examples/demo/data"))
    fs::copy_file(entry.path(), folder / entry.path().filename());
}
void copyDemo(const TempDir& data) { copyDemo(data.path()); }

void replaceEverywhere(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

void replaceInTables(const TempDir& data, const std::string& from, const std::string& to,
                     std::vector<std::string> tables = {std::begin(kTables), std::end(kTables)}) {
  for (const std::string& table : tables) {
    std::string text = data.read(table);
    replaceEverywhere(text, from, to);
    data.write(table, text);
  }
}

// Swaps the first two data lines of a table.
void swapFirstStations(const TempDir& data, const std::string& table) {
  const std::string text = data.read(table);
  const auto first = text.find("\r\n") + 2;
  const auto second = text.find("\r\n", first) + 2;
  const auto third = text.find("\r\n", second) + 2;
  data.write(table, text.substr(0, first) + text.substr(second, third - second) +
                        text.substr(first, second - first) + text.substr(third));
}

ProgramResult check(const fs::path& folder, const std::string& options) {
  return runProgram(shellProgram() + " --check " + shellQuote(folder.string()) + " --date " +
                    kDate + " " + options);
}
ProgramResult check(const TempDir& data, const std::string& options) {
  return check(data.path(), options);
}

std::vector<std::string> findingTexts(const ProgramResult& r) {
  const json report = json::parse(r.out);
  std::vector<std::string> texts;
  for (const json& finding : report["findings"]) texts.push_back(finding["text"]);
  return texts;
}

bool anyHas(const std::vector<std::string>& texts, const std::string& part) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

// A station number given to a second station, in every table or in one: an error that
// names both lines, and no table is rewritten while it stands.
TEST(DataSafety, ARepeatedStationIsAnErrorAndStopsEveryRewrite) {
  struct Case {
    const char* name;
    std::vector<std::string> tables;
    std::string finding;
  };
  const std::vector<Case> cases = {
      {"in every table",
       {std::begin(kTables), std::end(kTables)},
       "Error: Station 08010500 is on line 2 and on line 5 of SiteInfo.txt"},
      {"in the flow characteristics only",
       {"FlowChar.txt"},
       "Error: Station 08010500 is on line 2 and on line 5 of FlowChar.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir data;
    copyDemo(data);
    replaceInTables(data, "08014800", "08010500", c.tables);
    const auto damaged = folderContents(data);
    for (const char* fix : {"", "--fix"}) {
      const ProgramResult r = check(data, std::string("--json - ") + fix);
      EXPECT_EQ(r.exitCode, 1) << fix << r.err;
      EXPECT_TRUE(anyHas(findingTexts(r), c.finding)) << fix << r.out;
      EXPECT_EQ(folderContents(data), damaged) << fix;
    }
  }
}

// The check reads a station number trimmed; so does its repair, which keeps every line.
TEST(DataSafety, AStationNumberWithBlanksKeepsItsLine) {
  TempDir data;
  copyDemo(data);
  replaceInTables(data, "08010500\t", "A8010500 \t", {"SiteInfo.txt"});
  std::string expected = data.read("SiteInfo.txt");
  replaceEverywhere(expected, "A8010500 \t", "08010500\t");
  const ProgramResult r = check(data, "--fix --json -");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(data.read("SiteInfo.txt"), expected);
}

TEST(DataSafety, BackupsNeverReplaceAFile) {
  TempDir data;
  copyDemo(data);
  data.write(backupOf("LP3G.txt"), "a file of the user's");
  std::vector<std::string> originals;
  for (int run = 0; run < 2; ++run) {
    swapFirstStations(data, "LP3G.txt");
    originals.push_back(data.read("LP3G.txt"));
    const ProgramResult r = check(data, "--fix --json -");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["backups"], json::array({backupOf("LP3G.txt", run + 2)}));
  }
  EXPECT_EQ(data.read(backupOf("LP3G.txt")), "a file of the user's");
  EXPECT_EQ(data.read(backupOf("LP3G.txt", 2)), originals[0]);
  EXPECT_EQ(data.read(backupOf("LP3G.txt", 3)), originals[1]);
}

// A station-number repair that cannot be written (here a full disk) is reported once, and
// the check ends.
TEST(DataSafety, AFailedRepairEndsTheRepairLoop) {
  TempDir data;
  copyDemo(data);
  replaceInTables(data, "08010500", "8010500", {"SiteInfo.txt"});
  const auto damaged = folderContents(data);
  // Files may not grow past 512 bytes; the site information file is larger.
  const ProgramResult r =
      runProgram("{ trap '' XFSZ; ulimit -f 1; timeout 60 " + shellProgram() + " --check " +
                 shellQuote(data.path().string()) + " --fix --json -; }");
  ASSERT_EQ(r.exitCode, 1) << r.err;
  const auto texts = findingTexts(r);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Error: 61 Disk full"), 1) << r.out;
  EXPECT_EQ(folderContents(data), damaged);
}

// What a rewrite keeps of the file it replaces, shown on the skew file with two stations
// swapped. The data folder lies in a folder of its own, so a link can lead out of it.
TEST(DataSafety, ARewriteKeepsModeOwnerAndLinks) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> arrange;  // given the skew file, after the damage
    bool rewritten;
    std::string finding;  // part of a finding's text, when one says why not
  };
  const auto movedBehindLink = [](const std::string& target) {
    return [target](const fs::path& skew) {
      const fs::path moved = skew.parent_path() / target;
      fs::create_directories(moved.parent_path());
      fs::rename(skew, moved);
      fs::create_symlink(moved, skew);
    };
  };
  const auto mode = [](fs::perms perms) {
    return [perms](const fs::path& skew) { fs::permissions(skew, perms); };
  };
  using P = fs::perms;
  const std::vector<Case> cases = {
      {"a file only its owner may read", mode(P::owner_read | P::owner_write), true, ""},
      {"a read-only file", mode(P::owner_read | P::group_read | P::others_read), false,
       "Error: 70 Permission denied: LP3G.txt is read-only and is not rewritten"},
      {"a link to a file inside the folder", movedBehindLink("tables/skew.txt"), true, ""},
      {"a link to a file outside the folder", movedBehindLink("../outside/skew.txt"), false,
       "Error: 75 Path/File access error: LP3G.txt is a link to a file outside its folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir outer;
    fs::create_directory(outer.path() / "data");
    const std::string data = "data/";
    copyDemo(outer.path() / "data");
    swapFirstStations(outer, data + "LP3G.txt");
    const std::string damaged = outer.read(data + "LP3G.txt");
    c.arrange(outer.path() / "data/LP3G.txt");
    struct stat before {};
    ::stat((outer.path() / "data/LP3G.txt").c_str(), &before);

    const ProgramResult r = check(outer.path() / "data", "--fix --json -");
    EXPECT_EQ(r.exitCode, c.rewritten ? 0 : 1) << r.err;
    if (!c.finding.empty()) {
      EXPECT_TRUE(anyHas(findingTexts(r), c.finding)) << r.out;
    }
    EXPECT_EQ(outer.read(data + "LP3G.txt") == damaged, !c.rewritten);
    EXPECT_EQ(fs::is_symlink(outer.path() / "data/LP3G.txt"),
              std::string(c.name).starts_with("a link"));
    struct stat after {};
    ::stat((outer.path() / "data/LP3G.txt").c_str(), &after);
    EXPECT_EQ(after.st_mode, before.st_mode);
    const fs::path backup = outer.path() / "data" / backupOf("LP3G.txt");
    ASSERT_EQ(fs::exists(backup), c.rewritten);
    if (!c.rewritten) continue;
    EXPECT_EQ(outer.read(data + backupOf("LP3G.txt")), damaged);
    struct stat saved {};
    ::stat(backup.c_str(), &saved);
    EXPECT_EQ(saved.st_mode & 07777, before.st_mode & 07777);
  }
}

// Run by root, the user's files stay the user's.
TEST(DataSafety, ARewriteByRootKeepsTheOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give files to another user";
  TempDir data;
  copyDemo(data);
  swapFirstStations(data, "LP3G.txt");
  const uid_t user = 65534;
  const gid_t group = 65534;
  ASSERT_EQ(::chown((data.path() / "LP3G.txt").c_str(), user, group), 0);
  const ProgramResult r = check(data, "--fix --json -");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (const std::string& name : {std::string("LP3G.txt"), backupOf("LP3G.txt")}) {
    struct stat info {};
    ASSERT_EQ(::stat((data.path() / name).c_str(), &info), 0) << name;
    EXPECT_EQ(info.st_uid, user) << name;
    EXPECT_EQ(info.st_gid, group) << name;
  }
}

// The engine's copy of a headed matrix is a matrix the check accepts.
TEST(DataSafety, TheMatrixTheShellWritesPassesItsOwnCheck) {
  TempDir data;
  copyDemo(data);
  const ProgramResult first = check(data, "--matrix --matrix-headings --fix");
  ASSERT_EQ(first.exitCode, 0) << first.err << first.out;
  const ProgramResult second = check(data, "--matrix --json -");
  EXPECT_EQ(second.exitCode, 0) << second.out;
  EXPECT_EQ(findingTexts(second), std::vector<std::string>{});
}

// A table that is no ordinary file, or too large to hold, is refused without being read.
TEST(DataSafety, TablesThatCannotBeReadWholeAreRefused) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    int exitCode;
    std::string says;  // in the finding or on standard error
  };
  const std::vector<Case> cases = {
      {"a pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0644); }, 2, "has no LP3K.txt"},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       2, "has no LP3K.txt"},
      {"a file larger than any table is read",
       [](const fs::path& p) {
         std::ofstream(p) << "Station ID\tQ1\r\n";
         fs::resize_file(p, std::uintmax_t{3} << 30);  // sparse: takes no room
       },
       1, "Error: 7 File too large: more than 2147483648 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir data;
    copyDemo(data);
    fs::remove(data.path() / "LP3K.txt");
    c.make(data.path() / "LP3K.txt");
    const ProgramResult r = runProgram("timeout 60 " + shellProgram() + " --check " +
                                       shellQuote(data.path().string()) + " --json -");
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_TRUE(r.err.find(c.says) != std::string::npos ||
                (r.exitCode == 1 && anyHas(findingTexts(r), c.says)))
        << r.err << r.out;
  }
}

// A large region with two stations swapped in the skew file, repaired by two checks started
// at once, fifty times: one repairs, the other waits its turn or is told the folder is in
// use, and the original survives in exactly one backup.
TEST(DataSafety, TwoRepairsAtOnceKeepTheOriginalInOneBackup) {
  TempDir source;
  writeSampleData(source.path(), {.stations = 20000, .withMatrix = false, .withFlowFiles = false});
  swapFirstStations(source, "LP3G.txt");
  const std::string original = source.read("LP3G.txt");
  for (int pair = 0; pair < 50; ++pair) {
    SCOPED_TRACE(pair);
    TempDir data;
    for (const char* table : kTables) fs::copy_file(source.path() / table, data.path() / table);
    const std::string one = shellProgram() + " --check " + shellQuote(data.path().string()) +
                            " --date " + kDate + " --fix >/dev/null";
    const ProgramResult r = runProgram("{ " + one + " 2>&1 & " + one + " 2>&1 & wait; }");
    std::vector<std::string> backups;
    for (const auto& entry : fs::directory_iterator(data.path())) {
      const std::string name = entry.path().filename().string();
      if (name.find("-BadFile-") != std::string::npos) backups.push_back(name);
    }
    ASSERT_EQ(backups, std::vector<std::string>{backupOf("LP3G.txt")}) << r.out << r.err;
    EXPECT_TRUE(data.read(backupOf("LP3G.txt")) == original);
    EXPECT_TRUE(data.read("LP3G.txt") != original);
  }
}

}  // namespace
}  // namespace tarvex::testing

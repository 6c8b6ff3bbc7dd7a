#include "checks/fix_site_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "check_harness.h"
#include "file_size_limit.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

const std::string kHeading = "Station ID\tLat\tLong";
const std::string kBackup = "SiteInfo.txt-BadFile-12-7-2026.txt";

// The site check read 1234567 and A7654321; the repair form made them 01234567 and
// 7654321 (an eight-digit number it then offered stays as it was).
struct Fix : CheckHarness {
  Fix() {
    stations({"1234567", "A7654321", "12345678"});
    state.StationNumbers = {"", "01234567", "7654321", "12345678"};
  }
};

TEST(FixSiteInfo, RewritesMatchedLinesAndListsTheOthers) {
  struct Row {
    const char* what;
    std::string file;
    std::string rewritten;
    int result;
    long warnings;
    std::string shown;  // the viewer's text; empty for none
  };
  const std::vector<Row> rows = {
      {"every line matched", kHeading + "\r\n1234567\t1\t2\r\nA7654321\t3\t4\r\n12345678\t5\t6\r\n",
       kHeading + "\r\n01234567\t1\t2\r\n7654321\t3\t4\r\n12345678\t5\t6\r\n", 0, 1, ""},
      {"no final line break, line feeds kept inside a line",
       kHeading + "\r\n1234567\t1\n\t2\r\nA7654321\t3\t4",
       kHeading + "\r\n01234567\t1\n\t2\r\n7654321\t3\t4\r\n", 0, 1, ""},
      // The check reads station numbers trimmed, and so does the repair: no line is lost.
      {"padded numbers are matched trimmed", kHeading + "\r\n 1234567\t1\t2\r\nA7654321 \t3\t4\r\n",
       kHeading + "\r\n01234567\t1\t2\r\n7654321\t3\t4\r\n", 0, 1, ""},
      {"blank and tab-less lines are left out",
       kHeading + "\r\n1234567\t1\t2\r\n   \r\n1234567\r\nA7654321\t3\t4\r\n",
       kHeading + "\r\n01234567\t1\t2\r\n7654321\t3\t4\r\n", -9999, 2,
       kBackup + "\r\n" + kHeading + "\r\n2\t   \r\n3\t1234567\r\n"},
      {"a heading-only file", kHeading + "\r\n", kHeading + "\r\n", 0, 1, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Fix f;
    f.file("SiteInfo.txt", row.file);
    const SiteInfoRewrite rewrite = FixSiteInfo(f.context, "SiteInfo.txt");
    EXPECT_EQ(rewrite.result, row.result);
    EXPECT_EQ(rewrite.backupName, kBackup);
    EXPECT_EQ(f.read("SiteInfo.txt"), row.rewritten);
    EXPECT_EQ(f.read(kBackup), row.file);
    EXPECT_EQ(f.state.WarningCount, row.warnings);
    EXPECT_EQ(f.state.ErrorCount, 0);
    EXPECT_EQ(f.report.shownReports,
              row.shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.shown});
    EXPECT_EQ(f.transcript(), "");
  }
}

TEST(FixSiteInfo, BackupsNeverReplaceAFile) {
  EXPECT_EQ(backupNameFor("SiteInfo.txt", {2011, 3, 7}), "SiteInfo.txt-BadFile-3-7-2011.txt");
  EXPECT_EQ(backupNameFor("AZ.txt", {2026, 12, 17}), "AZ.txt-BadFile-12-17-2026.txt");

  Fix f;
  const std::string original = kHeading + "\r\n1234567\t1\t2\r\n";
  f.file("SiteInfo.txt", original);
  f.file(kBackup, "a file of the user's that has the backup's name");
  FixSiteInfo(f.context, "SiteInfo.txt");
  // Twice in one run: the original is saved once.
  FixSiteInfo(f.context, "SiteInfo.txt");
  const std::string afterFirstRun = f.read("SiteInfo.txt");
  // A second run on the same day saves the file as it found it under the next free name.
  f.context.ownChanges = {};
  FixSiteInfo(f.context, "SiteInfo.txt");
  const std::string numbered = "SiteInfo.txt-BadFile-12-7-2026-";
  auto contents = folderContents(f.dataDir);
  contents.erase("SiteInfo.txt");
  EXPECT_EQ(contents, (std::map<std::string, std::string>{
                          {kBackup, "a file of the user's that has the backup's name"},
                          {numbered + "2.txt", original},
                          {numbered + "3.txt", afterFirstRun}}));
}

TEST(FixSiteInfo, TheBackupAndTheRewriteKeepTheFilesMode) {
  Fix f;
  f.file("SiteInfo.txt", kHeading + "\r\n1234567\t1\t2\r\n");
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(f.dataDir.path() / "SiteInfo.txt", mode);
  FixSiteInfo(f.context, "SiteInfo.txt");
  EXPECT_EQ(f.read("SiteInfo.txt"), kHeading + "\r\n01234567\t1\t2\r\n");
  EXPECT_EQ(fs::status(f.dataDir.path() / "SiteInfo.txt").permissions(), mode);
  EXPECT_EQ(fs::status(f.dataDir.path() / kBackup).permissions(), mode);
}

TEST(FixSiteInfo, FailuresLeaveTheFileAsItWas) {
  struct Row {
    const char* what;
    std::optional<std::string> file;
    int number;
    std::string description;
  };
  const std::vector<Row> rows = {
      {"missing file", std::nullopt, 53, "File not found"},
      {"empty file", std::string(), 62, "Input past end of file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Fix f;
    if (row.file) f.file("SiteInfo.txt", *row.file);
    const SiteInfoRewrite rewrite = FixSiteInfo(f.context, "SiteInfo.txt");
    EXPECT_EQ(rewrite.result, row.number);
    EXPECT_EQ(f.state.ErrorCount, 1);
    EXPECT_EQ(f.transcript(),
              msgBoxBlock(16, "Sub FixSiteInfo",
                          "Error: " + std::to_string(row.number) + " " + row.description));
    EXPECT_FALSE(fs::exists(f.dataDir.path() / kBackup));
  }
}

TEST(FixSiteInfo, NoBackupMeansNoRewrite) {
  SKIP_UNLESS_PERMISSIONS_APPLY();
  Fix f;
  const std::string original = kHeading + "\r\n1234567\t1\t2\r\n";
  f.file("ro/SiteInfo.txt", original);
  fs::permissions(f.dataDir.path() / "ro", fs::perms::owner_write, fs::perm_options::remove);
  const SiteInfoRewrite rewrite = FixSiteInfo(f.context, "ro/SiteInfo.txt");
  EXPECT_EQ(rewrite.result, 70);
  EXPECT_EQ(rewrite.backupName, "");
  EXPECT_EQ(f.read("ro/SiteInfo.txt"), original);
  EXPECT_EQ(f.transcript(), msgBoxBlock(16, "Sub FixSiteInfo", "Error: 70 Permission denied"));
  EXPECT_EQ(f.state.WarningCount, 0);
}

TEST(FixSiteInfo, AFailedRewriteKeepsTheFileAndTheBackup) {
  Fix f;
  const std::string original = kHeading + "\r\n1234567\t1\t2\r\n";
  f.file("SiteInfo.txt", original);
  SiteInfoRewrite rewrite;
  {
    // The backup fits; the repaired file, one zero longer, does not.
    const FileSizeLimit limit(original.size());
    rewrite = FixSiteInfo(f.context, "SiteInfo.txt");
  }
  EXPECT_EQ(rewrite.result, 61);
  EXPECT_EQ(f.read("SiteInfo.txt"), original);
  EXPECT_EQ(f.read(kBackup), original);
  EXPECT_EQ(f.transcript(), msgBoxBlock(16, "Sub FixSiteInfo", "Error: 61 Disk full"));
  EXPECT_EQ(std::distance(fs::directory_iterator(f.dataDir.path()), fs::directory_iterator()), 2)
      << "no temporary file is left";
}

}  // namespace
}  // namespace tarvex::testing

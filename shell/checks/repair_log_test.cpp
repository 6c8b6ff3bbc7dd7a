#include "checks/repair_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

Rewrite rewriteOf(const TempDir& dir, const std::string& name, bool existed) {
  return {dir.path() / name,
          name,
          existed ? std::optional<std::string>(name + "-BadFile-3-7-2011.txt") : std::nullopt,
          existed,
          "before-" + name,
          "after-" + name};
}

// A run is logged by the files it replaced: what it made anew (the matrix without headings,
// the compilation file) repairs nothing and has nothing to put back, and a run that replaced
// nothing leaves no record. A cut-short last line is passed over.
TEST(RepairLog, RunsListTheFilesTheyReplaced) {
  TempDir dir;
  FileChanges made;
  made.rewrites = {rewriteOf(dir, "USERWLS.txt", false)};
  EXPECT_EQ(appendRepairLog(dir.path(), "made", made), std::nullopt);
  EXPECT_FALSE(fs::exists(dir.path() / kRepairLogName));

  FileChanges repair;
  repair.rewrites = {rewriteOf(dir, "LP3G.txt", true), rewriteOf(dir, "USERWLS.txt", false),
                     rewriteOf(dir, "LP3s.txt", true)};
  EXPECT_EQ(appendRepairLog(dir.path(), "repair", repair), 1);
  EXPECT_EQ(appendRepairLog(dir.path(), "undo", repair, 1), 2);
  dir.write(kRepairLogName, dir.read(kRepairLogName) + "{\"run\": 3, \"time\"");

  const auto runs = readRepairLog(dir.path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].program, "repair");
  EXPECT_EQ(runs[0].undoes, std::nullopt);
  EXPECT_EQ(runs[1].undoes, 1);
  ASSERT_EQ(runs[0].files.size(), 2u);
  EXPECT_EQ(runs[0].files[0].file, "LP3G.txt");
  EXPECT_EQ(runs[0].files[0].backup, "LP3G.txt-BadFile-3-7-2011.txt");
  EXPECT_EQ(runs[0].files[0].before, "before-LP3G.txt");
  EXPECT_EQ(runs[0].files[0].after, "after-LP3G.txt");
  EXPECT_EQ(runs[0].files[1].file, "LP3s.txt");
}

}  // namespace
}  // namespace tarvex::testing

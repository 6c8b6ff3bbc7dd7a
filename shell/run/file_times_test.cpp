#include "run/file_times.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "temp_dir.h"
#include "transcript.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

// Files written right before and right after the reading fall on either side of it,
// though the file system's clock lags the process's.
TEST(FileTimes, FileSystemNowSeparatesBeforeFromAfter) {
  TempDir dir;
  for (int round = 0; round < 20; ++round) {
    const std::string before = "before" + std::to_string(round);
    const std::string after = "after" + std::to_string(round);
    dir.write(before, "x");
    const FileTime now = fileSystemNow(dir.path());
    dir.write(after, "x");
    EXPECT_LT(*lastChangeTime(dir.path() / before), now) << round;
    EXPECT_GE(*lastChangeTime(dir.path() / after), now) << round;
  }
  EXPECT_EQ(folderListing(dir.path()).size(), 40u);  // the marker is gone
}

TEST(FileTimes, FileSystemNowNeedsAFolderThatTakesAFile) {
  TempDir dir;
  SKIP_UNLESS_PERMISSIONS_APPLY();
  fs::create_directory(dir.path() / "locked");
  fs::permissions(dir.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_RUNTIME_ERROR(fileSystemNow(dir.path() / "locked"), 70);
}

TEST(FileTimes, AMoveNeverLosesAFile) {
  struct Case {
    std::string name;
    std::string target;  // relative to the folder
    bool targetExists;
    int error;  // 0 when the move succeeds
  };
  const std::vector<Case> cases = {
      {"into a folder", "out/a.txt", false, 0},
      {"onto an existing file", "out/a.txt", true, 58},
      {"into a missing folder", "none/a.txt", false, 53},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.write("a.txt", "results");
    fs::create_directory(dir.path() / "out");
    if (c.targetExists) dir.write(c.target, "earlier results");
    if (c.error == 0) {
      moveFile(dir.path() / "a.txt", dir.path() / c.target);
      EXPECT_EQ(dir.read(c.target), "results");
      EXPECT_FALSE(fs::exists(dir.path() / "a.txt"));
    } else {
      EXPECT_RUNTIME_ERROR(moveFile(dir.path() / "a.txt", dir.path() / c.target), c.error);
      EXPECT_EQ(dir.read("a.txt"), "results");
      if (c.targetExists) {
        EXPECT_EQ(dir.read(c.target), "earlier results");
      }
    }
  }
}

TEST(FileTimes, AMoveToAnotherFileSystemCopiesThenRemoves) {
  const fs::path shared = "/dev/shm";
  struct stat here {
  }, there{};
  TempDir dir;
  if (::stat(dir.path().c_str(), &here) != 0 || ::stat(shared.c_str(), &there) != 0 ||
      here.st_dev == there.st_dev || ::access(shared.c_str(), W_OK) != 0)
    GTEST_SKIP() << "no second file system to move to";
  dir.write("a.txt", "results");
  fs::permissions(dir.path() / "a.txt", fs::perms::owner_read | fs::perms::owner_write);
  const fs::path target = shared / ("tarvex-move-" + std::to_string(::getpid()) + ".txt");
  moveFile(dir.path() / "a.txt", target);
  EXPECT_FALSE(fs::exists(dir.path() / "a.txt"));
  std::error_code ec;
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::file_size(target, ec), 7u);
  // Taken again: the file there stays and so does the source.
  dir.write("b.txt", "more");
  EXPECT_RUNTIME_ERROR(moveFile(dir.path() / "b.txt", target), 58);
  EXPECT_EQ(dir.read("b.txt"), "more");
  fs::remove(target, ec);
}

}  // namespace
}  // namespace tarvex::testing

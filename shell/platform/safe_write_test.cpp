#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "file_size_limit.h"
#include "platform/run_time_error.h"
#include "platform/system_calls.h"
#include "temp_dir.h"
#include "transcript.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

TEST(SafeWrite, ReplaceWritesWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  const auto target = dir.write("data.txt", "old contents");
  replaceFile(target, "new\r\ncontents");
  EXPECT_EQ(dir.read("data.txt"), "new\r\ncontents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SafeWrite, FailedReplaceKeepsTheOldFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  // A target that is a folder, and a target in a missing folder, both fail cleanly.
  EXPECT_RUNTIME_ERROR(replaceFile(dir.path() / "sub", "x"), 75);
  EXPECT_RUNTIME_ERROR(replaceFile(dir.path() / "nofolder" / "f.txt", "x"), 76);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "sub"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SafeWrite, WriteFailureAfterTheTemporaryFileExistsLeavesNoTrace) {
  TempDir dir;
  const auto target = dir.write("data.txt", "the user's data");
  {
    const FileSizeLimit limit(4096);
    EXPECT_RUNTIME_ERROR(replaceFile(target, std::string(64 * 1024, 'x')), 61);
  }
  EXPECT_EQ(dir.read("data.txt"), "the user's data");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

int syncFailsWithIo(int) {
  errno = EIO;
  return -1;
}
int syncFailsWithNoSpace(int) {
  errno = ENOSPC;
  return -1;
}
int renameFailsWithIo(const char*, const char*) {
  errno = EIO;
  return -1;
}

// The file must be whole on disk before it takes the table's name: a sync or rename that
// fails leaves the table as it was, no temporary file, and no backup.
TEST(SafeWrite, ACommitThatFailsLeavesTheOldFileAndNoTrace) {
  struct Row {
    const char* what;
    SystemCalls calls;
    int number;
  };
  const SystemCalls system = systemCalls();
  const std::vector<Row> rows = {
      {"sync fails", {syncFailsWithIo, system.rename}, 57},
      {"sync finds the disk full", {syncFailsWithNoSpace, system.rename}, 61},
      {"rename fails", {system.fsync, renameFailsWithIo}, 57},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    const auto target = dir.write("data.txt", "the user's data");
    {
      const ScopedSystemCalls failing(row.calls);
      EXPECT_RUNTIME_ERROR(replaceFile(target, "new contents"), row.number);
      if (row.calls.fsync != system.fsync) {
        EXPECT_RUNTIME_ERROR(saveNewFile(dir.path(), "backup.txt", "saved", target), row.number);
      }
    }
    EXPECT_EQ(folderContents(dir),
              (std::map<std::string, std::string>{{"data.txt", "the user's data"}}));
  }
  EXPECT_EQ(systemCalls().fsync, system.fsync);
  EXPECT_EQ(systemCalls().rename, system.rename);
}

TEST(SafeWrite, ReplaceInAReadOnlyFolderKeepsTheOldFile) {
  SKIP_UNLESS_PERMISSIONS_APPLY();
  TempDir dir;
  const auto target = dir.write("ro/data.txt", "the user's data");
  std::filesystem::permissions(dir.path() / "ro", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_RUNTIME_ERROR(replaceFile(target, "new"), 70);
  EXPECT_EQ(dir.read("ro/data.txt"), "the user's data");
}

// What a replaced file keeps, and what is refused, by the kind of target.
TEST(SafeWrite, AReplacedFileKeepsItsModeAndALinkItsTarget) {
  struct Row {
    const char* what;
    fs::perms mode;
    const char* link;  // the table is a link to this file, relative to the data folder
    int refused;       // the error number, or 0
  };
  using P = fs::perms;
  const std::vector<Row> rows = {
      {"owner only", P::owner_read | P::owner_write, nullptr, 0},
      {"group may write", P::owner_read | P::owner_write | P::group_read | P::group_write, nullptr,
       0},
      {"read-only for all", P::owner_read | P::group_read | P::others_read, nullptr, 70},
      {"no permission at all", P::none, nullptr, 70},
      {"a link within the folder", P::owner_read | P::owner_write, "sub/real.txt", 0},
      {"a link out of the folder", P::owner_read | P::owner_write, "../elsewhere/real.txt", 75},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir outer;
    const fs::path table = outer.path() / "data/table.txt";
    const fs::path real = row.link ? table.parent_path() / row.link : table;
    fs::create_directories(real.parent_path());
    fs::create_directories(table.parent_path());
    writeBytes(real, "old");
    if (row.link) fs::create_symlink(real, table);
    fs::permissions(real, row.mode);
    if (row.refused) {
      EXPECT_RUNTIME_ERROR(replaceFile(table, "new"), row.refused);
      EXPECT_RUNTIME_ERROR(rewriteTarget(table), row.refused);
    } else {
      replaceFile(table, "new");
      EXPECT_EQ(fs::weakly_canonical(rewriteTarget(table)), fs::weakly_canonical(real));
    }
    fs::permissions(real, P::owner_read, fs::perm_options::add);
    EXPECT_EQ(readBytes(real), row.refused ? "old" : "new");
    EXPECT_EQ(fs::status(real).permissions(), row.mode | P::owner_read);
    EXPECT_EQ(fs::is_symlink(table), row.link != nullptr);
  }
}

TEST(SafeWrite, ANewFileNeverReplacesOne) {
  TempDir dir;
  const fs::path like = dir.write("table.txt", "original");
  fs::permissions(like, fs::perms::owner_read | fs::perms::owner_write);
  dir.write("copy.txt", "taken");
  dir.write("copy-2.txt", "taken too");
  EXPECT_EQ(saveNewFile(dir.path(), "copy.txt", "first", like), "copy-3.txt");
  EXPECT_EQ(saveNewFile(dir.path(), "copy.txt", "second", like), "copy-4.txt");
  EXPECT_EQ(saveNewFile(dir.path(), "fresh.txt", "third", like), "fresh.txt");
  EXPECT_EQ(folderContents(dir), (std::map<std::string, std::string>{{"copy-2.txt", "taken too"},
                                                                     {"copy-3.txt", "first"},
                                                                     {"copy-4.txt", "second"},
                                                                     {"copy.txt", "taken"},
                                                                     {"fresh.txt", "third"},
                                                                     {"table.txt", "original"}}));
  EXPECT_EQ(fs::status(dir.path() / "copy-3.txt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

// A copy of a file, of any size, is a new file like any other: under the first free name,
// with the file's bytes and mode.
TEST(SafeWrite, ACopyIsANewFileWithTheFilesBytesAndMode) {
  TempDir dir;
  std::string large(3 * (std::size_t{1} << 20) + 5, 'x');
  large[large.size() / 2] = 'y';
  for (const std::string& bytes : {std::string(), std::string("small"), large}) {
    const fs::path source = dir.write("source.txt", bytes);
    fs::permissions(source, fs::perms(0640));
    const std::string name = saveNewFileCopy(dir.path(), "copy.txt", source);
    EXPECT_EQ(dir.read(name), bytes);
    EXPECT_EQ(fs::status(dir.path() / name).permissions(), fs::perms(0640));
  }
  EXPECT_EQ(folderListing(dir.path()),
            (std::vector<std::string>{"copy-2.txt", "copy-3.txt", "copy.txt", "source.txt"}));
}

// A file written a piece at a time appears whole at the commit, and not at all without it.
TEST(SafeWrite, APendingFileAppearsOnlyWhenCommitted) {
  TempDir dir;
  const fs::path target = dir.write("table.txt", "old");
  fs::permissions(target, fs::perms(0604));
  {
    PendingFile file(target);
    file.write("new ");
    file.write("bytes");
    EXPECT_EQ(dir.read("table.txt"), "old");
    EXPECT_EQ(readBytes(file.temporaryPath()), "new bytes");
  }
  EXPECT_EQ(folderListing(dir.path()), std::vector<std::string>{"table.txt"});
  {
    PendingFile file(target);
    file.write("new bytes");
    file.commit();
  }
  EXPECT_EQ(folderContents(dir), (std::map<std::string, std::string>{{"table.txt", "new bytes"}}));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0604));
  fs::permissions(target, fs::perms(0444));
  EXPECT_RUNTIME_ERROR(PendingFile{target}, 70);
}

TEST(SafeWrite, NumberedNamesAndTemporaryNames) {
  const std::vector<std::pair<std::pair<std::string, int>, std::string>> numbered = {
      {{"a.txt-BadFile-3-7-2011.txt", 1}, "a.txt-BadFile-3-7-2011.txt"},
      {{"a.txt-BadFile-3-7-2011.txt", 2}, "a.txt-BadFile-3-7-2011-2.txt"},
      {{"noextension", 12}, "noextension-12"},
      {{".hidden", 3}, ".hidden-3"},
  };
  for (const auto& [in, out] : numbered) EXPECT_EQ(numberedName(in.first, in.second), out);
  for (const char* name : {".a.txt.tarvex-tmp-abc123", ".x.tarvex-tmp-000000"})
    EXPECT_TRUE(isTemporaryFileName(name)) << name;
  for (const char* name : {"a.txt.tarvex-tmp-abc123", ".a.txt.tarvex-tmp-abc", ".a.txt", "a.txt"})
    EXPECT_FALSE(isTemporaryFileName(name)) << name;
}

TEST(SafeWrite, StaleTemporaryFilesAreRemovedAndNothingElse) {
  TempDir dir;
  dir.write(".table.txt.tarvex-tmp-abc123", "left by a killed run");
  dir.write(".table.txt.tarvex-tmp-abc", "a name of the user's");
  dir.write("table.txt", "data");
  fs::create_directory(dir.path() / ".d.tarvex-tmp-abcdef");
  removeStaleTemporaryFiles(dir.path());
  EXPECT_EQ(
      folderListing(dir.path()),
      (std::vector<std::string>{".d.tarvex-tmp-abcdef", ".table.txt.tarvex-tmp-abc", "table.txt"}));
}

}  // namespace
}  // namespace tarvex::testing

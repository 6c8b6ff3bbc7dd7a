#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include "file_size_limit.h"
#include "platform/run_time_error.h"
#include "temp_dir.h"
#include "transcript.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

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

TEST(SafeWrite, ReplaceInAReadOnlyFolderKeepsTheOldFile) {
  SKIP_UNLESS_PERMISSIONS_APPLY();
  TempDir dir;
  const auto target = dir.write("ro/data.txt", "the user's data");
  std::filesystem::permissions(dir.path() / "ro", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_RUNTIME_ERROR(replaceFile(target, "new"), 70);
  EXPECT_EQ(dir.read("ro/data.txt"), "the user's data");
}

}  // namespace
}  // namespace tarvex::testing

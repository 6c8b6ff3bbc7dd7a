#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

TEST(FolderLock, OneHolderAtATimeAndNothingLeftBehind) {
  TempDir dir;
  dir.write(".SiteInfo.txt.tarvex-tmp-abc123", "left by a killed run");
  {
    const FolderLock first(dir.path());
    EXPECT_EQ(first.state(), FolderLock::State::Held);
    EXPECT_EQ(folderListing(dir.path()), std::vector<std::string>{kFolderLockName});
    const FolderLock second(dir.path());
    EXPECT_TRUE(second.busy());
  }
  EXPECT_EQ(folderListing(dir.path()), std::vector<std::string>{});
  const FolderLock again(dir.path());
  EXPECT_EQ(again.state(), FolderLock::State::Held);
}

TEST(FolderLock, AFolderThatTakesNoFileIsNotLocked) {
  SKIP_UNLESS_PERMISSIONS_APPLY();
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  const FolderLock lock(dir.path());
  EXPECT_EQ(lock.state(), FolderLock::State::Unlockable);
  EXPECT_FALSE(lock.busy());
}

}  // namespace
}  // namespace tarvex::testing

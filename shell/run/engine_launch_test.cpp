#include "run/engine_launch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/scripted/scripted_desktop.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

// The run's files are those changed from the engine's start on: a file whose time is the
// start itself is one of them, a file written before it is not.
TEST(EngineOutputs, FilesChangedFromTheStartOnAreCollected) {
  TempDir data;
  data.write("input.txt", "the user's");
  const FileTime before = fileSystemNow(data.path());
  data.write("results.txt", "written at the start");
  const FileTime start = *lastChangeTime(data.path() / "results.txt");
  ASSERT_GE(start, before);
  data.write("later.txt", "written after it");
  fs::create_directory(data.path() / "out");

  std::ostringstream transcript;
  ScriptedDesktop desktop(transcript, data.path(), CalendarDate{2026, 12, 7});
  ShellState state;
  state.WorkingDirectory = data.dir();
  EXPECT_TRUE(MoveOutputfiles(desktop, state, data.dir(), "out", start, false));

  EXPECT_EQ(folderListing(data.path()), (std::vector<std::string>{"input.txt", "out"}));
  EXPECT_EQ(folderListing(data.path() / "out"),
            (std::vector<std::string>{"later.txt", "results.txt"}));
}

}  // namespace
}  // namespace tarvex::testing

#include "platform/local_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "temp_dir.h"
#include "transcript.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

fs::path executable(const TempDir& dir, const std::string& name, const std::string& text) {
  const fs::path path = dir.write(name, text);
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// PATH set for one test, put back after it.
class PathFor {
 public:
  explicit PathFor(const std::string& path) : old_(std::getenv("PATH")) {
    ::setenv("PATH", path.c_str(), 1);
  }
  ~PathFor() { old_ ? ::setenv("PATH", old_->c_str(), 1) : ::unsetenv("PATH"); }

 private:
  std::optional<std::string> old_;
};

TEST(StartedPrograms, AProgramThatCannotRunRaisesHereNotInTheChild) {
  TempDir dir;
  executable(dir, "garbage",
             "\x7f"
             "ELF but not really");
  executable(dir, "noInterpreter", "#!/nonexistent/interpreter\n");
  struct Row {
    const char* program;
    fs::path folder;
    int number;
  };
  const std::vector<Row> rows = {
      // exec itself refuses these; its reason comes back through the pipe.
      {"garbage", dir.path(), err::kPathFileAccess},
      {"noInterpreter", dir.path(), err::kFileNotFound},
      // No such folder to start in.
      {"garbage", dir.path() / "gone", err::kPathNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.program);
    StartedPrograms programs;
    EXPECT_RUNTIME_ERROR(programs.start(dir.path() / row.program, row.folder), row.number);
    EXPECT_TRUE(programs.waitForLast(1)) << "a failed start leaves nothing to wait for";
  }
}

// How a started program ended, with the last lines of what it wrote as errors.
TEST(StartedPrograms, TellsHowAProgramEnded) {
  TempDir dir;
  struct Row {
    std::string script;
    int exitStatus;
    std::string errorOutput;
  };
  std::string twelve, lastTen;
  for (int i = 1; i <= 12; ++i) {
    twelve += "echo line " + std::to_string(i) + " >&2\n";
    if (i > 2) lastTen += (i > 3 ? "\r\n" : "") + std::string("line ") + std::to_string(i);
  }
  const std::vector<Row> rows = {
      {"exit 0\n", 0, ""},
      {"printf 'Run failed: no stations\\r\\n' >&2\nexit 1\n", 1, "Run failed: no stations"},
      {twelve + "exit 3\n", 3, lastTen},
      {"kill -9 $$\n", 128 + 9, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script);
    StartedPrograms programs;
    const ProgramId id =
        programs.start(executable(dir, "program", "#!/bin/sh\n" + row.script), dir.path());
    ASSERT_TRUE(programs.waitForLast(10));
    const ProgramStatus status = programs.status(id);
    EXPECT_FALSE(status.running);
    EXPECT_EQ(status.exitStatus, row.exitStatus);
    EXPECT_EQ(status.errorOutput, row.errorOutput);
  }
}

TEST(StartedPrograms, AProgramStillRunningSaysSo) {
  TempDir dir;
  StartedPrograms programs;
  const ProgramId id = programs.start(
      executable(dir, "program", "#!/bin/sh\nwhile [ ! -e stop ]; do sleep 0.02; done\n"),
      dir.path());
  EXPECT_TRUE(programs.status(id).running);
  dir.write("stop", "");
  ASSERT_TRUE(programs.waitForLast(10));
  EXPECT_FALSE(programs.status(id).running);
  EXPECT_FALSE(programs.status(id + 100000).running) << "one never started has ended";
}

TEST(StartedPrograms, RunsDetachedInItsFolderWithItsArguments) {
  TempDir dir;
  const fs::path program =
      executable(dir, "engine", "#!/bin/sh\necho \"$1 $(pwd)\" > seen.txt\nexit 3\n");
  fs::create_directory(dir.path() / "data");
  StartedPrograms programs;
  programs.start(program, dir.path() / "data", {"first"});
  ASSERT_TRUE(programs.waitForLast(30));
  EXPECT_EQ(dir.read("data/seen.txt"),
            "first " + fs::canonical(dir.path() / "data").string() + "\n");
}

TEST(OpenFolderInBrowser, AsksTheDesktopsOpenerOrSaysThereIsNone) {
  TempDir bin, data;
  StartedPrograms programs;
  {
    const PathFor noOpener(bin.path().string());
    EXPECT_RUNTIME_ERROR(openFolderInBrowser(programs, data.path()), err::kFileNotFound);
  }
  executable(bin, "xdg-open", "#!/bin/sh\necho \"$1\" > \"$1/opened.txt\"\n");
  const PathFor withOpener("/nonexistent:" + bin.path().string());
  EXPECT_RUNTIME_ERROR(openFolderInBrowser(programs, data.path() / "gone"), err::kPathNotFound);
  openFolderInBrowser(programs, data.path());
  ASSERT_TRUE(programs.waitForLast(30));
  EXPECT_EQ(data.read("opened.txt"), data.path().string() + "\n");
}

}  // namespace
}  // namespace tarvex::testing

// The program against hostile input and failing surroundings: it never aborts, never
// reports success it did not have, and never lets a name forge its transcript.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "run_program.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

// A script file in its own folder, and the command line that runs it.
struct Session {
  explicit Session(const std::string& lines) : path(dir.write("session.txt", lines)) {}
  std::string command(const std::string& args = "") const {
    return shellProgram() + " --script " + shellQuote(path.string()) + " " + args;
  }
  TempDir dir;
  fs::path path;
};

TEST(HostileInput, ScriptsThatAreNoRegularFileOrTooLargeAreRefusedUnread) {
  TempDir dir;
  const fs::path big = dir.write("big.txt", "");
  // Sparse: large on paper, nothing on disk.
  ASSERT_EQ(::truncate(big.c_str(), 64 << 20), 0);
  struct Row {
    std::string script;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"/dev/zero", "it is not a regular file"},
      {"/dev/null", "it is not a regular file"},
      {big.string(), "is larger than 4 MiB"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script);
    const ProgramResult r = runProgram(shellProgram() + " --script " + shellQuote(row.script));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(HostileInput, DeletedCurrentFolder) {
  TempDir root;
  const Session session("show tbMyStatus\nclick cmdInputFiles\n");
  // The shell starts in a folder that no longer exists.
  const std::string gone = "mkdir " + shellQuote(root.dir() + "gone") + " && cd " +
                           shellQuote(root.dir() + "gone") + " && rmdir " +
                           shellQuote(root.dir() + "gone") + " && ";
  const ProgramResult relative = runProgram(gone + session.command("--shell-dir ."));
  EXPECT_EQ(relative.exitCode, 2);
  EXPECT_NE(relative.err.find("TARVEXshellv01: cannot find the shell folder \".\""),
            std::string::npos)
      << relative.err;
  EXPECT_EQ(relative.err.find('\n'), relative.err.size() - 1) << "one line";

  // With an absolute shell folder the start-up runs, fails, and leaves the steps
  // disabled instead of letting Step 1 report success; the session is no success.
  const ProgramResult absolute =
      runProgram(gone + session.command("--shell-dir " + shellQuote(buildBinDir())));
  EXPECT_EQ(absolute.exitCode, 1) << absolute.err;
  EXPECT_EQ(absolute.out,
            "== msgbox 16 \"TARVEX Shell Load\"\nError: 76 Path not found\n-> ok\n"
            "== show tbMyStatus\nStatus:\n== disabled cmdInputFiles\n== end\n");
}

// A window that cannot start says so in one line and ends with status 2.
TEST(HostileInput, AWindowThatCannotStartSaysWhyInOneLine) {
  const ProgramResult r = runProgram("QT_QPA_PLATFORM=bogus " + shellProgram());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.rfind("TARVEXshellv01: the window cannot start: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("(QT_QPA_PLATFORM is \"bogus\")"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(HostileInput, UnwritableTranscriptIsAFailure) {
  const Session session("show tbMyStatus\nstate\n");
  struct Row {
    const char* what;
    std::string redirect;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"full device", ">/dev/full", "TARVEXshellv01: cannot write the transcript\n"},
      {"closed output", ">&-", "TARVEXshellv01: standard output is closed\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const ProgramResult r =
        runProgram(session.command("--shell-dir " + shellQuote(buildBinDir()) + row.redirect));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, row.message);
  }
}

TEST(HostileInput, EndlessInitializationFileIsReadOnlyAsFarAsNeeded) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
  TempDir shell;
  shell.write("TARVEXv1", "engine");
  shell.write("TARVEXv1.ctf", "control");
  const fs::path ini = shell.write("TARVEXshell01.ini", "TARVEXv1\r\nTARVEXv1.ctf\r\n");
  // Two value lines, then 8 GiB of nothing (sparse): more than the memory allowed.
  ASSERT_EQ(::truncate(ini.c_str(), std::int64_t{8} << 30), 0);
  const Session session("show tbMyStatus\n");
  const ProgramResult r = runProgram("ulimit -v 2000000 && " +
                                     session.command("--shell-dir " + shellQuote(shell.dir())));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "== show tbMyStatus\nStatus: Loaded\n== end\n");
#endif
}

TEST(HostileInput, FolderNamesCannotForgeTheTranscript) {
  TempDir root;
  const std::string folder = root.dir() + "x\n== end\r\n-> yes \"q\"";
  fs::create_directory(folder);
  const Session session("show tbDirectory\nclick cmdOpenOutPutDirectory\n");
  const ProgramResult r = runProgram("cd " + shellQuote(folder) + " && " +
                                     session.command("--shell-dir " + shellQuote(buildBinDir())));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // The line feed is escaped; after the carriage return's line break the answer-like
  // line gets a backslash.
  const std::string shown = root.dir() + "x\\n== end\n\\-> yes \"q\"/";
  EXPECT_EQ(r.out, "== show tbDirectory\n" + shown +
                       "\n== msgbox 64 \"Please specify input files:\"\nYou need to specify "
                       "input files before opening an oputput directory\n-> ok\n== end\n");
}

}  // namespace
}  // namespace tarvex::testing

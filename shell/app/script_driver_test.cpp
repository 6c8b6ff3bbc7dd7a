// The --script driver, run as a user runs it.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "run_program.h"
#include "state/shell_folders.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

ProgramResult runShell(const std::string& script, const std::string& extraArgs = "") {
  TempDir dir;
  const auto path = dir.write("session.txt", script);
  return runProgram(shellProgram() + " --script " + shellQuote(path.string()) + " " + extraArgs);
}

TEST(ScriptDriver, StartsLoadedFromTheBuildTree) {
  const ProgramResult r = runShell("# start-up only\n\nshow tbMyStatus\nstate\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "== show tbMyStatus\nStatus: Loaded\n== state\nInputFilesSpecified: false\n"
            "InputFilesChecked: false\nTARVEXHasRun: false\nFlowFilesChecked: false\n"
            "ErrorCount: 0\nWarningCount: 0\nStationCount: 0\n== end\n");
}

// --shell-dir stands for the program's own folder, so the installed folder beside it is
// looked in too, and the box names both.
TEST(ScriptDriver, EmptyShellFolderIsFatalButExitWorks) {
  TempDir empty;
  const std::vector<std::string> folders = shellFolders(empty.path());
  ASSERT_EQ(folders.size(), 2u);
  const ProgramResult r =
      runShell("click cmdInputFiles\nshow tbMyStatus\nclick cmdExit\nshow tbMyStatus\n",
               "--shell-dir " + shellQuote(empty.path().string()));
  // The session ran to its end, but on a start-up that failed.
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(r.out,
            "== msgbox 16 \"Fatal Error Loading Shell:\"\n"
            "The initialization file TARVEXshell01.ini does not exist default values will be "
            "used.\n"
            "The TARVEX file does not exist in the shell directory. This is a fatal error!\n"
            "The TARVEX control file does not exist in the shell directory. This is a fatal "
            "error!\n"
            "TARVEXshell01.ini was looked for in:\n    " +
                folders[0] + "\n    " + folders[1] +
                "\nStart the shell with --shell-dir DIR to name the folder that holds it and "
                "the engine.\n\n-> ok\n"
                "== disabled cmdInputFiles\n"
                "== show tbMyStatus\nStatus:\n"
                "== end\n");
}

TEST(ScriptDriver, AnswersAreTakenLazilyAndDefaultsSaid) {
  const ProgramResult r = runShell(
      "answer yes\nclick cmdAskRunTARVEX\nclick cmdOpenOutPutDirectory\n", "--date 2026-12-07");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("== unused line 1 \"answer yes\"\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("== msgbox 64 \"Run TARVEX\""), std::string::npos);
}

TEST(ScriptDriver, BadScriptsAreRefusedWithTheLine) {
  struct Row {
    std::string script;
    std::string args;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"show tbMyStatus\nfrobnicate cmdExit\n", "", "line 2 \"frobnicate cmdExit\": unknown verb"},
      {"click cmdNoSuchButton\n", "",
       "line 1 \"click cmdNoSuchButton\": frmTARVEXshell01 has no "
       "control named \"cmdNoSuchButton\""},
      {"tick cmdExit\n", "", "cmdExit is not a check box"},
      {"select ListStations 3\n", "", "no item 3 in ListStations"},
      {"answer maybe\n", "", "answer takes yes or no"},
      {"show tbMyStatus\n", "--date 2026-02-30", "a date as YYYY-MM-DD is needed"},
      {"show tbMyStatus\n", "--colour red", "unknown argument \"--colour\""},
      {std::string("\0\1binary", 8), "", "is not a text file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script);
    const ProgramResult r = runShell(row.script, row.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
  const ProgramResult missing = runProgram(shellProgram() + " --script /nonexistent/session.txt");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("cannot read script"), std::string::npos);
  TempDir folder;
  const ProgramResult notAFile =
      runProgram(shellProgram() + " --script " + shellQuote(folder.dir()));
  EXPECT_EQ(notAFile.exitCode, 2);
  EXPECT_NE(notAFile.err.find("cannot read script"), std::string::npos);
}

TEST(WindowProgram, WithoutADisplayItSaysSoInOneLineAndPointsToScript) {
  struct Row {
    std::string environment;
    std::string reason;
  };
  const std::vector<Row> rows = {
      {"-u DISPLAY", "no display to open the window on (DISPLAY is not set)"},
      {"DISPLAY=:987", "cannot open the display \":987\""},
      {"DISPLAY=:987 QT_QPA_PLATFORM=xcb", "cannot open the display \":987\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.environment);
    const ProgramResult r =
        runProgram("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + row.environment + " " +
                   shellProgram() + " --date 2026-12-07");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "TARVEXshellv01: " + row.reason + "; to run without a window use --script FILE\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CommandLine, Dates) {
  EXPECT_TRUE(parseIsoDate("2024-02-29"));
  EXPECT_FALSE(parseIsoDate("2023-02-29"));
  EXPECT_FALSE(parseIsoDate("2023-13-01"));
  EXPECT_FALSE(parseIsoDate("2023-1-01"));
  EXPECT_FALSE(parseIsoDate("2023-01-0x"));
}

}  // namespace
}  // namespace tarvex::testing

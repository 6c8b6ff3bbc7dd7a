#include <gtest/gtest.h>

#include "shell_harness.h"
#include "state/read_ini.h"

namespace tarvex::testing {
namespace {

const std::string kNoIni =
    "The initialization file TARVEXshell01.ini does not exist default values will be used.\r\n";
const std::string kNoExe =
    "The TARVEX file does not exist in the shell directory. This is a fatal error!\r\n";
const std::string kNoCtf =
    "The TARVEX control file does not exist in the shell directory. This is a fatal error!\r\n";

bool stepButtonsEnabled(MainWindow& w) {
  return w.cmdInputFiles.enabled() && w.cmdQAQCFiles.enabled() && w.cmdRunTARVEX.enabled() &&
         w.cmdOpenOutPutDirectory.enabled() && w.cmdChangeOutputSubDir.enabled();
}

struct StartCase {
  const char* what;
  const char* ini;  // nullptr: no initialization file
  std::vector<std::string> shellFiles;
  std::string expectedBox;  // empty: no box
  std::string status;
  bool fatal;
  std::string exe, ctf, folder;
};

TEST(StartUp, InitializationFileAndEngineFiles) {
  const std::vector<StartCase> cases = {
      {"all present",
       "TARVEXv1\r\nTARVEXv1.ctf\r\nEngineData\r\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       "",
       "Status: Loaded",
       false,
       "TARVEXv1",
       "TARVEXv1.ctf",
       "EngineData"},
      {"no ini, default engine names present",
       nullptr,
       {"TARVEXv1.exe", "TARVEXv1.ctf"},
       msgBoxBlock(16, "Initialization File Errors:", kNoIni),
       "Status:",
       false,
       "TARVEXv1.exe",
       "TARVEXv1.ctf",
       ""},
      {"only comment lines: names stay empty and the bare folder is no file",
       "# one\r\n#two\r\n",
       {"TARVEXv1.exe", "TARVEXv1.ctf"},
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoExe + kNoCtf),
       "Status:",
       true,
       "",
       "",
       ""},
      {"blanks around names are dropped",
       "  TARVEXv1  \r\n TARVEXv1.ctf\r\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       "",
       "Status: Loaded",
       false,
       "TARVEXv1",
       "TARVEXv1.ctf",
       ""},
      {"a blank before # makes a value line",
       " #x\r\nTARVEXv1\r\nTARVEXv1.ctf\r\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoExe),
       "Status:",
       true,
       "#x",
       "TARVEXv1",
       "TARVEXv1.ctf"},
      {"fourth and later value lines change nothing",
       "TARVEXv1\r\nTARVEXv1.ctf\r\n\r\nfourth\r\nfifth\r\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       "",
       "Status: Loaded",
       false,
       "TARVEXv1",
       "TARVEXv1.ctf",
       ""},
      {"an empty line is a value line",
       "TARVEXv1\r\n\r\nTARVEXv1.ctf\r\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoCtf),
       "Status:",
       true,
       "TARVEXv1",
       "",
       "TARVEXv1.ctf"},
      {"line feeds alone do not end lines",
       "TARVEXv1\nTARVEXv1.ctf\n",
       {"TARVEXv1", "TARVEXv1.ctf"},
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoExe + kNoCtf),
       "Status:",
       true,
       "TARVEXv1\nTARVEXv1.ctf\n",
       "",
       ""},
      {"both engine files missing: program line first",
       "TARVEXv1\r\nTARVEXv1.ctf\r\n",
       {},
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoExe + kNoCtf),
       "Status:",
       true,
       "TARVEXv1",
       "TARVEXv1.ctf",
       ""},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.what);
    ShellHarness shell;
    if (c.ini) shell.shellDir.write("TARVEXshell01.ini", c.ini);
    for (const std::string& name : c.shellFiles) shell.shellDir.write(name, "x");
    ASSERT_TRUE(shell.start());
    EXPECT_EQ(shell.transcript(), c.expectedBox);
    EXPECT_EQ(shell.window.tbMyStatus.text(), c.status);
    EXPECT_EQ(stepButtonsEnabled(shell.window), !c.fatal);
    if (c.fatal) {
      EXPECT_EQ(shell.window.focus(), "cmdExit");
    }
    EXPECT_EQ(shell.state.TARVEXExeName, c.exe);
    EXPECT_EQ(shell.state.TARVEXCtfName, c.ctf);
    EXPECT_EQ(shell.state.TARVEXFolderName, c.folder);
    EXPECT_EQ(shell.state.ErrorCount, 0);
  }
}

TEST(StartUp, SetsDirectoriesAndResetsFlags) {
  ShellHarness shell;
  shell.installEngine();
  shell.state.InputFilesSpecified = shell.state.TARVEXHasRun = true;
  shell.state.ErrorCount = 4;
  ASSERT_TRUE(shell.start());
  EXPECT_EQ(shell.state.ShellDirectory, shell.shellDir.dir());
  EXPECT_EQ(shell.state.WorkingDirectory, shell.dataDir.dir());
  EXPECT_EQ(shell.window.tbDirectory.text(), shell.dataDir.dir());
  EXPECT_FALSE(shell.state.InputFilesSpecified);
  EXPECT_FALSE(shell.state.TARVEXHasRun);
  EXPECT_EQ(shell.state.ErrorCount, 0);
}

// An installed tree keeps the engine folder apart from the programs: prefix/bin holds the
// shell, prefix/lib/tarvex the initialization file and the engine.
TEST(StartUp, LooksBesideItselfThenInTheInstalledFolder) {
  TempDir prefix;
  const std::string lib =
      (std::filesystem::path("bin") / TARVEX_ENGINE_DIR_FROM_BIN).lexically_normal().string() + "/";
  const std::string bin = prefix.dir() + "bin/";
  const std::string installed = prefix.dir() + lib;
  const std::string ini = "TARVEXv1\r\nTARVEXv1.ctf\r\n";
  const struct {
    const char* what;
    std::vector<std::string> files;  // relative to the prefix
    std::string shellDirectory;
    std::string expectedBox;
  } cases[] = {
      {"installed folder only",
       {lib + "TARVEXshell01.ini", lib + "TARVEXv1", lib + "TARVEXv1.ctf"},
       installed,
       ""},
      {"the program's own folder comes first",
       {"bin/TARVEXshell01.ini", "bin/TARVEXv1", "bin/TARVEXv1.ctf", lib + "TARVEXshell01.ini"},
       bin,
       ""},
      {"the folder with the file is the shell's, even without the engine",
       {"bin/TARVEXv1", "bin/TARVEXv1.ctf", lib + "TARVEXshell01.ini"},
       installed,
       msgBoxBlock(16, "Fatal Error Loading Shell:", kNoExe + kNoCtf)},
      {"no file anywhere: every place looked in, and the option to name one",
       {},
       bin,
       msgBoxBlock(16, "Fatal Error Loading Shell:",
                   kNoIni + kNoExe + kNoCtf + "TARVEXshell01.ini was looked for in:\r\n    " + bin +
                       "\r\n    " + installed +
                       "\r\nStart the shell with --shell-dir DIR to name the folder that "
                       "holds it and the engine.\r\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(prefix.path() / "bin");
    std::filesystem::remove_all(prefix.path() / lib);
    std::filesystem::create_directories(prefix.path() / "bin");
    for (const std::string& file : c.files) prefix.write(file, file.ends_with(".ini") ? ini : "x");
    std::ostringstream out;
    ScriptedDesktop desktop(out, prefix.path() / "bin", kTestDate);
    ShellState state;
    MainWindow window(desktop, state);
    window.load();
    EXPECT_EQ(state.ShellDirectory, c.shellDirectory);
    EXPECT_EQ(out.str(), c.expectedBox);
    EXPECT_EQ(window.cmdInputFiles.enabled(), c.expectedBox.empty());
  }
}

TEST(StartUp, RootFolderGetsOneSlash) {
  std::ostringstream out;
  ScriptedDesktop desktop(out, "/", kTestDate);
  ShellState state;
  MainWindow window(desktop, state);
  window.load();
  EXPECT_EQ(state.ShellDirectory, "/");
}

TEST(StartUp, FatalStartStillExits) {
  ShellHarness shell;
  ASSERT_TRUE(shell.start());
  shell.clearTranscript();
  EXPECT_FALSE(shell.run("click cmdExit"));
  EXPECT_EQ(shell.transcript(), "== end\n");
  EXPECT_EQ(shell.window.tbMyStatus.text(), "Status: Exit Program.");
}

TEST(ReadIni, UnreadableFileTakesDefaultsAndCountsTheFailure) {
  ShellHarness shell;
  shell.state.ShellDirectory = shell.shellDir.dir();
  shell.state.TARVEXExeName = shell.state.TARVEXCtfName = "old";
  shell.state.TARVEXFolderName = "kept";
  // The file is missing, so reading it fails.
  const auto error = ReadINI(shell.desktop, shell.state, shell.window);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->number(), 53);
  EXPECT_EQ(shell.state.TARVEXExeName, "TARVEXv1.exe");
  EXPECT_EQ(shell.state.TARVEXCtfName, "TARVEXv1.ctf");
  EXPECT_EQ(shell.state.TARVEXFolderName, "kept");
  EXPECT_EQ(shell.state.ErrorCount, 1);
  EXPECT_EQ(shell.state.WarningCount, 1);
  EXPECT_EQ(shell.window.tbMyErrors.text(), "Errors: 1");
  EXPECT_EQ(shell.window.tbMyWarnings.text(), "Warnings: 1");
  EXPECT_EQ(shell.transcript(), msgBoxBlock(16, "Sub ReadINI", "Error: 53 File not found"));
}

TEST(ReadIni, BinaryFileReadsWithoutCrashing) {
  ShellHarness shell;
  shell.installEngine();
  // Each name holds a real engine file's name up to a NUL byte.
  shell.shellDir.write("TARVEXshell01.ini",
                       std::string("TARVEXv1\0\x01\xff\r\nTARVEXv1.ctf\0\x80#\r\n", 30));
  ASSERT_TRUE(shell.start());
  // Names with control bytes name no file: both engine files are missing.
  EXPECT_NE(shell.transcript().find("Fatal Error Loading Shell:"), std::string::npos);
  EXPECT_FALSE(shell.window.cmdInputFiles.enabled());
}

}  // namespace
}  // namespace tarvex::testing

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "run_program.h"
#include "shell_harness.h"
#include "window/common_dialog_open.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kStandardNames = {"SiteInfo.txt", "FlowChar.txt", "LP3s.txt",
                                                 "LP3K.txt", "LP3G.txt"};

const std::string kSiteDialog = openHead("SiteInfo File Name:", "SiteInfo.txt");
const std::string kFlowDialog = openHead("Flow Characteristics File Name:", "FlowChar.txt");
const std::string kLP3sDialog =
    openHead("Log Pearson Type III Standard Deviation File Name:", "LP3s.txt");
const std::string kLP3KDialog = openHead("Log Pearson Type III K-value File Name:", "LP3K.txt");
const std::string kLP3GDialog = openHead("Log Pearson Type III Skew File Name:", "LP3G.txt");
const std::string kMatrixDialog =
    openHead("User-Defined Weighting Matrix File Name:", "UserWLS.txt");

TEST(Step1, DerivesOrAsksForEachFile) {
  struct Row {
    const char* what;
    const char* option;  // "prefix", "suffix" or "none"
    bool matrix;
    std::vector<std::string> files;
    std::string answers;
    std::vector<std::string> dialogs;
    std::string names;
  };
  const std::vector<Row> rows = {
      {"prefix AZ",
       "prefix",
       true,
       {"AZSiteInfo.txt", "AZFlowChar.txt", "AZLP3s.txt", "AZLP3K.txt", "AZLP3G.txt",
        "AZUserWLS.txt"},
       "open AZSiteInfo.txt",
       {kSiteDialog},
       "AZSiteInfo.txt AZFlowChar.txt AZLP3s.txt AZLP3K.txt AZLP3G.txt AZUserWLS.txt"},
      {"suffix _AZ",
       "suffix",
       true,
       {"SiteInfo_AZ.txt", "FlowChar_AZ.txt", "LP3s_AZ.txt", "LP3K_AZ.txt", "LP3G_AZ.txt",
        "UserWLS_AZ.txt"},
       "open SiteInfo_AZ.txt",
       {kSiteDialog},
       "SiteInfo_AZ.txt FlowChar_AZ.txt LP3s_AZ.txt LP3K_AZ.txt LP3G_AZ.txt UserWLS_AZ.txt"},
      {"standard names, prefix",
       "prefix",
       false,
       kStandardNames,
       "open SiteInfo.txt",
       {kSiteDialog},
       "SiteInfo.txt FlowChar.txt LP3s.txt LP3K.txt LP3G.txt "},
      {"standard names, suffix",
       "suffix",
       true,
       {"SiteInfo.txt", "FlowChar.txt", "LP3s.txt", "LP3K.txt", "LP3G.txt", "UserWLS.txt"},
       "open SiteInfo.txt",
       {kSiteDialog},
       "SiteInfo.txt FlowChar.txt LP3s.txt LP3K.txt LP3G.txt UserWLS.txt"},
      {"a missing standard name is asked for",
       "prefix",
       false,
       {"SiteInfo.txt", "FlowChar.txt", "LP3s.txt", "MyK.txt", "LP3G.txt"},
       "open SiteInfo.txt\nopen MyK.txt",
       {kSiteDialog, kLP3KDialog},
       "SiteInfo.txt FlowChar.txt LP3s.txt MyK.txt LP3G.txt "},
      {"only the length counts: MySiteList.txt gives My",
       "prefix",
       false,
       {"MySiteList.txt", "MyFlowChar.txt", "MyLP3s.txt", "MyLP3K.txt", "MyLP3G.txt"},
       "open MySiteList.txt",
       {kSiteDialog},
       "MySiteList.txt MyFlowChar.txt MyLP3s.txt MyLP3K.txt MyLP3G.txt "},
      {"a short name asks for every file",
       "prefix",
       true,
       {"Sites.txt", "FlowChar.txt", "LP3s.txt", "LP3K.txt", "LP3G.txt", "W.txt"},
       "open Sites.txt\nopen FlowChar.txt\nopen LP3s.txt\nopen LP3K.txt\nopen LP3G.txt\n"
       "open W.txt",
       {kSiteDialog, kFlowDialog, kLP3sDialog, kLP3KDialog, kLP3GDialog, kMatrixDialog},
       "Sites.txt FlowChar.txt LP3s.txt LP3K.txt LP3G.txt W.txt"},
      {"no option asks for every file even when the standard ones exist",
       "none",
       false,
       kStandardNames,
       "open SiteInfo.txt\nopen FlowChar.txt\nopen LP3s.txt\nopen LP3K.txt\nopen LP3G.txt",
       {kSiteDialog, kFlowDialog, kLP3sDialog, kLP3KDialog, kLP3GDialog},
       "SiteInfo.txt FlowChar.txt LP3s.txt LP3K.txt LP3G.txt "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ShellHarness shell;
    shell.files(row.files);
    const std::string option = row.option;
    std::string setup = option == "suffix" ? "tick ckboxSameFileSuffix\n"
                        : option == "none" ? "untick ckboxSameFilePrefix\n"
                                           : "";
    if (row.matrix) setup += "tick cbUDWMatrix\n";
    ASSERT_TRUE(shell.run(setup + "click cmdInputFiles\n" + row.answers));

    std::vector<std::string> dialogs;
    for (const std::string& event : shell.events())
      if (event.starts_with("== ")) dialogs.push_back(event);
    EXPECT_EQ(dialogs, row.dialogs);
    EXPECT_EQ(shell.names(), row.names);
    EXPECT_EQ(shell.boxes(), row.names);
    EXPECT_TRUE(shell.state.InputFilesSpecified);
    EXPECT_EQ(shell.state.WorkingDirectory, shell.dir());
    EXPECT_EQ(shell.window.tbDirectory.text(), shell.dir());
    EXPECT_EQ(fs::current_path().string() + "/", shell.dir());
    EXPECT_EQ(shell.window.tbOutputSubdirectory.text(), "TARVEXOutput-2026-12-07Run001");
    EXPECT_EQ(shell.window.tbMyStatus.text(),
              "Status: Input files successfuly identified. Click the Step 2 button");
    EXPECT_EQ(shell.window.focus(), "cmdQAQCFiles");
    EXPECT_EQ(shell.state.ErrorCount + shell.state.WarningCount, 0);
  }
}

TEST(Step1, StatusTextsFontsAndTheDialogRequest) {
  ShellHarness shell;
  shell.files(kStandardNames);
  shell.files({"UserWLS.txt"});
  fs::create_directory(shell.dataDir.path() / "TARVEXOutput-2026-12-07Run001");
  shell.state.InputFilesChecked = true;
  ASSERT_TRUE(shell.run("tick cbUDWMatrix\nclick cmdInputFiles\nopen SiteInfo.txt"));
  EXPECT_EQ(
      shell.statusTexts,
      (std::vector<std::string>{
          "Get file names", "Get SiteInfo file name", "Get FlowChar file name",
          "Get LP3s file name", "Get LP3K file name", "Get LP3G file name", "Get UserWLS file name",
          "Status: Input files successfuly identified. Click the Step 2 button"}));
  EXPECT_FALSE(shell.state.InputFilesChecked);
  EXPECT_EQ(shell.window.tbOutputSubdirectory.text(), "TARVEXOutput-2026-12-07Run002");
  for (const Control* box : {&shell.window.tbDirectory, &shell.window.tbOutputSubdirectory,
                             &shell.window.tbSiteInfoFile, &shell.window.tbUDWLS})
    EXPECT_EQ(box->fontSize(), 8) << box->name();

  ASSERT_EQ(shell.desktop.requests.size(), 1u);
  const OpenFileRequest& request = shell.desktop.requests[0];
  EXPECT_EQ(request.title, "SiteInfo File Name:");
  EXPECT_EQ(request.filter, "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Data Files (*.dat)|*.dat");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_EQ(request.fileName, "SiteInfo.txt");
  EXPECT_EQ(request.initialDir, "");  // the two blanks are not a folder

  // A file name of 26 characters makes all six name boxes small.
  ShellHarness longName;
  longName.files({"ABCDEFGHIJKLMNSiteInfo.txt", "ABCDEFGHIJKLMNFlowChar.txt",
                  "ABCDEFGHIJKLMNLP3s.txt", "ABCDEFGHIJKLMNLP3K.txt", "ABCDEFGHIJKLMNLP3G.txt"});
  ASSERT_TRUE(longName.run("click cmdInputFiles\nopen ABCDEFGHIJKLMNSiteInfo.txt"));
  EXPECT_EQ(longName.window.tbFlowChar.fontSize(), 7);
  EXPECT_EQ(longName.window.tbUDWLS.fontSize(), 7);
}

TEST(Step1, InitialFolderOnlyWhenLongerThanOneCharacter) {
  struct Row {
    std::string initialDir;
    std::string expected;
  };
  for (const Row& row : std::vector<Row>{{"", ""}, {"  ", ""}, {" / ", ""}, {"/d", "/d"}}) {
    ShellHarness shell;
    shell.files({"a.txt"});
    shell.answer("open a.txt");
    const DialogChoice choice =
        CommonDialogOpen(shell.desktop, shell.window, "T", "s.txt", row.initialDir);
    EXPECT_FALSE(choice.error);
    EXPECT_EQ(choice.fileName, "a.txt");
    EXPECT_EQ(choice.folder, shell.dir());
    ASSERT_EQ(shell.desktop.requests.size(), 1u);
    EXPECT_EQ(shell.desktop.requests[0].initialDir, row.expected) << '"' << row.initialDir << '"';
  }
}

TEST(Step1, ShortNameWithTheSuffixOptionEndsThroughTheTrap) {
  ShellHarness shell;
  shell.files({"Sites.txt", "FlowChar.txt"});
  ASSERT_TRUE(shell.run("tick ckboxSameFileSuffix\nclick cmdInputFiles\nopen Sites.txt"));
  EXPECT_EQ(shell.events(),
            (std::vector<std::string>{kSiteDialog, "-> DATA/Sites.txt",
                                      "== msgbox 16 \"Error: cmdInputFiles_Click\"", "-> ok"}));
  EXPECT_NE(shell.transcript().find("\nError: 5\nType of Error: Invalid procedure call or "
                                    "argument\n"),
            std::string::npos);
  EXPECT_FALSE(shell.state.InputFilesSpecified);
  EXPECT_TRUE(shell.window.cmdInputFiles.enabled());
  EXPECT_EQ(shell.state.ErrorCount, 0);
  EXPECT_EQ(shell.window.tbFlowChar.text(), "");
}

TEST(Step1, MissingTypedFileAsksAgain) {
  ShellHarness shell;
  shell.files({"SiteInfo.txt", "FlowChar.txt", "LP3s.txt", "LP3K.txt", "LP3G.txt"});
  ASSERT_TRUE(shell.run(
      "untick ckboxSameFilePrefix\nclick cmdInputFiles\nopen Nope.txt\nopen SiteInfo.txt\n"
      "open FlowChr.txt\nopen FlowChar.txt\nopen LP3s.txt\nopen LP3K.txt\nopen LP3G.txt"));
  const std::string dir = shell.dir();
  const std::string transcript = shell.transcript();
  EXPECT_NE(
      transcript.find(kSiteDialog + "\n-> " + dir +
                      "Nope.txt\n== msgbox 48 \"Error!\"\nError: Station-List File: "
                      "\nNope.txt\nDoes Not Exist.\n-> ok\n" +
                      kSiteDialog + "\n-> " + dir + "SiteInfo.txt\n" + kFlowDialog + "\n-> " + dir +
                      "FlowChr.txt\n== msgbox 48 \"Error!\"\nError: Station-List File: "
                      "\nFlowChr.txt\nDoes Not Exist.\n-> ok\n" +
                      kFlowDialog + "\n"),
      std::string::npos)
      << transcript;
  EXPECT_EQ(shell.names(), "SiteInfo.txt FlowChar.txt LP3s.txt LP3K.txt LP3G.txt ");
  EXPECT_TRUE(shell.state.InputFilesSpecified);
  EXPECT_EQ(shell.state.ErrorCount, 0);
}

TEST(Step1, CancelOfTheSiteDialogIsHarmless) {
  ShellHarness shell;
  shell.files(kStandardNames);
  shell.state.InputFilesSpecified = true;
  shell.state.InputFilesChecked = true;
  ASSERT_TRUE(shell.run("click cmdInputFiles\ncancel"));
  EXPECT_EQ(shell.events(),
            (std::vector<std::string>{kSiteDialog, "-> cancel",
                                      "== msgbox 16 \"Error identifying site information file.\"",
                                      "-> ok"}));
  EXPECT_NE(shell.transcript().find("\nPlease specify a station information file.\n"),
            std::string::npos);
  EXPECT_FALSE(shell.state.InputFilesSpecified);
  EXPECT_FALSE(shell.state.InputFilesChecked);
  EXPECT_EQ(shell.state.ErrorCount, 0);
  EXPECT_TRUE(shell.window.cmdInputFiles.enabled());
  EXPECT_TRUE(shell.window.cmdQAQCFiles.enabled());

  // The step can simply be run again.
  ASSERT_TRUE(shell.run("click cmdInputFiles\nopen SiteInfo.txt"));
  EXPECT_TRUE(shell.state.InputFilesSpecified);
}

TEST(Step1, CancelOfALaterDialogDisablesTheSteps) {
  struct Row {
    std::string answers;
    std::string title;
    std::string text;
    const char* box;
  };
  const std::vector<Row> rows = {
      {"cancel", "Error identifying flow characteristics file.",
       "Please close the program and try to re-load the flow characteristics file.", "tbFlowChar"},
      {"open FlowChar.txt\ncancel",
       "Error identifying Log Pearson Type III standard deviation file.",
       "Please close the program and try to re-load the Log Pearson Type III standard deviation "
       "file.",
       "tbLP3s"},
      {"open FlowChar.txt\nopen LP3s.txt\ncancel",
       "Error identifying Log Pearson Type III K-value file.",
       "Please close the program and try to re-load the log Pearson type III K-value file.",
       "tbLP3K"},
      {"open FlowChar.txt\nopen LP3s.txt\nopen LP3K.txt\ncancel",
       "Error identifying the Log Pearson Type III skew file.",
       "Please close the program and try to re-load the Log Pearson Type III skew file.", "tbLP3G"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    ShellHarness shell;
    shell.files(kStandardNames);
    ASSERT_TRUE(shell.run("untick ckboxSameFilePrefix\nclick cmdInputFiles\nopen SiteInfo.txt\n" +
                          row.answers + "\nclick cmdInputFiles"));
    const std::string transcript = shell.transcript();
    EXPECT_TRUE(transcript.ends_with("-> cancel\n== msgbox 16 \"" + row.title + "\"\n" + row.text +
                                     "\n-> ok\n== disabled cmdInputFiles\n"))
        << transcript;
    EXPECT_EQ(shell.window.control(row.box).text(), "File specification error");
    EXPECT_EQ(shell.state.ErrorCount, 1);
    EXPECT_EQ(shell.window.tbMyErrors.text(), "Errors: 1");
    EXPECT_FALSE(shell.state.InputFilesSpecified);
    EXPECT_EQ(shell.window.focus(), "cmdExit");
    for (const Control* step : {&shell.window.cmdQAQCFiles, &shell.window.cmdRunTARVEX,
                                &shell.window.cmdOpenOutPutDirectory})
      EXPECT_FALSE(step->enabled()) << step->name();
  }
}

TEST(Step1, DialogFailureOtherThanCancel) {
  struct Row {
    int failingDialog;
    const char* box;
    std::string stepTitle;
  };
  const std::vector<Row> rows = {
      {1, "tbSiteInfoFile", "Error identifying site information file."},
      {2, "tbFlowChar", "Error identifying flow characteristics file."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failingDialog);
    ShellHarness shell;
    shell.files(kStandardNames);
    shell.desktop.failingDialog = row.failingDialog;
    ASSERT_TRUE(shell.run("untick ckboxSameFilePrefix\nclick cmdInputFiles\nopen SiteInfo.txt"));
    const std::string transcript = shell.transcript();
    EXPECT_NE(transcript.find("== msgbox 16 \" Sub CommonDialogOpen \"\nError: 76 Path not "
                              "found\n-> ok\n== msgbox 16 \"" +
                              row.stepTitle + "\"\n"),
              std::string::npos)
        << transcript;
    if (row.failingDialog == 1) {
      EXPECT_NE(transcript.find("\nPlease close the program and try to re-load the station "
                                "information file.\n"),
                std::string::npos);
    }
    // Counted by the dialog routine and by the step.
    EXPECT_EQ(shell.state.ErrorCount, 2);
    EXPECT_EQ(shell.window.tbMyErrors.text(), "Errors: 2");
    EXPECT_EQ(shell.window.control(row.box).text(), "File specification error");
    EXPECT_FALSE(shell.window.cmdInputFiles.enabled());
    EXPECT_EQ(shell.window.focus(), "cmdExit");
  }
}

TEST(Step1, MatrixDialogCancelled) {
  const std::string question =
      "== msgbox 4 \"Error identifying user-defined weighting matrix value file.\"\nThe "
      "user-defined weighting matrix value file was not identified.\nwe will proceed without it "
      "unless you close the program and try again.\nDo you want to proceed without this file?\n";
  {
    SCOPED_TRACE("answered yes");
    ShellHarness shell;
    shell.files(kStandardNames);
    ASSERT_TRUE(
        shell.run("tick cbUDWMatrix\nclick cmdInputFiles\nopen SiteInfo.txt\ncancel\nanswer yes"));
    EXPECT_TRUE(
        shell.transcript().ends_with(kMatrixDialog + "\n-> cancel\n" + question + "-> yes\n"))
        << shell.transcript();
    EXPECT_TRUE(shell.state.InputFilesSpecified);
    EXPECT_FALSE(shell.window.cbUDWMatrix.checked());
    EXPECT_FALSE(shell.window.tbUDWLS.enabled());
    EXPECT_EQ(shell.window.tbUDWLS.backColour(), BackColour::InactiveBorder);
    EXPECT_EQ(shell.window.tbUDWLS.text(), "");
    EXPECT_EQ(shell.state.UserWLSFileName, "");
    EXPECT_EQ(shell.state.WarningCount, 1);
    EXPECT_EQ(shell.state.ErrorCount, 0);
    EXPECT_EQ(shell.window.tbMyWarnings.text(), "Warnings: 1");
    EXPECT_EQ(shell.window.tbMyErrors.text(), "Errors: 0");
    EXPECT_EQ(shell.window.focus(), "cmdQAQCFiles");
  }
  {
    SCOPED_TRACE("answered no");
    ShellHarness shell;
    shell.files(kStandardNames);
    EXPECT_FALSE(shell.run("tick cbUDWMatrix\nclick cmdInputFiles\nopen SiteInfo.txt\ncancel"));
    EXPECT_TRUE(shell.transcript().ends_with(question + "-> no (default)\n== end\n"))
        << shell.transcript();
    EXPECT_FALSE(shell.state.InputFilesSpecified);
  }
}

TEST(Step1, LaterFileFromAnotherFolderKeepsOnlyItsName) {
  ShellHarness shell;
  TempDir other;
  other.write("Elsewhere.txt", "x\r\n");
  shell.files(kStandardNames);
  ASSERT_TRUE(shell.run(
      "untick ckboxSameFilePrefix\nclick cmdInputFiles\nopen SiteInfo.txt\n"
      "open " +
      other.path().string() + "/Elsewhere.txt\nopen LP3s.txt\nopen LP3K.txt\nopen LP3G.txt"));
  EXPECT_EQ(shell.state.FlowCharFileName, "Elsewhere.txt");
  EXPECT_EQ(shell.state.WorkingDirectory, shell.dir());
  EXPECT_EQ(fs::current_path().string() + "/", shell.dir());
  EXPECT_TRUE(shell.state.InputFilesSpecified);
}

TEST(Step1, RefusedOnceTheEngineHasRun) {
  ShellHarness shell;
  shell.state.TARVEXHasRun = true;
  shell.state.InputFilesSpecified = true;
  ASSERT_TRUE(shell.run("click cmdInputFiles\nopen SiteInfo.txt"));
  EXPECT_EQ(
      shell.transcript(),
      "== msgbox 64 \"Only Load Input Files Once:\"\nPlease Rerun TARVEX with the existing "
      "files or Exit to reload input files.\n-> ok\n== unused line 2 \"open SiteInfo.txt\"\n");
  EXPECT_EQ(shell.window.focus(), "cmdRunTARVEX");
  EXPECT_TRUE(shell.state.InputFilesSpecified);
}

TEST(Step1, ExampleSessionOnStandardNamedFiles) {
  TempDir data;
  for (const std::string& name : kStandardNames) data.write(name, "x\r\n");
  const std::string dir = fs::canonical(data.path()).string() + "/";
  const ProgramResult r =
      runProgram("cd " + shellQuote(data.path().string()) + " && " + shellProgram() + " --script " +
                 shellQuote(sourceDir() + "/examples/step1/session.txt") + " --shell-dir " +
                 shellQuote(buildBinDir()) + " --date 2026-12-07");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, kSiteDialog + "\n-> " + dir +
                       "SiteInfo.txt\n"
                       "== show tbSiteInfoFile\nSiteInfo.txt\n"
                       "== show tbFlowChar\nFlowChar.txt\n"
                       "== show tbDirectory\n" +
                       dir +
                       "\n"
                       "== show tbOutputSubdirectory\nTARVEXOutput-2026-12-07Run001\n"
                       "== show tbMyStatus\n"
                       "Status: Input files successfuly identified. Click the Step 2 button\n"
                       "== end\n");
}

}  // namespace
}  // namespace tarvex::testing

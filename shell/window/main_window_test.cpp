#include <gtest/gtest.h>

#include "shell_harness.h"
#include "window/about_form.h"
#include "window/help_texts.h"
#include "window/wait_form.h"

namespace tarvex::testing {
namespace {

using K = ControlKind;

struct ControlRow {
  const char* name;
  K kind;
  const char* text;
  const char* tooltip;
};

TEST(MainWindow, ControlsInCreationOrderWithCaptionsAndTooltips) {
  const std::vector<ControlRow> rows = {
      {"cmdOpenOutPutDirectory", K::Button, "Step 4: Open the Output Directory to See Results",
       "Open the output directory"},
      {"tbMyErrors", K::TextBox, "Errors:", "Current number of errors"},
      {"tbMyWarnings", K::TextBox, "Warnings: ", "Current number of warnings"},
      {"tbStationCount", K::TextBox, "", "Count of stations in site info file"},
      {"ListStations", K::ListBox, "", "Station list click on a station to open a file"},
      {"cmdRunTARVEX", K::Button, "Step 3: Load TARVEX Files and Run TARVEX", "Run TARVEX"},
      {"cmdAskRunTARVEX", K::Button, "?", "Information about running TARVEX"},
      {"tbMyStatus", K::TextBox, "Status:", "Current program status"},
      {"cmdAskInputFiles", K::Button, "?", "Information about specifying the files"},
      {"cmdAskQAQCFiles", K::Button, "?", "Information about checking the files"},
      {"cmdQAQCFiles", K::Button, "Step 2: Check Input Files",
       "Check input files for organization and content"},
      {"cmdAskFlowFiles", K::Button, "?", "Annual flow file selection information"},
      {"cbDOVLFiles", K::CheckBox, "Use annual flow files for GLS",
       "Are the annual flow files included for GLS?"},
      {"cmdAskUDWMatrix", K::Button, "?", "User-defined weighting matrix information"},
      {"cbUDMHeadings", K::CheckBox, "Station number headings in UserWLS",
       "The user-defined weighting matrix has station-number headings"},
      {"cbUDWMatrix", K::CheckBox, "User-defined weighting matrix",
       "Include user-defined weighting matrix file"},
      {"cmdAskPrefixSuffix", K::Button, "?", "Input file prefix/suffix information"},
      {"ckboxSameFileSuffix", K::CheckBox, "Standard input file name suffix",
       "Do the SiteInfo, FlowChar, LP3G, LP3K, and LP3s files have the same suffix?"},
      {"ckboxSameFilePrefix", K::CheckBox, "Standard input file name prefix",
       "Do the SiteInfo, FlowChar, LP3G, LP3K, and LP3s files have the same prefix?"},
      {"cmdInputFiles", K::Button, "Step 1: Specify Input Filenames", ""},
      {"CommonDialog1", K::FileDialog, "", ""},
      {"cmdAskDeleteTempFiles", K::Button, "?", "Process-file deletion information"},
      {"ckboxCleanUp", K::CheckBox, "Delete temporary process files?",
       "Delete process files from your project directory."},
      {"cmdExit", K::Button, "Exit", "Exit TARVEX v1 Shell"},
      {"cmdAbout", K::Button, "About", "About TARVEX Shell"},
      {"frameTab02", K::Frame, "", "File information frame"},
      {"cmdAskChangeOutputSubDir", K::Button, "?", ""},
      {"cmdChangeOutputSubDir", K::Button, "Change Output Subdirectory",
       "Change the name of the output subdirectory"},
      {"tbOutputSubdirectory", K::TextBox, "", "Name of output subdirectory"},
      {"tbUDWLS", K::TextBox, "", "Name of user-defined weighting matrix file"},
      {"tbLP3K", K::TextBox, "", "Name of log-Pearson Type III standard deviate file"},
      {"tbLP3s", K::TextBox, "", "Name of log-Pearson Type III station standard deviation file"},
      {"tbLP3G", K::TextBox, "", "Name of log-Pearson Type III station skew file"},
      {"tbFlowChar", K::TextBox, "", "Name of flow characteristics file name"},
      {"tbSiteInfoFile", K::TextBox, "", "Name of SiteInfo.txt file"},
      {"tbDirectory", K::TextBox, "Working directory",
       "Directory containing user-defined input files"},
  };
  ShellHarness shell;
  const auto& controls = shell.window.controls();
  ASSERT_GE(controls.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(controls[i]->name(), rows[i].name);
    EXPECT_EQ(controls[i]->kind(), rows[i].kind);
    EXPECT_EQ(controls[i]->text(), rows[i].text);
    EXPECT_EQ(controls[i]->tooltip(), rows[i].tooltip);
    const bool bold =
        controls[i]->name().starts_with("cmd") && (controls[i]->text().starts_with("Step ") ||
                                                   controls[i]->name() == "cmdChangeOutputSubDir");
    EXPECT_EQ(controls[i]->bold(), bold);
    if (rows[i].kind == K::Button || rows[i].kind == K::CheckBox) {
      EXPECT_TRUE(controls[i]->enabled());
    }
  }
  EXPECT_EQ(shell.window.caption(), "TARVEX v. 01 Shell");
  EXPECT_TRUE(shell.window.ckboxSameFilePrefix.checked());
  EXPECT_TRUE(shell.window.ckboxCleanUp.checked());
  EXPECT_FALSE(shell.window.ckboxSameFileSuffix.checked());
  EXPECT_FALSE(shell.window.cbUDWMatrix.checked());
  EXPECT_FALSE(shell.window.cbUDMHeadings.checked());
  EXPECT_FALSE(shell.window.cbDOVLFiles.checked());
  EXPECT_FALSE(shell.window.tbUDWLS.enabled());
  EXPECT_EQ(shell.window.tbUDWLS.backColour(), BackColour::InactiveBorder);
  EXPECT_EQ(shell.window.control("Label3").text(), "TARVEX Shell Program Version 1.0 March 2011");
  EXPECT_EQ(shell.window.control("lblStations").text(),
            "Note: To see the flow file click on a station");
}

struct HelpRow {
  const char* button;
  bool hasRun;
  const char* title;
  const char* text;
};

TEST(MainWindow, HelpTextsToTheCharacter) {
  const std::vector<HelpRow> rows = {
      {"cmdAskPrefixSuffix", false, "Same file-name prefix or suffix options:",
       "The same file-name prefix or suffix options allow the user to specify a SiteInfo file\r\n"
       "and use that prefix or suffix to define the names of the other root input files (LP3s, "
       "LP3G, LP3K, and FlowChar).\r\nIf one of these options are checked and you are using the "
       "standard file names it will load the file names automatically."},
      {"cmdAskFlowFiles", false, "DOVL########.txt file option:",
       "The DOVL########.txt file option allows the user to indicate if these files will be "
       "used\r\nand the compilation streamflow file will be constructed.\r\nIf this option is "
       "checked TARVEX shell will load and check these files automatically.\r\nThe files that "
       "will be read will be specified by the contents of the SiteInfo.txt file."},
      {"cmdAskInputFiles", false, "Step 1: Specify input filename button:",
       "The Step 1: Specify Input Filenames button allows the user to specify the input "
       "filenames.\r\nIf the standard prefix or suffix option is specified you will need to "
       "select the site info file.\r\nOtherwise, you will need to select all the input files."},
      {"cmdAskChangeOutputSubDir", false, "Change Output Subdirectory Option:",
       "The Change Output Subdirectory button allows the user to rename the output subdirectory. "
       "\r\nA unique name must be used or the input name will revert to the default value."},
      {"cmdAskQAQCFiles", false, "Check Input Files.",
       "The 'Step 2: Check Input Files' command button is used to do basic "
       "quality-assurance-quality control checks on the input files.The SiteInfo file is used to "
       "ensure that each input file has the same station list in the same order so that input "
       "variables from all files will be properly assigned.The program checks for standard "
       "headings, the number of values on each line, nonnumeric characters  and other problems. "
       "The program checks the flow files for missing years, duplicate years, nonnumeric values "
       "illogical values (for example -9999), and other problems."},
      {"cmdAskRunTARVEX", false, "Run TARVEX",
       "The 'Load TARVEX files in a user-defined directory and run TARVEX' command button runs "
       "the program with the user-specified input files."},
      {"cmdAskRunTARVEX", true, "Rerun TARVEX",
       "The 'Rerun TARVEX with the same input files' command button \r\nis used to rerun TARVEX "
       "with the same input files.\r\nThis option facilitates analysis with different "
       "combinations of variables.\r\nNew results are appended to the end of the output files."},
      {"cmdAskDeleteTempFiles", false, "Delete temporary process files option",
       "The TARVEX shell program creates temporary files in the input directory to run and load "
       "TARVEX. The Delete temporary process files option indicates whether you want to delete "
       "or retain these files. The default is to delete the files."},
      {"cmdAskUDWMatrix", false, "User-Defined Weighting Matrix Options:",
       "The user-defined weighting matrix options allow the user to specify UserWLS file and to "
       "define whether this file has station numbers in the first line and first column or not. "
       "If this option is checked you must have a properly formated UserWLS file or the shell "
       "won't let you run TARVEX."},
  };
  for (const HelpRow& row : rows) {
    SCOPED_TRACE(std::string(row.button) + (row.hasRun ? " after a run" : ""));
    ShellHarness shell;
    shell.state.TARVEXHasRun = row.hasRun;
    shell.run(std::string("click ") + row.button);
    EXPECT_EQ(shell.transcript(), msgBoxBlock(64, row.title, row.text));
  }
}

TEST(MainWindow, PrefixAndSuffixOptionsExcludeEachOther) {
  struct Row {
    const char* clicks;
    bool prefix, suffix;
  };
  const std::vector<Row> rows = {
      {"click ckboxSameFileSuffix", false, true},
      {"click ckboxSameFilePrefix", false, false},
      {"click ckboxSameFileSuffix\nclick ckboxSameFilePrefix", true, false},
      {"click ckboxSameFileSuffix\nclick ckboxSameFileSuffix", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.clicks);
    ShellHarness shell;
    shell.run(row.clicks);
    EXPECT_EQ(shell.window.ckboxSameFilePrefix.checked(), row.prefix);
    EXPECT_EQ(shell.window.ckboxSameFileSuffix.checked(), row.suffix);
    EXPECT_EQ(shell.transcript(), "");
  }
}

TEST(MainWindow, TickingTheMatrixOptionRequiresStepOneAgain) {
  ShellHarness shell;
  shell.state.InputFilesSpecified = shell.state.InputFilesChecked = true;
  shell.state.UserWLSFileName = "  ";
  shell.run("tick cbUDWMatrix");
  EXPECT_EQ(
      shell.transcript(),
      msgBoxBlock(64, "Note:", "Please specify file names to define the User-Defined Matrix file"));
  EXPECT_FALSE(shell.state.InputFilesSpecified);
  EXPECT_TRUE(shell.window.tbUDWLS.enabled());
  EXPECT_EQ(shell.window.tbUDWLS.backColour(), BackColour::Window);
  EXPECT_EQ(shell.window.focus(), "cmdInputFiles");
  shell.clearTranscript();
  // Steps 2 and 3 now refuse until Step 1 runs again.
  shell.run("click cmdQAQCFiles\nclick cmdRunTARVEX");
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(16, "Please Specify Input Filenames:",
                        "Please specify input file names before trying to check input files ") +
                msgBoxBlock(16, "Please Specify Input Filenames:",
                            "Please specify input file names before trying to run TARVEX"));
}

TEST(MainWindow, MatrixBoxFollowsTheOption) {
  ShellHarness shell;
  shell.state.UserWLSFileName = "MyWLS.txt";
  shell.run("tick cbUDWMatrix");
  EXPECT_EQ(shell.transcript(), "");  // no note before Step 1
  EXPECT_EQ(shell.window.tbUDWLS.text(), "MyWLS.txt");
  shell.run("untick cbUDWMatrix");
  EXPECT_EQ(shell.window.tbUDWLS.text(), "");
  EXPECT_FALSE(shell.window.tbUDWLS.enabled());
  EXPECT_EQ(shell.window.tbUDWLS.backColour(), BackColour::InactiveBorder);
}

TEST(MainWindow, HeadingsAndCleanUpOptions) {
  struct Row {
    bool specified;
    const char* clicks;
    std::string transcript;
    bool headings;
  };
  const std::vector<Row> rows = {
      {false, "tick cbUDMHeadings", "", true},
      {true, "tick cbUDMHeadings",
       msgBoxBlock(64, "User Defined Matrix",
                   "Please make sure you have identified a file with headings."),
       true},
      {true, "tick cbUDMHeadings\nuntick cbUDMHeadings",
       msgBoxBlock(64, "User Defined Matrix",
                   "Please make sure you have identified a file with headings.") +
           msgBoxBlock(64, "User Defined Matrix",
                       "Please make sure you have identified a file without headings."),
       false},
      {false, "untick ckboxCleanUp", "", false},
      {false, "untick ckboxCleanUp\ntick ckboxCleanUp",
       msgBoxBlock(64, "Delete TARVEX?",
                   "Note: Using this option will delete the TARVEX program files from your data "
                   "directory when you close the shell"),
       false},
      {false, "click cbDOVLFiles", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.clicks);
    ShellHarness shell;
    shell.state.InputFilesSpecified = row.specified;
    shell.run(row.clicks);
    EXPECT_EQ(shell.transcript(), row.transcript);
    EXPECT_EQ(shell.state.UserMatrixHasHeadings, row.headings);
  }
}

TEST(MainWindow, StepGating) {
  struct Row {
    const char* what;
    bool specified, checked, hasRun;
    const char* click;
    std::string transcript;
    const char* focus;
  };
  const std::string onlyOnce =
      "Please Rerun TARVEX with the existing files or Exit to reload input files.";
  const std::vector<Row> rows = {
      {"check after a run", true, true, true, "cmdQAQCFiles",
       msgBoxBlock(64, "Only Check Input Files Once:", onlyOnce), "cmdRunTARVEX"},
      {"check before Step 1", false, false, false, "cmdQAQCFiles",
       msgBoxBlock(16, "Please Specify Input Filenames:",
                   "Please specify input file names before trying to check input files "),
       "cmdInputFiles"},
      {"run before Step 1", false, false, false, "cmdRunTARVEX",
       msgBoxBlock(16, "Please Specify Input Filenames:",
                   "Please specify input file names before trying to run TARVEX"),
       "cmdInputFiles"},
      {"run before Step 2", true, false, false, "cmdRunTARVEX",
       msgBoxBlock(
           16, "Please Check Input Files:", "Please check input files before trying to run TARVEX"),
       "cmdQAQCFiles"},
      {"Step 4 before Step 1", false, false, false, "cmdOpenOutPutDirectory",
       msgBoxBlock(64, "Please specify input files:",
                   "You need to specify input files before opening an oputput directory"),
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ShellHarness shell;
    shell.state.InputFilesSpecified = row.specified;
    shell.state.InputFilesChecked = row.checked;
    shell.state.TARVEXHasRun = row.hasRun;
    shell.run(std::string("click ") + row.click);
    EXPECT_EQ(shell.transcript(), row.transcript);
    EXPECT_EQ(shell.window.focus(), row.focus);
  }
}

TEST(MainWindow, StepFourOpensTheOutputOrAsksForTheInputFolder) {
  const std::string question =
      "The output directory has not been created. Do you want to see the input directory?";
  {
    ShellHarness shell;
    shell.state.InputFilesSpecified = true;
    shell.run("click cmdOpenOutPutDirectory\nanswer no");
    EXPECT_EQ(shell.transcript(), msgBoxBlock(4, "TARVEX has not Run:", question, "no"));
  }
  {
    ShellHarness shell;
    shell.installEngine();
    shell.start();
    shell.state.InputFilesSpecified = true;
    shell.clearTranscript();
    shell.run("click cmdOpenOutPutDirectory\nanswer yes");
    EXPECT_EQ(shell.transcript(), msgBoxBlock(4, "TARVEX has not Run:", question, "yes") +
                                      "== explore \"" + shell.dataDir.dir() + "\"\n");
  }
  {
    ShellHarness shell;
    shell.installEngine();
    shell.start();
    shell.state.InputFilesSpecified = shell.state.TARVEXHasRun = true;
    shell.window.tbOutputSubdirectory.setText(" TARVEXOutput-2026-12-07Run001 ");
    shell.clearTranscript();
    shell.run("click cmdOpenOutPutDirectory");
    EXPECT_EQ(shell.transcript(),
              "== explore \"" + shell.dataDir.dir() + "TARVEXOutput-2026-12-07Run001\"\n");
  }
}

// Without a folder opener on the desktop, the box names the folder to open by other means
// and what is missing.
TEST(MainWindow, StepFourWithoutAFolderOpenerNamesTheFolder) {
  ShellHarness shell;
  shell.installEngine();
  shell.start();
  shell.state.InputFilesSpecified = shell.state.TARVEXHasRun = true;
  shell.window.tbOutputSubdirectory.setText("TARVEXOutput-2026-12-07Run001");
  shell.desktop.folderFailure =
      RunTimeError(err::kFileNotFound, "File not found: xdg-open is not installed");
  shell.clearTranscript();
  shell.run("click cmdOpenOutPutDirectory");
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(16, "Open Output File Directory",
                        "This method is not supported on your system configuration. \r\nError: 53 "
                        "File not found: xdg-open is not installed\r\nThe folder: " +
                            shell.dataDir.dir() + "TARVEXOutput-2026-12-07Run001"));
}

TEST(MainWindow, DisableMyFormLeavesExitAboutHelpAndOptions) {
  ShellHarness shell;
  shell.window.DisableMyForm();
  for (const auto& control : shell.window.controls()) {
    const bool step = control->name() == "cmdInputFiles" || control->name() == "cmdQAQCFiles" ||
                      control->name() == "cmdRunTARVEX" ||
                      control->name() == "cmdOpenOutPutDirectory" ||
                      control->name() == "cmdChangeOutputSubDir";
    if (control->kind() == K::Button || control->kind() == K::CheckBox) {
      EXPECT_EQ(control->enabled(), !step) << control->name();
    }
  }
  EXPECT_EQ(shell.window.focus(), "cmdExit");
}

TEST(MainWindow, FontFittingBoundaries) {
  struct Row {
    FontFit request;
    std::size_t length;
    int points;
  };
  using enum FontFit;
  const std::vector<Row> rows = {{Directory, 100, 8},         {Directory, 101, 7},
                                 {OutputSubdirectory, 50, 8}, {OutputSubdirectory, 51, 7},
                                 {FileNames, 25, 8},          {FileNames, 26, 7}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.request)) + " at " +
                 std::to_string(row.length));
    ShellHarness shell;
    const std::string text(row.length, 'a');
    shell.state.WorkingDirectory = text;
    shell.window.tbOutputSubdirectory.setText(text);
    shell.state.LP3KFileName = text;  // one long file name shrinks all six boxes
    shell.window.fitFont(row.request);
    const Control& box = row.request == Directory            ? shell.window.tbDirectory
                         : row.request == OutputSubdirectory ? shell.window.tbOutputSubdirectory
                                                             : shell.window.tbSiteInfoFile;
    EXPECT_EQ(box.fontSize(), row.points);
    if (row.request == FileNames) {
      EXPECT_EQ(shell.window.tbUDWLS.fontSize(), row.points);
    }
  }
}

TEST(MainWindow, ExitCleansUpOnlyWhenAllConditionsHold) {
  enum Data { Own, Shell, ShellWithDot, ShellThroughLink };
  struct Row {
    const char* what;
    bool specified, checked, cleanUp;
    Data data;
    bool removed;
  };
  const std::vector<Row> rows = {
      {"after Steps 1 and 2 with clean-up", true, true, true, Own, true},
      {"clean-up cleared", true, true, false, Own, false},
      {"Step 2 not done", true, false, true, Own, false},
      {"data folder is the shell folder", true, true, true, Shell, false},
      {"the shell folder spelled with a dot", true, true, true, ShellWithDot, false},
      {"the shell folder through a link", true, true, true, ShellThroughLink, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ShellHarness shell;
    shell.installEngine();
    ASSERT_TRUE(shell.start());
    const std::string link = shell.dataDir.dir() + "shell-link";
    std::filesystem::create_directory_symlink(shell.shellDir.path(), link);
    if (row.data == Shell) shell.state.WorkingDirectory = shell.state.ShellDirectory;
    if (row.data == ShellWithDot) shell.state.WorkingDirectory = shell.state.ShellDirectory + "./";
    if (row.data == ShellThroughLink) shell.state.WorkingDirectory = link + "/";
    const std::string folder = shell.state.WorkingDirectory;
    // As Step 3 of this session left them: copies of the shell's engine files.
    if (row.data == Own) {
      std::filesystem::copy_file(shell.shellDir.path() / "TARVEXv1",
                                 shell.dataDir.path() / "TARVEXv1");
      std::filesystem::copy_file(shell.shellDir.path() / "TARVEXv1.ctf",
                                 shell.dataDir.path() / "TARVEXv1.ctf");
    }
    shell.state.EngineFilesCopied = {"TARVEXv1", "TARVEXv1.ctf"};
    shell.dataDir.write("SiteInfo.txt", "user data");
    shell.state.InputFilesSpecified = row.specified;
    shell.state.InputFilesChecked = row.checked;
    shell.window.ckboxCleanUp.setChecked(row.cleanUp);
    EXPECT_FALSE(shell.run("click cmdExit"));
    EXPECT_EQ(std::filesystem::exists(folder + "TARVEXv1"), !row.removed);
    EXPECT_EQ(std::filesystem::exists(folder + "TARVEXv1.ctf"), !row.removed);
    EXPECT_TRUE(std::filesystem::exists(shell.dataDir.path() / "SiteInfo.txt"));
    EXPECT_EQ(shell.window.tbMyStatus.text(), "Status: Exit Program.");
  }
}

TEST(MainWindow, AboutIsModelessAndWaitAsksBeforeClosing) {
  ShellHarness shell;
  shell.run("click cmdAbout");
  EXPECT_EQ(shell.transcript(), "== form frmAbout\n");
  EXPECT_EQ(shell.window.frmAbout().caption(), "About TARVEX Shell");
  shell.clearTranscript();

  WaitForm& wait = shell.window.frmWait();
  EXPECT_EQ(wait.caption(), "RunningTARVEX");
  const std::string ask =
      "Please do not close this form until you are done using TARVEX.\r\nAre you finished with "
      "TARVEX?";
  shell.answer("answer no");
  shell.desktop.showModal(wait, &shell.window);
  // Declined, so the scripted user leaves the form open and the driver closes it.
  EXPECT_EQ(shell.transcript(), "== form frmWait\n" +
                                    msgBoxBlock(4, "Are You Done with TARVEX?", ask, "no") +
                                    "== close frmWait\n");
  shell.clearTranscript();
  shell.answer("answer yes");
  shell.desktop.showModal(wait, &shell.window);
  EXPECT_EQ(shell.transcript(), "== form frmWait\n" +
                                    msgBoxBlock(4, "Are You Done with TARVEX?", ask, "yes") +
                                    "== close frmWait\n");
}

// Long work tells in the status line which file and how far, and the line is as it was when
// the work is over; short work shows nothing.
TEST(MainWindow, ProgressShowsInTheStatusLineWhileTheWorkGoesOn) {
  ShellHarness shell;
  shell.window.setProgressPace(ProgressPace({}, {}));
  shell.window.setStatus("Check User-defined matrix file");
  shell.window.showProgress("M.txt", 42, 100);
  EXPECT_EQ(shell.window.tbMyStatus.text(), "Check User-defined matrix file - M.txt: 42%");
  shell.window.showProgress("M.txt", 100, 100);
  EXPECT_EQ(shell.window.tbMyStatus.text(), "Check User-defined matrix file - M.txt: 100%");
  shell.window.endProgress();
  EXPECT_EQ(shell.window.tbMyStatus.text(), "Check User-defined matrix file");

  ShellHarness quick;
  quick.window.setStatus("Check user-defined annual time-series files");
  quick.window.showProgress("the annual flow files", 1, 2);
  EXPECT_EQ(quick.window.tbMyStatus.text(), "Check user-defined annual time-series files");
  quick.window.endProgress();
  EXPECT_EQ(quick.window.tbMyStatus.text(), "Check user-defined annual time-series files");
}

}  // namespace
}  // namespace tarvex::testing

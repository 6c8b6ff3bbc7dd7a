// Step 2 as a user runs it from the main window: the order of the checks, the questions
// between them, the repair loop and the final decision.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "checks/fix_station_ids_form.h"
#include "platform/folder_lock.h"
#include "sample_data.h"
#include "shell_harness.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBackupQuestion =
    "Warning: The QA/QC process can over-write your input files.\r\nYou may want to make "
    "back-up copies before proceeding.\r\nDo you want to pause and make backup copies?";
constexpr const char* kComplete = "Status: File checks complete. Please click the Step 3 button";
constexpr const char* kErrorsFound =
    "Status: Errors were found in the input data set. Please check your files.";

// A shell whose data folder holds a clean sample data set; Step 1 is run by `specify`.
struct Step2 : ShellHarness {
  explicit Step2(const SampleData& shape = {}) {
    writeSampleData(dataDir.path(), shape);
    stations = sampleStations(shape.stations);
  }
  // Step 1 with the options, then Step 2 with the answers given.
  void checks(const std::string& options, const std::string& answers) {
    ASSERT_TRUE(run(options + "click cmdInputFiles\nopen SiteInfo.txt\n"));
    clearTranscript();
    statusTexts.clear();
    ASSERT_TRUE(run("click cmdQAQCFiles\n" + answers));
  }
  bool saw(const std::string& text) const { return transcript().find(text) != std::string::npos; }
  std::vector<std::string> stations;
};

const std::string kAllOptions = "tick cbUDWMatrix\ntick cbUDMHeadings\ntick cbDOVLFiles\n";

TEST(Step2, CleanFolderCompletesWithEveryCheck) {
  // A matrix without headings: its engine copy, USERWLS.txt, is the same file in another
  // letter case, with the same bytes.
  Step2 shell({.matrixHeadings = false});
  const std::string matrix = shell.dataDir.read("UserWLS.txt");
  shell.checks("tick cbUDWMatrix\ntick cbDOVLFiles\n", "answer no\n");
  EXPECT_EQ(shell.transcript(), msgBoxBlock(4, "Pause for Backup Copies?", kBackupQuestion, "no"));
  EXPECT_EQ(shell.statusTexts,
            (std::vector<std::string>{"Load SiteInfo", "Check FlowChar", "Check LP3G", "Check LP3K",
                                      "Check LP3s", "Check User-defined matrix file",
                                      "Check user-defined annual time-series files", kComplete}));
  EXPECT_TRUE(shell.state.InputFilesChecked);
  EXPECT_TRUE(shell.state.UseUserMatrix);
  EXPECT_TRUE(shell.state.FlowFilesChecked);
  EXPECT_EQ(shell.state.ErrorCount + shell.state.WarningCount, 0);
  EXPECT_EQ(shell.window.focus(), "cmdRunTARVEX");
  EXPECT_EQ(shell.window.tbStationCount.text(), "5");
  EXPECT_EQ(shell.window.ListStations.items(), shell.stations);
  EXPECT_EQ(shell.window.tbSiteInfoFile.text(), "SiteInfo.txt");
  // The matrix has no headings: its copy for the engine is the file itself, left as it is.
  EXPECT_EQ(shell.dataDir.read("UserWLS.txt"), matrix);
  EXPECT_TRUE(fs::exists(shell.dataDir.path() / "DOVLAnnualTimeSeries.txt"));
}

TEST(Step2, WithoutMatrixOrFlowFilesItEndsAfterLP3s) {
  Step2 shell;
  shell.checks("", "answer no\n");
  EXPECT_EQ(shell.statusTexts,
            (std::vector<std::string>{"Load SiteInfo", "Check FlowChar", "Check LP3G", "Check LP3K",
                                      "Check LP3s", kComplete}));
  EXPECT_FALSE(fs::exists(shell.dataDir.path() / "USERWLS.txt"));
  EXPECT_FALSE(shell.state.FlowFilesChecked);
}

TEST(Step2, PausingForBackupReadsNothing) {
  Step2 shell;
  shell.dataDir.write("SiteInfo.txt", "not a table");
  shell.checks("", "answer yes\n");
  EXPECT_EQ(shell.transcript(), msgBoxBlock(4, "Pause for Backup Copies?", kBackupQuestion, "yes"));
  EXPECT_TRUE(shell.statusTexts.empty());
  EXPECT_FALSE(shell.state.InputFilesChecked);
  EXPECT_TRUE(shell.state.Findings.empty());
}

TEST(Step2, SiteInformationErrorsDisableTheSteps) {
  Step2 shell;
  const std::string site = shell.dataDir.read("SiteInfo.txt");
  shell.dataDir.write("SiteInfo.txt", site + "\t30\t-92\t20\t2\t0\t-0.1\t1\t100\r\n");
  shell.checks("", "answer no\n");
  EXPECT_TRUE(shell.saw(msgBoxBlock(16, "Error:",
                                    "Please fix errors in \r\nSiteInfo.txt\r\nthen re-run the "
                                    "shell program. ")));
  EXPECT_EQ(shell.statusTexts, std::vector<std::string>{"Load SiteInfo"});
  EXPECT_FALSE(shell.window.cmdQAQCFiles.enabled());
  EXPECT_FALSE(shell.window.cmdRunTARVEX.enabled());
  EXPECT_EQ(shell.window.focus(), "cmdExit");
  EXPECT_FALSE(shell.state.InputFilesChecked);
  EXPECT_EQ(shell.state.ErrorCount, 2);  // the missing number, and the stop
}

TEST(Step2, ErrorsInAStationFileAskWhetherToGoOn) {
  const std::string question =
      "Error: There were problems with the FlowChar file: FlowChar.txt\r\nTARVEX will not "
      "operate until all the input files are complete and correct.\r\nDo you want to continue "
      "checking the other input files?";
  struct Row {
    const char* answer;
    bool checked;
    std::string lastStatus;
  };
  for (const Row& row :
       std::vector<Row>{{"no", false, "Check FlowChar"}, {"yes", true, kErrorsFound}}) {
    SCOPED_TRACE(row.answer);
    Step2 shell;
    const std::string flow = shell.dataDir.read("FlowChar.txt");
    shell.dataDir.write("FlowChar.txt", flow + "09999999\t1\t2\t3\r\n");
    // The question comes after the file's own report in the viewer.
    shell.checks("", "answer no\nanswer " + std::string(row.answer) + "\n");
    EXPECT_TRUE(shell.saw(msgBoxBlock(4, "FlowChar Error:", question, row.answer)));
    EXPECT_EQ(shell.state.InputFilesChecked, row.checked);
    EXPECT_EQ(shell.statusTexts.back(), row.lastStatus);
    if (row.checked) {
      EXPECT_TRUE(shell.saw(msgBoxBlock(
          16, "Input File Errors:",
          "TARVEX probably will not operate correctly until all the input files are complete "
          "and correct.\r\nPlease fix the errors and rerun the shell program.")));
      EXPECT_EQ(shell.window.focus(), "cmdRunTARVEX");
    }
  }
}

// After errors in the last station file, the question names the check that follows: the
// matrix when one is checked, else the annual flow files.
TEST(Step2, TheQuestionAfterLP3sNamesTheCheckThatFollows) {
  struct Row {
    std::string options;
    const char* question;
  };
  const std::vector<Row> rows = {
      {"", "Do you want to checking for the existence of all the annual-time-series files?"},
      {kAllOptions, "Do you want to continue checking the other input files?"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.question);
    Step2 shell;
    shell.dataDir.write("LP3s.txt", shell.dataDir.read("LP3s.txt") + "09999999\t1\t2\t3\r\n");
    shell.checks(row.options, "answer no\nanswer no\n");
    EXPECT_TRUE(shell.saw(msgBoxBlock(4, "LP3s Error:",
                                      "Error: There were problems with the LP3s file: "
                                      "LP3s.txt\r\nTARVEX will not operate until all the input "
                                      "files are complete and correct.\r\n" +
                                          std::string(row.question),
                                      "no")))
        << shell.transcript();
  }
}

TEST(Step2, SevenDigitNumbersAreRepairedAndTheFileReadAgain) {
  Step2 shell;
  // A spreadsheet dropped the leading zeros of the site information file.
  const std::string clean = shell.dataDir.read("SiteInfo.txt");
  std::string site = clean;
  for (const auto& station : shell.stations) {
    const auto at = site.find(station);
    site.replace(at, station.size(), station.substr(1));
  }
  shell.dataDir.write("SiteInfo.txt", site);
  shell.checks("", "answer no\nfrmFixStationIDs: click cmdAddLeadingZero\nanswer yes\n");
  EXPECT_TRUE(shell.saw("== form frmFixStationIDs\n"));
  EXPECT_TRUE(shell.saw(msgBoxBlock(4, "Fix station numbers?",
                                    "Site numbers were corrected do you want to update the "
                                    "SiteInfo File?\r\n5 lines of SiteInfo.txt would change.",
                                    "yes")));
  EXPECT_EQ(shell.dataDir.read("SiteInfo.txt"), clean);
  EXPECT_EQ(shell.dataDir.read("SiteInfo.txt-BadFile-12-7-2026.txt"), site);
  EXPECT_EQ(std::count(shell.statusTexts.begin(), shell.statusTexts.end(), "Load SiteInfo"), 2);
  EXPECT_EQ(shell.statusTexts.back(), kComplete);
  EXPECT_EQ(shell.window.ListStations.items(), shell.stations);
  // The seven-digit box, the repair, the rewrite.
  EXPECT_EQ(shell.state.WarningCount, 3);
  EXPECT_EQ(shell.state.ErrorCount, 0);
}

// A station given to two lines stops Step 2 at that file, and no file is rewritten.
TEST(Step2, ARepeatedStationRewritesNothing) {
  struct Row {
    const char* name;
    std::vector<std::string> tables;
    std::string answers;
    std::string seen;
  };
  const std::vector<Row> rows = {
      {"in every table",
       {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt", "LP3K.txt", "LP3s.txt"},
       "answer no\n",
       msgBoxBlock(16, "Error:",
                   "Please fix errors in \r\nSiteInfo.txt\r\nthen re-run the shell program. ")},
      {"in the skew file",
       {"LP3G.txt"},
       "answer no\nanswer yes\nanswer yes\n",
       "== msgbox 48 \"Lines out of order\"\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Step2 shell;
    for (const std::string& table : row.tables) {
      std::string text = shell.dataDir.read(table);
      text.replace(text.find(shell.stations[3]), 8, shell.stations[0]);
      shell.dataDir.write(table, text);
    }
    const auto before = folderContents(shell.dataDir);
    shell.checks("", row.answers);
    EXPECT_TRUE(shell.saw(row.seen)) << shell.transcript();
    EXPECT_TRUE(shell.saw("Error: Station " + shell.stations[0] +
                          " is on line 2 and on line 5 of " + row.tables.front()));
    auto after = folderContents(shell.dataDir);
    after.erase("DOVLAnnualTimeSeries.txt");
    EXPECT_EQ(after, before);
  }
}

// The repair reads a station number as the check does, trimmed: its line is kept.
TEST(Step2, AStationNumberWithBlanksIsRepairedInItsLine) {
  Step2 shell;
  const std::string clean = shell.dataDir.read("SiteInfo.txt");
  std::string site = clean;
  site.replace(site.find(shell.stations[0]), 8, "A" + shell.stations[0].substr(1) + " ");
  shell.dataDir.write("SiteInfo.txt", site);
  shell.checks("",
               "answer no\nfrmFixStationIDs: click cmdStripLeadingCharacters\n"
               "frmFixStationIDs: click cmdAddLeadingZero\nanswer yes\n");
  EXPECT_EQ(shell.dataDir.read("SiteInfo.txt"), clean);
  EXPECT_EQ(shell.statusTexts.back(), kComplete);
}

// Another check or run holding the data folder: Step 2 says so and reads nothing.
TEST(Step2, AFolderInUseIsLeftAlone) {
  Step2 shell;
  ASSERT_TRUE(shell.run("click cmdInputFiles\nopen SiteInfo.txt\n"));
  shell.clearTranscript();
  shell.statusTexts.clear();
  const FolderLock other(shell.dataDir.path());
  ASSERT_TRUE(shell.run("click cmdQAQCFiles\nanswer no\n"));
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(48, "Data Folder in Use:",
                        "Another check, repair or TARVEX run is using the data folder:\r\n" +
                            shell.state.WorkingDirectory +
                            "\r\nPlease wait until it has finished, then click the step again.") +
                "== unused line 2 \"answer no\"\n");
  EXPECT_EQ(shell.statusTexts, std::vector<std::string>{});
  EXPECT_TRUE(shell.state.InputFilesSpecified);
}

// A failure outside the checks of the single files (here the first box cannot be shown)
// leaves the input unverified: Steps 2 and 3 refuse until Step 1 has run again.
TEST(Step2, AFailureOutsideTheFileChecksSendsTheUserBackToStepOne) {
  Step2 shell;
  ASSERT_TRUE(shell.run("click cmdInputFiles\nopen SiteInfo.txt\n"));
  shell.clearTranscript();
  shell.desktop.failingBox = shell.desktop.boxes + 1;
  ASSERT_TRUE(shell.run("click cmdQAQCFiles\n"));
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(16, "Error: cmdQAQCFiles:",
                        "Error: 5\r\nType of Error: Invalid procedure call or argument"));
  EXPECT_FALSE(shell.state.InputFilesSpecified);
  EXPECT_FALSE(shell.state.InputFilesChecked);

  shell.clearTranscript();
  shell.statusTexts.clear();
  ASSERT_TRUE(shell.run("click cmdQAQCFiles\nclick cmdRunTARVEX\n"));
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(16, "Please Specify Input Filenames:",
                        "Please specify input file names before trying to check input files ") +
                msgBoxBlock(16, "Please Specify Input Filenames:",
                            "Please specify input file names before trying to run TARVEX"));
  EXPECT_TRUE(shell.statusTexts.empty());
}

TEST(Step2, ErrorsOfAnEarlierRunStillCount) {
  Step2 shell;
  const std::string flow = shell.dataDir.read("FlowChar.txt");
  shell.dataDir.write("FlowChar.txt", flow + "09999999\t1\t2\t3\r\n");
  shell.checks("", "answer no\nanswer yes\n");
  shell.dataDir.write("FlowChar.txt", flow);
  shell.statusTexts.clear();
  ASSERT_TRUE(shell.run("click cmdQAQCFiles\nanswer no\n"));
  EXPECT_EQ(shell.statusTexts.back(), kErrorsFound);
  // The station list shows each station once after two runs.
  EXPECT_EQ(shell.window.ListStations.items(), shell.stations);
}

TEST(StationList, ClicksShowTheFlowFileOrSayWhyNot) {
  Step2 shell;
  shell.dataDir.write("DOVL08010100.txt", "");
  shell.checks("tick cbDOVLFiles\n", "answer no\n");
  shell.clearTranscript();
  ASSERT_TRUE(shell.run("select ListStations 0\nselect ListStations 1\n"));
  const std::string first = shell.dataDir.read("DOVL08010000.txt");
  EXPECT_EQ(shell.transcript(), "== form frmInformation\nFlow File for station: 08010000\n" +
                                    transcriptText(first) + "\n== close frmInformation\n" +
                                    "== form frmInformation\nFlow File for station: 08010100\n\n"
                                    "== close frmInformation\n");
}

TEST(StationList, RefusedBeforeStepOneOrTheFlowCheck) {
  Step2 shell;
  shell.checks("", "answer no\n");
  shell.clearTranscript();
  ASSERT_TRUE(shell.run("select ListStations 0\n"));
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(64, "Check Flow Files:",
                        "The flow files have not been verified.\r\nPlease select the 'Use "
                        "annual flow files (DOVL########.txt for GLS)' check box and check the "
                        "input files again."));
  shell.clearTranscript();
  shell.state.InputFilesSpecified = false;
  ASSERT_TRUE(shell.run("select ListStations 0\n"));
  EXPECT_EQ(shell.transcript(),
            msgBoxBlock(16, "Please Specify Input Filenames:",
                        "Please specify input file names before trying to check input files "));
  EXPECT_EQ(shell.window.focus(), "cmdInputFiles");
}

}  // namespace
}  // namespace tarvex::testing

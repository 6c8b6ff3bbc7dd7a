#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "shell_harness.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOutput = "TARVEXOutput-2026-12-07Run001";
// An engine that writes the moment it starts: its results, and the user's notes touched.
constexpr const char* kWritingEngine =
    "#!/bin/sh\necho results >> TARVEXResults.txt\ntouch notes.txt\n";
constexpr const char* kRun = "click cmdRunTARVEX\nfrmWait: wait\nanswer yes\nanswer no";

const std::string kInitNote = msgBoxBlock(
    64, "TARVEX Initialization:",
    "Note: TARVEX must initialize when it is run in a new directory.\r\nThis may take a minute "
    "or two. Please wait for TARVEX to launch.");
const std::string kDone =
    msgBoxBlock(4, "Are You Done with TARVEX?",
                "Please do not close this form until you are done using TARVEX.\r\nAre you "
                "finished with TARVEX?",
                "yes");

std::string copyInputsQuestion(const std::string& folder, const std::string& answer) {
  return msgBoxBlock(4, "Copy Input Files?",
                     "Output files are being saved to the directory: \r\n" + folder +
                         "\r\nDo you want to copy input files to this folder too?",
                     answer);
}

// The shell after Steps 1 and 2 on a data folder of standard-named input files, with
// the engine of the test in the shell folder.
struct RunSession : ShellHarness {
  explicit RunSession(const std::string& engine = kWritingEngine,
                      const std::string& ini = "TARVEXv1\r\nTARVEXv1.ctf\r\n") {
    installEngine();
    shellDir.write("TARVEXshell01.ini", ini);
    shellDir.write("TARVEXv1", engine);
    start();
    chooseUsualTables(state, dataDir.path());
    state.InputFilesChecked = true;
    for (const char* name : {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt", "LP3K.txt", "LP3s.txt",
                             "DOVLAnnualTimeSeries.txt"})
      dataDir.write(name, std::string(name) + " of the user");
    dataDir.write("notes.txt", "notes of the user");
    window.tbOutputSubdirectory.setText(kOutput);
    clearTranscript();
    statusTexts.clear();
  }
  std::string data() const { return state.WorkingDirectory; }
  std::string startEvent() const {
    return "== start \"" + data() + "TARVEXv1\" in \"" + data() + "\" window=2\n";
  }
  std::string engineRun() const { return startEvent() + "== form frmWait\n== waited\n" + kDone; }
  std::string afterEngine() const { return engineRun() + "== close frmWait\n"; }
  std::vector<std::string> output(const std::string& folder = kOutput) const {
    return folderListing(dataDir.path() / folder);
  }
  bool has(const std::string& name) const { return fs::exists(dataDir.path() / name); }
};

TEST(StepThree, CopiesTheChosenFilesOntoTheStandardNames) {
  struct Case {
    std::string name;
    std::string chosenFlow;  // FlowCharFileName
    std::string existing;    // a file of the user's besides the chosen one, or empty
    bool matrix;             // cbUDWMatrix ticked, with MyWLS.txt chosen
    std::string answers;     // for the overwrite warning
    std::string list;        // the lines of the warning, empty for none
    bool runs;
    std::vector<std::pair<std::string, std::string>> after;  // file, content
  };
  const std::string flow = "FlowChar.txt of the user";
  const std::string mine = "MyFlow.txt of the user";
  const std::vector<Case> cases = {
      {"chosen names are the standard names",
       "FlowChar.txt",
       "",
       false,
       "",
       "",
       true,
       {{"FlowChar.txt", flow}}},
      {"a user's own FlowChar.txt is listed",
       "MyFlow.txt",
       "FlowChar.txt",
       false,
       "answer yes",
       "The file MyFlow.txt will replace FlowChar.txt\r\n",
       true,
       {{"FlowChar.txt", mine}, {"MyFlow.txt", mine}}},
      {"the warning declined",
       "MyFlow.txt",
       "FlowChar.txt",
       false,
       "answer no",
       "The file MyFlow.txt will replace FlowChar.txt\r\n",
       false,
       {{"FlowChar.txt", flow}}},
      {"a standard name in other case is that file",
       "MyFlow.txt",
       "flowchar.txt",
       false,
       "answer yes",
       "The file MyFlow.txt will replace flowchar.txt\r\n",
       true,
       {{"flowchar.txt", mine}}},
      {"no file of the standard name",
       "MyFlow.txt",
       "",
       false,
       "",
       "",
       true,
       {{"FlowChar.txt", mine}}},
      {"the chosen file in other case needs no copy",
       "FLOWCHAR.TXT",
       "FLOWCHAR.TXT",
       false,
       "",
       "",
       true,
       {{"FLOWCHAR.TXT", "FLOWCHAR.TXT of the user"}}},
      {"the matrix when ticked",
       "FlowChar.txt",
       "",
       true,
       "answer yes",
       "The file MyWLS.txt will replace UserWLS.txt\r\n",
       true,
       {{"UserWLS.txt", "MyWLS.txt of the user"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    fs::remove(s.dataDir.path() / "FlowChar.txt");
    s.dataDir.write(c.chosenFlow, c.chosenFlow + " of the user");
    if (!c.existing.empty()) s.dataDir.write(c.existing, c.existing + " of the user");
    s.state.FlowCharFileName = c.chosenFlow;
    s.state.UserWLSFileName = "MyWLS.txt";
    s.dataDir.write("MyWLS.txt", "MyWLS.txt of the user");
    s.dataDir.write("UserWLS.txt", "UserWLS.txt of the user");
    s.window.cbUDWMatrix.setChecked(c.matrix);
    ASSERT_TRUE(
        s.run("click cmdRunTARVEX\n" + c.answers + (c.runs ? "\nfrmWait: wait\nanswer yes" : "")));
    std::string expected;
    if (!c.list.empty())
      expected = msgBoxBlock(4, "Warning:",
                             "Existing files will be overwritten.\r\nTARVEX needs to use the "
                             "standard filenames to run. \r\n" +
                                 c.list + "Do you want to over write these files?",
                             c.answers == "answer yes" ? "yes" : "no");
    if (c.runs)
      expected += kInitNote + s.afterEngine() + copyInputsQuestion(kOutput, "no (default)");
    else
      expected += msgBoxBlock(64, "Please save the files:",
                              "Please rename the existing files and then click the Step 3 button "
                              "again.");
    EXPECT_EQ(s.transcript(), expected);
    for (const auto& [file, content] : c.after) EXPECT_EQ(s.dataDir.read(file), content) << file;
    EXPECT_EQ(s.state.TARVEXHasRun, c.runs);
    if (!c.matrix) {
      EXPECT_EQ(s.dataDir.read("UserWLS.txt"), "UserWLS.txt of the user");
    }
  }
}

TEST(StepThree, ErrorsCountedAskFirst) {
  const std::string question =
      "There are: 3 errors in your input files.\r\nThese errors could invalidate your results. "
      "\r\nDo you want to proceed with potentially faulty input data?";
  for (const bool proceed : {false, true}) {
    SCOPED_TRACE(proceed);
    RunSession s;
    s.state.ErrorCount = 3;
    ASSERT_TRUE(s.run(std::string("click cmdRunTARVEX\nanswer ") + (proceed ? "yes" : "no") +
                      "\nfrmWait: wait\nanswer yes\nanswer no"));
    const std::string asked =
        msgBoxBlock(4, "Errors detected in input files:", question, proceed ? "yes" : "no");
    if (proceed) {
      EXPECT_EQ(s.transcript(),
                asked + kInitNote + s.afterEngine() + copyInputsQuestion(kOutput, "no"));
    } else {
      EXPECT_EQ(s.transcript().substr(0, asked.size()), asked);
      EXPECT_FALSE(s.has("TARVEXv1"));
    }
    EXPECT_EQ(s.state.TARVEXHasRun, proceed);
  }
}

TEST(StepThree, MovesWhatTheRunWroteOrTouched) {
  for (const bool copyInputs : {false, true}) {
    SCOPED_TRACE(copyInputs);
    RunSession s;
    ASSERT_TRUE(s.run(std::string("click cmdRunTARVEX\nfrmWait: wait\nanswer yes\nanswer ") +
                      (copyInputs ? "yes" : "no")));
    EXPECT_EQ(s.transcript(),
              kInitNote + s.afterEngine() + copyInputsQuestion(kOutput, copyInputs ? "yes" : "no"));
    std::vector<std::string> expected = {"TARVEXResults.txt", "notes.txt"};
    if (copyInputs)
      expected = {"DOVLAnnualTimeSeries.txt",
                  "FlowChar.txt",
                  "LP3G.txt",
                  "LP3K.txt",
                  "LP3s.txt",
                  "SiteInfo.txt",
                  "TARVEXResults.txt",
                  "notes.txt"};
    EXPECT_EQ(s.output(), expected);
    EXPECT_EQ(s.dataDir.read(std::string(kOutput) + "/TARVEXResults.txt"), "results\n");
    EXPECT_EQ(s.dataDir.read(std::string(kOutput) + "/notes.txt"), "notes of the user");
    // What the run did not change stays, the engine copy included.
    EXPECT_EQ(folderListing(s.dataDir.path()),
              (std::vector<std::string>{"DOVLAnnualTimeSeries.txt", "FlowChar.txt", "LP3G.txt",
                                        "LP3K.txt", "LP3s.txt", "SiteInfo.txt", kOutput, "TARVEXv1",
                                        "TARVEXv1.ctf"}));
    EXPECT_TRUE(s.state.TARVEXHasRun);
    EXPECT_EQ(s.window.cmdRunTARVEX.text(), "Step 3: Rerun TARVEX With Same Input Files");
    EXPECT_EQ(s.statusTexts, std::vector<std::string>{
                                 "Status: Successful TARVEX run. Please look at output files"});
    EXPECT_EQ(s.window.focus(), "cmdOpenOutPutDirectory");
  }
}

TEST(StepThree, RerunTakesANewFolderAndCopiesOnlyMissingEngineFiles) {
  struct Case {
    std::string name;
    std::string removed;  // engine file gone from the data folder before the rerun
    std::string answers;  // to "Change Output Subdirectory?" and what follows
    std::string asked;    // boxes between the engine files and the start
    std::string folder;   // where the rerun's files go
  };
  const std::string second = "TARVEXOutput-2026-12-07Run002";
  const std::string change = [&] {
    return msgBoxBlock(4, "Change Output Subdirectory?",
                       "You have chosen to rerun TARVEX. The default output subdirectory name "
                       "is now:\r\n" +
                           second + "\r\nDo you want to change the default name?",
                       "no");
  }();
  std::string changeYes = change;
  changeYes.replace(changeYes.rfind("-> no"), 5, "-> yes");
  const std::string prompt =
      "Please enter a user-defined subdirectory name. If you select Cancel the default name will "
      "be used. Subdirectory names are limited to 100 characters. Longer names will be "
      "truncated. Spaced will be replaced with underscores (_) and unacceptable characters will "
      "be removed.";
  const std::vector<Case> cases = {
      {"engine files present", "", "answer no", change, second},
      {"engine program gone", "TARVEXv1", "answer no", kInitNote + change, second},
      {"a name of the user's", "", "answer yes\ninput my rerun",
       changeYes + inputBoxBlock("Please Enter Subdirectory Name:", second, prompt, "\"my rerun\""),
       "my_rerun/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    ASSERT_TRUE(s.run(kRun));
    if (!c.removed.empty()) fs::remove(s.dataDir.path() / c.removed);
    s.clearTranscript();
    s.statusTexts.clear();
    ASSERT_TRUE(
        s.run("click cmdRunTARVEX\n" + c.answers + "\nfrmWait: wait\nanswer yes\nanswer no"));
    EXPECT_EQ(s.transcript(), c.asked + s.afterEngine() + copyInputsQuestion(c.folder, "no"));
    EXPECT_EQ(s.output(c.folder), (std::vector<std::string>{"TARVEXResults.txt", "notes.txt"}));
    EXPECT_TRUE(s.has("TARVEXv1") && s.has("TARVEXv1.ctf"));
    EXPECT_EQ(s.window.tbOutputSubdirectory.text(), c.folder);
    EXPECT_EQ(s.statusTexts.back(), "Status: Successful TARVEX run. Please look at output files");
  }
}

TEST(StepThree, AnEngineThatFailsMakesAnUnsuccessfulRun) {
  RunSession s(
      "#!/bin/sh\necho results >> TARVEXResults.txt\necho 'reading the inputs' >&2\n"
      "echo 'Run failed: FlowChar.txt has 11 stations and SiteInfo.txt has 12' >&2\nexit 1\n");
  ASSERT_TRUE(s.run(kRun));
  EXPECT_EQ(s.transcript(),
            kInitNote + s.afterEngine() + copyInputsQuestion(kOutput, "no") +
                msgBoxBlock(16, "TARVEX Run Failed:",
                            "TARVEX ended with exit status 1.\r\nThe last lines of its error "
                            "output:\r\nreading the inputs\r\nRun failed: FlowChar.txt has 11 "
                            "stations and SiteInfo.txt has 12"));
  // What it wrote is collected all the same, for the user to look at.
  EXPECT_EQ(s.output(), std::vector<std::string>{"TARVEXResults.txt"});
  EXPECT_TRUE(s.state.TARVEXHasRun);
  EXPECT_EQ(s.statusTexts.back(),
            "Status: Unsuccessful TARVEX run. Please look at input and output files.");
  EXPECT_EQ(s.window.cmdRunTARVEX.text(), "Step 3: Load TARVEX Files and Run TARVEX");
}

TEST(StepThree, AnEngineStillRunningIsWaitedForOrLeftRunning) {
  // It writes its results, then runs until the test lets it end.
  RunSession s(
      "#!/bin/sh\necho results > TARVEXResults.txt\n"
      "while [ ! -e finish.flag ]; do sleep 0.02; done\n");
  const auto stillRunning = [](const char* answer) {
    return msgBoxBlock(4, "TARVEX Is Still Running:",
                       "TARVEX is still running.\r\nDo you want to wait for it to finish?\r\nIf "
                       "not, it goes on running and its output is collected when you click the "
                       "Step 3 button again after it has finished.",
                       answer);
  };
  // The wait form is closed at once, while the engine runs; the user leaves it running.
  ASSERT_TRUE(s.run("click cmdRunTARVEX\nanswer yes\nanswer no"));
  EXPECT_EQ(s.transcript(), kInitNote + s.startEvent() + "== form frmWait\n" + kDone +
                                "== close frmWait\n" + stillRunning("no"));
  EXPECT_EQ(s.statusTexts.back(),
            "Status: TARVEX is still running. Click the Step 3 button when it has finished.");
  EXPECT_FALSE(s.has(kOutput));
  EXPECT_TRUE(s.state.TARVEXHasRun && s.state.EngineOutputPending);

  // Step 3 again while it runs: the same question; Yes shows the wait form again.
  s.clearTranscript();
  ASSERT_TRUE(s.run("click cmdRunTARVEX\nanswer yes\nanswer yes\nanswer no"));
  EXPECT_EQ(s.transcript(), stillRunning("yes") + "== form frmWait\n" + kDone +
                                "== close frmWait\n" + stillRunning("no"));

  // Once it has ended, Step 3 collects the run's files without starting it again.
  s.dataDir.write("finish.flag", "");
  ASSERT_TRUE(s.desktop.waitForStartedProgram(10));
  s.clearTranscript();
  ASSERT_TRUE(s.run("click cmdRunTARVEX\nanswer no"));
  EXPECT_EQ(s.transcript(), copyInputsQuestion(kOutput, "no"));
  EXPECT_EQ(s.output(), (std::vector<std::string>{"TARVEXResults.txt", "finish.flag"}));
  EXPECT_EQ(s.statusTexts.back(), "Status: Successful TARVEX run. Please look at output files");
  EXPECT_FALSE(s.state.EngineOutputPending);
}

TEST(StepThree, ExitLeavesARunningEngineInPlace) {
  RunSession s("#!/bin/sh\nwhile [ ! -e finish.flag ]; do sleep 0.02; done\n");
  ASSERT_TRUE(s.run("click cmdRunTARVEX\nanswer yes\nanswer no"));
  ASSERT_TRUE(s.state.EngineOutputPending);
  s.clearTranscript();
  EXPECT_FALSE(s.run("click cmdExit"));
  EXPECT_EQ(s.transcript(), msgBoxBlock(64, "TARVEX Is Still Running:",
                                        "TARVEX is still running. It goes on after the shell "
                                        "ends, and its files stay in the data folder, not "
                                        "collected:\r\n" +
                                            s.data()) +
                                "== end\n");
  EXPECT_TRUE(s.has("TARVEXv1") && s.has("TARVEXv1.ctf"));
  s.dataDir.write("finish.flag", "");
  EXPECT_TRUE(s.desktop.waitForStartedProgram(10));
}

// A file of the user's under the engine's name is never run, replaced or removed.
TEST(StepThree, AFileOfTheUsersUnderTheEnginesNameStopsTheStep) {
  struct Case {
    const char* name;  // in the data folder, holding the user's bytes
    const char* engineFile;
  };
  const std::vector<Case> cases = {
      {"TARVEXv1", "TARVEXv1"},
      {"tarvexv1", "TARVEXv1"},
      {"TARVEXv1.ctf", "TARVEXv1.ctf"},
      {"TARVEXV1.CTF", "TARVEXv1.ctf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    s.dataDir.write(c.name, "#!/bin/sh\necho the user's own program\n");
    fs::permissions(s.dataDir.path() / c.name, fs::perms::owner_all);
    const auto before = folderContents(s.dataDir);
    ASSERT_TRUE(s.run("click cmdRunTARVEX"));
    EXPECT_EQ(s.transcript(),
              msgBoxBlock(16, "Not the TARVEX Program:",
                          std::string("The data folder holds a file named ") + c.name +
                              " that is not the shell's copy of " + c.engineFile + ":\r\n" +
                              s.data() + c.name +
                              "\r\nTARVEX is not run, and nothing in the folder is changed. "
                              "Please move or rename that file, then click the Step 3 button "
                              "again."));
    EXPECT_EQ(folderContents(s.dataDir), before);
    EXPECT_FALSE(s.state.TARVEXHasRun);
    EXPECT_FALSE(s.run("click cmdExit"));
    EXPECT_EQ(folderContents(s.dataDir), before);
  }
}

TEST(StepThree, OutputFolderThatCannotBeMade) {
  struct Case {
    std::string name;
    std::string folder;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"a file of that name", "taken", "Error: 58 File already exists"},
      {"a missing parent", "missing/run", "Error: 76 Path not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    s.dataDir.write("taken", "a file of the user");
    s.window.tbOutputSubdirectory.setText(c.folder);
    ASSERT_TRUE(s.run("click cmdRunTARVEX\nfrmWait: wait\nanswer yes"));
    EXPECT_EQ(s.transcript(),
              kInitNote + s.afterEngine() + msgBoxBlock(16, "Sub MakeDestroyFolder ", c.error) +
                  msgBoxBlock(16, "Output Error:",
                              "Error: could not create output folder \r\n" + c.folder +
                                  "\r\nPlease copy TARVEX output files manually before rerunning "
                                  "the program."));
    // Nothing was moved: the results wait in the data folder.
    EXPECT_EQ(s.dataDir.read("TARVEXResults.txt"), "results\n");
    EXPECT_EQ(s.dataDir.read("taken"), "a file of the user");
    EXPECT_TRUE(s.state.TARVEXHasRun);
    EXPECT_EQ(s.window.cmdRunTARVEX.text(), "Step 3: Load TARVEX Files and Run TARVEX");
    EXPECT_EQ(s.statusTexts, std::vector<std::string>{"Status: Unsuccessful TARVEX run. Please "
                                                      "look at input and output files."});
  }
}

TEST(StepThree, EngineThatCannotBeCopiedOrStarted) {
  struct Case {
    std::string name;
    bool removed;        // from the shell folder after start-up
    fs::perms perms;     // of the shell folder's engine otherwise
    std::string failed;  // the copy's error, empty when the copy works
  };
  const std::vector<Case> cases = {
      {"engine gone from the shell folder", true, fs::perms::none, "Error: 53 File not found"},
      {"engine that cannot be read", false, fs::perms::none, "Error: 70 Permission denied"},
      {"engine that cannot be run", false, fs::perms::owner_read, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.removed && c.perms == fs::perms::none && !permissionsApply()) continue;
    RunSession s;
    const fs::path engine = s.shellDir.path() / "TARVEXv1";
    if (c.removed)
      fs::remove(engine);
    else
      fs::permissions(engine, c.perms);
    const std::vector<std::string> before = folderListing(s.dataDir.path());
    ASSERT_TRUE(s.run("click cmdRunTARVEX"));
    if (c.failed.empty()) {
      // Copied as it is, the engine then fails to start.
      EXPECT_EQ(s.transcript(), kInitNote + s.startEvent() +
                                    msgBoxBlock(16, "Error: cmdRunTARVEX",
                                                "Error: 70\r\nType of Error: Permission denied"));
      EXPECT_EQ(s.statusTexts, std::vector<std::string>{});
    } else {
      EXPECT_EQ(
          s.transcript(),
          kInitNote + msgBoxBlock(16, " Sub ", c.failed) +
              msgBoxBlock(16, "Error:",
                          "Error: " + s.data() +
                              "TARVEXv1 was not created sucessfully.\r\nPlease run the shell "
                              "again or manually copy the file from: \r\n" +
                              engine.string() + "\r\nand run it.") +
              msgBoxBlock(16, "Error with TARVEX files",
                          "Error: TARVEXv1 TARVEXv1.ctf were not created properly.\r\nPlease try "
                          "to manually copy them from: " +
                              s.state.ShellDirectory + "\r\nTo:" + s.data() +
                              "\r\nThen reclick the run TARVEX command button."));
      EXPECT_EQ(s.statusTexts,
                std::vector<std::string>{"Status: Error with TARVEX program files."});
      // Nothing else changed: no half-written engine and no start.
      EXPECT_EQ(folderListing(s.dataDir.path()), before);
    }
    EXPECT_FALSE(s.state.TARVEXHasRun);
    EXPECT_FALSE(s.desktop.busy());
  }
}

TEST(StepThree, ExitAfterARunRemovesOnlyTheEngine) {
  RunSession s("#!/bin/sh\nmkdir -p engine\necho results > TARVEXResults.txt\n",
               "TARVEXv1\r\nTARVEXv1.ctf\r\nengine\r\n");
  // A folder of the user's that differs from the engine's only in letter case.
  s.dataDir.write("Engine/x.txt", "the user's");
  ASSERT_TRUE(s.run(kRun));
  ASSERT_TRUE(s.has("TARVEXv1") && s.has("TARVEXv1.ctf") && s.has("engine"));
  EXPECT_FALSE(s.run("click cmdExit"));
  EXPECT_EQ(
      folderListing(s.dataDir.path()),
      (std::vector<std::string>{"DOVLAnnualTimeSeries.txt", "Engine", "FlowChar.txt", "LP3G.txt",
                                "LP3K.txt", "LP3s.txt", "SiteInfo.txt", kOutput, "notes.txt"}));
  EXPECT_EQ(s.dataDir.read("Engine/x.txt"), "the user's");
  EXPECT_EQ(s.output(), std::vector<std::string>{"TARVEXResults.txt"});
}

// The shell's own engine left from an earlier session is used, and left for that session's
// owner: this one did not copy it.
TEST(StepThree, AnEarlierCopyOfTheEngineIsRunAndKept) {
  RunSession s;
  fs::copy_file(s.shellDir.path() / "TARVEXv1", s.dataDir.path() / "TARVEXv1");
  fs::copy_file(s.shellDir.path() / "TARVEXv1.ctf", s.dataDir.path() / "TARVEXv1.ctf");
  ASSERT_TRUE(s.run(kRun));
  EXPECT_EQ(s.transcript(), s.afterEngine() + copyInputsQuestion(kOutput, "no"));
  EXPECT_FALSE(s.run("click cmdExit"));
  EXPECT_TRUE(s.has("TARVEXv1") && s.has("TARVEXv1.ctf"));
}

}  // namespace
}  // namespace tarvex::testing

#include <gtest/gtest.h>

#include <filesystem>

#include "shell_harness.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPrompt =
    "Please enter a user-defined subdirectory name. If you select Cancel the default name will be "
    "used. Subdirectory names are limited to 100 characters. Longer names will be truncated. "
    "Spaced will be replaced with underscores (_) and unacceptable characters will be removed.";
constexpr const char* kToday = "TARVEXOutput-2026-12-07Run001";

std::string inputBlock(const std::string& preset, const std::string& answer) {
  return inputBoxBlock("Please Enter Subdirectory Name:", preset, kPrompt, answer);
}

std::string criticalBlock(const std::string& title, const std::string& text) {
  return msgBoxBlock(16, title, text);
}

// The shell after Step 1 on a fresh data folder holding these folders.
struct Session : ShellHarness {
  explicit Session(const std::string& answers, const std::vector<std::string>& folders = {})
      : ShellHarness(answers) {
    for (const auto& folder : folders) fs::create_directory(dataDir.path() / folder);
    inputFilesSpecified();
  }
};

TEST(OutputSubdirectory, TypedNames) {
  struct Case {
    std::string name;
    std::string preset;  // text of tbOutputSubdirectory before the click
    std::vector<std::string> folders;
    std::string answer;
    std::string transcript;
    std::string shown;  // text of tbOutputSubdirectory after
  };
  const std::string name150(150, 'n');
  const std::string badBox =
      criticalBlock("Directory Specification Error:",
                    "Error bad directory name: ErrorBadDirName\\\r\nThe default will be used");
  const auto existsBox = [](const std::string& name) {
    return criticalBlock(
        "Directory Specification Error:",
        "Error the directory: " + name + " already exists.\r\nThe default will be used");
  };
  const std::vector<Case> cases = {
      {"typed name is cleaned",
       kToday,
       {},
       "input My results #1",
       inputBlock(kToday, "\"My results #1\""),
       "My_results_1/"},
      {"blanks around the name",
       kToday,
       {},
       "input    ab  ",
       inputBlock(kToday, "\"   ab\""),
       "ab/"},
      {"long name is cut",
       kToday,
       {},
       "input " + name150,
       inputBlock(kToday, "\"" + name150 + "\""),
       std::string(100, 'n') + "/"},
      {"cancel keeps the current name",
       "MyOwn/",
       {},
       "input",
       inputBlock("MyOwn/", "cancel"),
       "MyOwn/"},
      {"no answer keeps the current name",
       "MyOwn/",
       {},
       "",
       inputBlock("MyOwn/", "cancel (default)"),
       "MyOwn/"},
      {"empty box gets the default first", "", {}, "input", inputBlock(kToday, "cancel"), kToday},
      {"one character gets the default first",
       "x",
       {},
       "input",
       inputBlock(kToday, "cancel"),
       kToday},
      {"two characters are a name", "xy", {}, "input", inputBlock("xy", "cancel"), "xy"},
      {"only bad characters",
       "MyOwn/",
       {},
       "input ***",
       inputBlock("MyOwn/", "\"***\"") + badBox,
       kToday},
      {"bad name takes the next free default",
       "MyOwn/",
       {kToday},
       "input ***",
       inputBlock("MyOwn/", "\"***\"") + badBox,
       "TARVEXOutput-2026-12-07Run002"},
      {"existing folder",
       "MyOwn/",
       {"taken"},
       "input taken",
       inputBlock("MyOwn/", "\"taken\"") + existsBox("taken/"),
       kToday},
      {"existing folder after cleaning",
       "MyOwn/",
       {"my_run"},
       "input my run!",
       inputBlock("MyOwn/", "\"my run!\"") + existsBox("my_run/"),
       kToday},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.answer, c.folders);
    s.window.tbOutputSubdirectory.setText(c.preset);
    s.window.cmdChangeOutputSubDir_Click();
    EXPECT_EQ(s.transcript(), c.transcript);
    EXPECT_EQ(s.window.tbOutputSubdirectory.text(), c.shown);
  }
}

TEST(OutputSubdirectory, ExistingFolderIsLookedUpInTheDataDirectory) {
  // The current directory holds a folder of the typed name; the data directory does not.
  TempDir elsewhere;
  Session s("input taken");
  fs::create_directory(elsewhere.path() / "taken");
  s.desktop.setCurrentDirectory(elsewhere.path());
  s.window.tbOutputSubdirectory.setText("MyOwn/");
  s.window.cmdChangeOutputSubDir_Click();
  EXPECT_EQ(s.transcript(), inputBlock("MyOwn/", "\"taken\""));
  EXPECT_EQ(s.window.tbOutputSubdirectory.text(), "taken/");
}

TEST(OutputSubdirectory, RefusedBeforeStepOneAndAfterTheRun) {
  struct Gate {
    bool specified;
    bool hasRun;
    std::string transcript;
    std::string focus;
  };
  const std::vector<Gate> gates = {
      {false, false,
       criticalBlock(
           "Please Specify Input Filenames:",
           "Please specify input file names before changing the default output subdirectory"),
       "cmdInputFiles"},
      {true, true,
       "== msgbox 64 \"Please Rerun TARVEX:\"\n"
       "Please specify a new output subdirectory by rerunning TARVEX\n-> ok\n",
       "cmdRunTARVEX"},
  };
  for (const auto& g : gates) {
    SCOPED_TRACE(g.focus);
    Session s("input unused");
    s.state.InputFilesSpecified = g.specified;
    s.state.TARVEXHasRun = g.hasRun;
    s.window.tbOutputSubdirectory.setText("MyOwn/");
    s.window.cmdChangeOutputSubDir_Click();
    EXPECT_EQ(s.transcript(), g.transcript);
    EXPECT_EQ(s.window.focus(), g.focus);
    EXPECT_EQ(s.window.tbOutputSubdirectory.text(), "MyOwn/");
    EXPECT_FALSE(s.scriptDone()) << "no input box may open";
  }
}

TEST(OutputSubdirectory, RerunStillAsksThroughFindOutputDirName) {
  Session s("input next run");
  s.state.TARVEXHasRun = true;
  s.window.tbOutputSubdirectory.setText(kToday);
  s.window.FindOutputDirName();
  EXPECT_EQ(s.transcript(), inputBlock(kToday, "\"next run\""));
  EXPECT_EQ(s.window.tbOutputSubdirectory.text(), "next_run/");
}

}  // namespace
}  // namespace tarvex::testing

#include "platform/scripted/scripted_desktop.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/run_time_error.h"
#include "temp_dir.h"
#include "transcript.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

struct Desk {
  explicit Desk(const std::string& lines) : script(Script::parse(lines)) {
    desktop.setScript(&script);
  }
  std::ostringstream out;
  Script script;
  ScriptedDesktop desktop{out, "/", CalendarDate{2026, 12, 7}};
};

TEST(ScriptedDesktop, AnswersMatchTheirBoxOrTheDefaultIsTaken) {
  struct Row {
    const char* what;
    const char* lines;
    std::string transcript;
    bool lineLeft;  // the script line was not used by the box
  };
  const std::vector<Row> rows = {
      {"yes", "answer yes", "== msgbox 4 \"T\"\nQ\n-> yes\n", false},
      {"no", "answer no", "== msgbox 4 \"T\"\nQ\n-> no\n", false},
      {"no answer line", "", "== msgbox 4 \"T\"\nQ\n-> no (default)\n", false},
      {"an input line does not answer a Yes/No box", "input x",
       "== msgbox 4 \"T\"\nQ\n-> no (default)\n", true},
      {"a form line does not answer", "frmWait: answer yes",
       "== msgbox 4 \"T\"\nQ\n-> no (default)\n", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Desk d(row.lines);
    const MsgAnswer answer = d.desktop.msgBox("Q", kYesNo, "T");
    EXPECT_EQ(d.out.str(), row.transcript);
    EXPECT_EQ(answer == MsgAnswer::Yes, std::string(row.lines) == "answer yes");
    EXPECT_EQ(!d.script.atEnd(), row.lineLeft);
  }
}

TEST(ScriptedDesktop, OkBoxesTakeNoAnswerAndLineBreaksPrintAsLines) {
  Desk d("answer yes");
  EXPECT_EQ(d.desktop.msgBox("one\r\ntwo\rthree", kCritical, "T"), MsgAnswer::Ok);
  EXPECT_EQ(d.out.str(), "== msgbox 16 \"T\"\none\ntwo\nthree\n-> ok\n");
  EXPECT_FALSE(d.script.atEnd());
}

TEST(ScriptedDesktop, InputBoxesAndDialogs) {
  Desk d("input  my name\ninput\nopen sub/../SiteInfo.txt\ncancel\n");
  EXPECT_EQ(d.desktop.inputBox("P", "T", "def"), " my name");
  EXPECT_EQ(d.desktop.inputBox("P", "T", "def"), "");
  const auto chosen = d.desktop.openFile({"Pick", "All|*.*", 1, "SiteInfo.txt", ""});
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, d.desktop.currentDirectory() / "SiteInfo.txt");
  EXPECT_FALSE(d.desktop.openFile({"Pick", "All|*.*", 1, "x", ""}));
  EXPECT_FALSE(d.desktop.openFile({"Pick", "All|*.*", 1, "x", ""}));
  EXPECT_EQ(d.out.str(),
            "== inputbox \"T\" default=\"def\"\nP\n-> \" my name\"\n"
            "== inputbox \"T\" default=\"def\"\nP\n-> cancel\n"
            "== open \"Pick\" suggested=\"SiteInfo.txt\"\n-> " +
                chosen->string() +
                "\n"
                "== open \"Pick\" suggested=\"x\"\n-> cancel\n"
                "== open \"Pick\" suggested=\"x\"\n-> cancel (default)\n");
}

TEST(ScriptedDesktop, SaveDialogsTakeSaveOrCancelAndTheClipboardIsPrinted) {
  struct Row {
    const char* what;
    const char* lines;
    std::string chosen;  // relative to the current folder; empty: cancelled
    std::string answer;
    bool lineLeft;
  };
  const std::vector<Row> rows = {
      {"a name", "save out/../report.txt", "report.txt", "", false},
      {"cancel", "cancel", "", "-> cancel\n", false},
      {"save without a name", "save", "", "-> cancel\n", false},
      {"no answer line", "", "", "-> cancel (default)\n", false},
      {"an open line does not answer a save dialog", "open report.txt", "", "-> cancel (default)\n",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Desk d(row.lines);
    const auto chosen = d.desktop.saveFile({"Save It", "All|*.*", "TARVEX report.txt", ""});
    const std::string answer =
        row.chosen.empty() ? row.answer
                           : "-> " + (d.desktop.currentDirectory() / row.chosen).string() + "\n";
    EXPECT_EQ(d.out.str(), "== save \"Save It\" suggested=\"TARVEX report.txt\"\n" + answer);
    EXPECT_EQ(chosen, row.chosen.empty()
                          ? std::nullopt
                          : std::optional(d.desktop.currentDirectory() / row.chosen));
    EXPECT_EQ(!d.script.atEnd(), row.lineLeft);
  }

  Desk d("");
  d.desktop.copyToClipboard("Site file problems: \r\nline 2\r\n");
  d.desktop.copyToClipboard("");
  EXPECT_EQ(d.out.str(), "== clipboard\nSite file problems: \nline 2\n\n== clipboard\n\n");
}

TEST(ScriptedDesktop, StartsAProgramInItsFolderWithoutWaiting) {
  TempDir dir;
  const auto program = dir.write("engine", "#!/bin/sh\necho ran > result.txt\n");
  fs::permissions(program, fs::perms::owner_all);
  fs::create_directory(dir.path() / "data");
  Desk d("");
  d.desktop.startProgram(program, dir.path() / "data", WindowStyle::Minimized);
  EXPECT_TRUE(d.desktop.waitForStartedProgram(30));
  EXPECT_EQ(dir.read("data/result.txt"), "ran\n");
  EXPECT_EQ(d.out.str(), "== start \"" + program.string() + "\" in \"" +
                             (dir.path() / "data").string() + "\" window=2\n");
}

TEST(ScriptedDesktop, StartingWhatCannotRunRaises) {
  TempDir dir;
  const auto notExecutable = dir.write("plain.txt", "text");
  fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
  struct Row {
    fs::path program;
    fs::path folder;
    int number;
  };
  const std::vector<Row> rows = {
      {dir.path() / "missing", dir.path(), 53},
      {dir.path(), dir.path(), 53},
      {dir.path() / "plain.txt", dir.path() / "nofolder", 70},
  };
  for (const Row& row : rows) {
    Desk d("");
    EXPECT_RUNTIME_ERROR(d.desktop.startProgram(row.program, row.folder, WindowStyle::Normal),
                         row.number);
  }
}

}  // namespace
}  // namespace tarvex::testing

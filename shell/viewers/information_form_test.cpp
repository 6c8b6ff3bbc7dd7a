#include "viewers/information_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/scripted/script.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "platform/scripted/transcript_text.h"
#include "temp_dir.h"

namespace tarvex {
namespace {

// A text of `length` characters ('x' and a changing letter every 1000) with a CR LF
// pair whose carriage return is at each of the 1-based `crAt` positions.
std::string textWithBreaks(long length, const std::vector<long>& crAt = {}) {
  std::string text(static_cast<std::size_t>(length), 'x');
  for (long i = 0; i < length; i += 1000) text[i] = static_cast<char>('a' + (i / 1000) % 26);
  for (long cr : crAt) {
    text[cr - 1] = '\r';
    text[cr] = '\n';
  }
  return text;
}

// Lines of `width` characters plus CR LF until `length` characters.
std::string textOfLines(long length, long width) {
  std::string text;
  text.reserve(static_cast<std::size_t>(length));
  long line = 0;
  while (static_cast<long>(text.size()) < length) {
    std::string next = std::to_string(line++);
    next.resize(static_cast<std::size_t>(width), '.');
    text += next + "\r\n";
  }
  text.resize(static_cast<std::size_t>(length));
  return text;
}

struct Viewer {
  std::ostringstream out;
  ScriptedDesktop desktop{out, std::filesystem::current_path(), CalendarDate{2026, 12, 7}};
  ShellState state;
  InformationForm form{desktop, state};

  void load(std::string text) {
    state.InformationText = std::move(text);
    form.load();
  }
  std::string joined() const {
    std::string all;
    for (long k = 1; k <= form.PageCount; ++k) all += form.Pages[k];
    return all;
  }
};

TEST(InformationForm, SplitStringAndFindLineBreak) {
  struct SplitRow {
    long start, end;
    std::string expected;
  };
  const std::string six = "abcdef";
  for (const SplitRow& row : std::vector<SplitRow>{{2, 4, "bcd"},
                                                   {1, 6, "abcdef"},
                                                   {3, 2, ""},
                                                   {5, 10, "ef"},
                                                   {7, 9, ""},
                                                   {3, 1, "fnSplitString Error"},
                                                   {0, 2, "fnSplitString Error"}}) {
    SCOPED_TRACE(std::to_string(row.start) + ".." + std::to_string(row.end));
    EXPECT_EQ(fnSplitString(six, row.start, row.end), row.expected);
  }

  struct BreakRow {
    long start, end, expected;
  };
  // Positions: a1 b2 CR3 LF4 c5 d6 CR7 LF8 e9 f10
  const std::string text = "ab\r\ncd\r\nef";
  for (const BreakRow& row : std::vector<BreakRow>{{1, 10, 8},
                                                   {1, 8, 8},
                                                   {1, 7, 4},
                                                   {4, 10, 8},
                                                   {8, 10, 10},
                                                   {1, 3, 3},
                                                   {1, 4, 4},
                                                   {4, 7, 7},
                                                   {1, 100, 8},
                                                   {0, 3, 3},
                                                   {-5, 2, 2}}) {
    SCOPED_TRACE(std::to_string(row.start) + ".." + std::to_string(row.end));
    EXPECT_EQ(fnFindLineBreak(text, row.start, row.end), row.expected);
  }
  EXPECT_EQ(fnFindLineBreak("no breaks here", 1, 14), 14);
  EXPECT_EQ(fnFindLineBreak("\n\r", 1, 2), 2);  // LF CR is not a pair
}

TEST(InformationForm, ControlsAndInitialState) {
  Viewer v;
  EXPECT_EQ(v.form.name(), "frmInformation");
  EXPECT_EQ(v.form.caption(), "Output Information");
  EXPECT_EQ(v.form.Label1.text(), "Output:");
  EXPECT_EQ(v.form.tbOutput.tooltip(),
            "Output information can be copied & pasted to another application");
  EXPECT_EQ(v.form.cmdSeePrevious.text(), "See Previous Part of Output");
  EXPECT_EQ(v.form.cmdSeeNext.text(), "See Next Part of Output");
  EXPECT_EQ(v.form.cmdClose.text(), "Close");
  EXPECT_EQ(v.form.cmdClose.tooltip(), "Close this form and return to the main program");
  EXPECT_EQ(v.form.cmdSave.text(), "Save...");
  EXPECT_EQ(v.form.cmdSave.tooltip(), "Save the whole output to a text file");
  EXPECT_EQ(v.form.cmdCopy.text(), "Copy");
  EXPECT_EQ(v.form.cmdCopy.tooltip(), "Copy the whole output to the clipboard");
  for (const Control* button : {&v.form.cmdSave, &v.form.cmdCopy})
    EXPECT_TRUE(button->visible() && button->enabled());
  for (const Control* button : {&v.form.cmdSeeNext, &v.form.cmdSeePrevious}) {
    EXPECT_FALSE(button->visible());
    EXPECT_FALSE(button->enabled());
  }
}

TEST(InformationForm, PageCountTable) {
  struct Row {
    long length, pages;
  };
  for (const Row& row : std::vector<Row>{{0, 0},
                                         {64000, 0},
                                         {64001, 2},
                                         {127500, 2},
                                         {127501, 3},
                                         {191000, 3},
                                         {191001, 4},
                                         {254500, 4},
                                         {254501, 5},
                                         {318000, 5},
                                         {318001, 6},
                                         {381500, 6},
                                         {381501, 7},
                                         {5000000, 7}}) {
    SCOPED_TRACE(row.length);
    EXPECT_EQ(pageCountFor(row.length), row.pages);
  }
}

TEST(InformationForm, CutsAtTheBoundaries) {
  struct Row {
    const char* what;
    long length;
    std::vector<long> crAt;
    std::vector<std::size_t> partSizes;  // empty: shown whole
  };
  const std::vector<Row> rows = {
      {"exactly 64000", 64000, {}, {}},
      {"64000 ending in a break", 64000, {63999}, {}},
      {"64001 without breaks", 64001, {}, {64000, 1}},
      {"break at 63999/64000 ends part 1", 64001, {63999}, {64000, 1}},
      {"break at 64000/64001 is outside the window", 64002, {64000}, {64000, 2}},
      {"break early in the window", 64001, {100}, {101, 63900}},
      {"last break in the window wins", 70000, {100, 50000, 64001}, {50001, 19999}},
      {"two parts at the top of their range", 127500, {}, {64000, 63500}},
      // The last window reaches past the text: the last part is empty, not an error.
      {"three parts, short last window", 127501, {}, {64000, 63501, 0}},
      {"middle window is 63999", 191000, {}, {64000, 63999, 63001}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Viewer v;
    const std::string text = textWithBreaks(row.length, row.crAt);
    v.load(text);
    EXPECT_EQ(v.form.TextLength, row.length);
    if (row.partSizes.empty()) {
      EXPECT_EQ(v.form.PageCount, 0);
      EXPECT_TRUE(v.form.tbOutput.text() == text);
      EXPECT_FALSE(v.form.cmdSeeNext.visible());
      EXPECT_FALSE(v.form.cmdSeePrevious.enabled());
      continue;
    }
    ASSERT_EQ(v.form.PageCount, static_cast<long>(row.partSizes.size()));
    for (std::size_t k = 1; k <= row.partSizes.size(); ++k)
      EXPECT_EQ(v.form.Pages[k].size(), row.partSizes[k - 1]) << "part " << k;
    EXPECT_TRUE(v.joined() == text);
    EXPECT_EQ(v.form.CurrentPage, 1);
    EXPECT_TRUE(v.form.tbOutput.text() == v.form.Pages[1]);
    EXPECT_TRUE(v.form.cmdSeeNext.visible() && v.form.cmdSeeNext.enabled());
    EXPECT_TRUE(v.form.cmdSeePrevious.visible() && v.form.cmdSeePrevious.enabled());
  }
}

TEST(InformationForm, HalfAMillionCharactersInSevenParts) {
  struct Row {
    const char* what;
    std::string text;
  };
  const std::vector<Row> rows = {{"lines of 78", textOfLines(500000, 78)},
                                 {"no breaks", textWithBreaks(500000)}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Viewer v;
    v.load(row.text);
    ASSERT_EQ(v.form.PageCount, 7);
    EXPECT_TRUE(v.joined() == row.text);
    EXPECT_LE(v.form.Pages[1].size(), 64000u);
    for (long k = 2; k <= 6; ++k) EXPECT_LE(v.form.Pages[k].size(), 63999u) << "part " << k;
    for (long k = 1; k <= 6; ++k) {
      // Each part ends at its recorded end; with lines, that is a line feed.
      EXPECT_EQ(v.form.PageEnds[k],
                k == 1 ? static_cast<long>(v.form.Pages[1].size())
                       : v.form.PageEnds[k - 1] + static_cast<long>(v.form.Pages[k].size()));
      if (row.text.find('\r') != std::string::npos) {
        EXPECT_TRUE(v.form.Pages[k].ends_with("\r\n")) << "part " << k;
      }
    }
    EXPECT_EQ(v.form.Pages[7].size(), 500000u - static_cast<std::size_t>(v.form.PageEnds[6]));
  }
  Viewer v;
  v.load(textWithBreaks(500000));
  EXPECT_EQ(std::vector<long>(v.form.PageEnds.begin() + 1, v.form.PageEnds.begin() + 7),
            (std::vector<long>{64000, 127999, 191998, 255997, 319996, 383995}));
}

TEST(InformationForm, PagingStaysWithinTheParts) {
  Viewer v;
  v.load(textOfLines(200000, 40));
  ASSERT_EQ(v.form.PageCount, 4);
  struct Step {
    void (InformationForm::*click)();
    long page;
    bool endBox;
  };
  const std::vector<Step> steps = {
      {&InformationForm::cmdSeePrevious_Click, 1, true},
      {&InformationForm::cmdSeeNext_Click, 2, false},
      {&InformationForm::cmdSeeNext_Click, 3, false},
      {&InformationForm::cmdSeeNext_Click, 4, false},
      {&InformationForm::cmdSeeNext_Click, 4, true},
      {&InformationForm::cmdSeeNext_Click, 4, true},
      {&InformationForm::cmdSeePrevious_Click, 3, false},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    v.out.str("");
    (v.form.*steps[i].click)();
    EXPECT_EQ(v.form.CurrentPage, steps[i].page);
    EXPECT_TRUE(v.form.tbOutput.text() == v.form.Pages[steps[i].page]);
    const bool last = steps[i].click == &InformationForm::cmdSeeNext_Click;
    EXPECT_EQ(v.out.str(), !steps[i].endBox ? ""
                           : last ? "== msgbox 64 \"End of Output:\"\nWe are showing the last "
                                    "part of the output\n-> ok\n"
                                  : "== msgbox 64 \"End of Output:\"\nWe are showing the first "
                                    "part of the output\n-> ok\n");
  }

  // A short text after a long one: nothing of the long one can be reached.
  v.load("short\r\ntext");
  EXPECT_EQ(v.form.PageCount, 0);
  EXPECT_EQ(v.form.CurrentPage, 0);
  EXPECT_FALSE(v.form.cmdSeeNext.enabled());
  v.form.cmdSeeNext_Click();
  v.form.cmdSeePrevious_Click();
  EXPECT_EQ(v.form.tbOutput.text(), "short\r\ntext");
}

TEST(InformationForm, ScriptedSessionPrintsEachPage) {
  std::ostringstream out;
  ScriptedDesktop desktop(out, std::filesystem::current_path());
  ShellState state;
  Form owner("frmTARVEXshell01", "");
  ScriptRunner runner(desktop, owner, [] { return std::string(); });
  InformationForm form(desktop, state);
  state.InformationText = textOfLines(130000, 30);  // three parts
  Script script = Script::parse(
      "frmInformation: click cmdSeeNext\nfrmInformation: click cmdSeeNext\n"
      "frmInformation: click cmdSeeNext\nfrmInformation: click cmdSeePrevious\n");
  desktop.setScript(&script);
  desktop.setBusy(true);
  desktop.showModal(form, &owner);
  EXPECT_FALSE(desktop.busy());
  EXPECT_FALSE(form.loaded());
  ASSERT_EQ(form.PageCount, 3);
  auto page = [&](int k) { return transcriptText(form.Pages[k]) + "\n"; };
  const std::string expected =
      "== form frmInformation\n" + page(1) + page(2) + page(3) + page(3) +
      "== msgbox 64 \"End of Output:\"\nWe are showing the last part of the output\n-> ok\n" +
      page(2) + "== close frmInformation\n";
  EXPECT_TRUE(out.str() == expected);
  EXPECT_EQ(out.str().size(), expected.size());
}

// A scripted desktop that keeps the save dialogs it was asked for.
class SavingDesktop : public ScriptedDesktop {
 public:
  using ScriptedDesktop::ScriptedDesktop;
  std::optional<std::filesystem::path> saveFile(const SaveFileRequest& request) override {
    requests.push_back(request);
    return ScriptedDesktop::saveFile(request);
  }
  std::vector<SaveFileRequest> requests;
};

// The viewer shown over the main window, its script lines acting on it, in a data folder.
struct ScriptedViewer {
  testing::TempDir data;
  std::ostringstream out;
  SavingDesktop desktop{out, std::filesystem::current_path()};
  ShellState state;
  Form owner{"frmTARVEXshell01", ""};
  ScriptRunner runner{desktop, owner, [] { return std::string(); }};
  InformationForm form{desktop, state};
  Script script;

  std::string show(std::string text, const std::string& lines) {
    state.InformationText = std::move(text);
    state.WorkingDirectory = data.dir();
    script = Script::parse(lines);
    desktop.setScript(&script);
    desktop.showModal(form, &owner);
    return out.str();
  }
};

TEST(InformationForm, SaveWritesTheWholeTextOrNothing) {
  struct Row {
    const char* what;
    std::string text;
    std::string answer;   // the script's line after the click; DIR is the data folder
    bool saved;           // report.txt holds the text
    std::string failure;  // the box's text after the path; empty: no box
  };
  const std::string report = "LP3G.txt file problems: \r\nError: line 3\r\n";
  const std::vector<Row> rows = {
      {"a report", report, "save DIR/report.txt", true, ""},
      {"three parts, all of them", textOfLines(130000, 30), "save DIR/report.txt", true, ""},
      {"cancelled", report, "cancel", false, ""},
      {"no answer: cancelled", report, "", false, ""},
      {"a folder that is not there", report, "save DIR/missing/report.txt", false,
       "Error: 76 Path not found"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ScriptedViewer v;
    std::string answer = row.answer;
    if (answer.find("DIR/") != std::string::npos)
      answer.replace(answer.find("DIR/"), 4, v.data.dir());
    const std::string transcript = v.show(row.text, "frmInformation: click cmdSave\n" + answer +
                                                        "\nfrmInformation: click cmdClose\n");
    ASSERT_EQ(v.desktop.requests.size(), 1u);
    const SaveFileRequest& asked = v.desktop.requests[0];
    EXPECT_EQ(asked.title, "Save Output Information");
    EXPECT_EQ(asked.fileName, "TARVEX report.txt");
    EXPECT_EQ(asked.initialDir, v.data.dir());
    EXPECT_NE(
        transcript.find("== save \"Save Output Information\" suggested=\"TARVEX report.txt\"\n"),
        std::string::npos);
    EXPECT_EQ(testing::folderListing(v.data.path()),
              row.saved ? std::vector<std::string>{"report.txt"} : std::vector<std::string>{});
    if (row.saved) {
      EXPECT_TRUE(v.data.read("report.txt") == row.text);
    }
    if (!row.failure.empty()) {
      EXPECT_NE(transcript.find("== msgbox 16 \"Save Output:\"\nThe output was not saved to " +
                                answer.substr(5) + "\n" + row.failure + "\n-> ok\n"),
                std::string::npos)
          << transcript;
    }
    EXPECT_EQ(transcript.find("== msgbox") != std::string::npos, !row.failure.empty());
    EXPECT_TRUE(v.script.atEnd());
  }

  // A file of that name is replaced whole and keeps its mode; the dialog asked about it.
  ScriptedViewer v;
  const auto existing = v.data.write("report.txt", "an older report that is longer\r\n");
  std::filesystem::permissions(existing, std::filesystem::perms(0640));
  v.show(report, "frmInformation: click cmdSave\nsave " + existing.string());
  EXPECT_EQ(v.data.read("report.txt"), report);
  EXPECT_EQ(std::filesystem::status(existing).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(testing::folderListing(v.data.path()), std::vector<std::string>{"report.txt"});
}

TEST(InformationForm, CopyPutsEveryPartOnTheClipboard) {
  struct Row {
    const char* what;
    std::string text;
  };
  const std::vector<Row> rows = {{"shown whole", "FlowChar.txt file problems: \r\nline\r\n"},
                                 {"three parts", textOfLines(130000, 30)},
                                 {"empty", ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ScriptedViewer v;
    const std::string transcript =
        v.show(row.text, "frmInformation: click cmdSeeNext\nfrmInformation: click cmdCopy\n");
    EXPECT_NE(transcript.find("== clipboard\n" + transcriptText(row.text) + "\n== close"),
              std::string::npos);
    // Copying leaves the viewer on the part it showed.
    EXPECT_EQ(v.form.CurrentPage, v.form.PageCount == 0 ? 0 : 2);
  }
}

}  // namespace
}  // namespace tarvex

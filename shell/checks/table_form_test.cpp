#include "checks/table_form.h"

#include <gtest/gtest.h>

#include "check_harness.h"
#include "checks/site_info.h"
#include "checks/station_file.h"

namespace tarvex::testing {
namespace {

// Tables as other systems write them: each is named plainly, mended when the user agrees
// (backed up first), and then checked as any other; left as it is, it is an error and its
// contents are not checked.
TEST(TableForm, LineEndsByteOrderMarksAndSeparators) {
  const std::string heading = "Station ID\tQ2";
  const std::string clean = heading + "\r\n01\t1\r\n02\t2\r\n03\t3\r\n";
  struct Row {
    const char* name;
    std::string bytes;
    std::string code;
    std::string question;  // the title of the question, empty when none is asked
    std::string text;      // the finding's
  };
  const std::vector<Row> rows = {
      {"line feeds alone", heading + "\n01\t1\n02\t2\n03\t3\n", "line-ends", "Line Ends:",
       "FlowChar.txt has 4 lines that end with a line feed alone (Linux line ends); TARVEX reads "
       "lines that end with a carriage return and a line feed."},
      {"mixed line ends", heading + "\r\n01\t1\n02\t2\r\n03\t3\r\n", "line-ends", "Line Ends:",
       "FlowChar.txt has 1 lines that end with a line feed alone (Linux line ends) and 3 that "
       "end with a carriage return; TARVEX reads lines that end with a carriage return and a "
       "line feed."},
      {"a byte-order mark", "\xEF\xBB\xBF" + clean, "byte-order-mark", "Byte-Order Mark:",
       "FlowChar.txt starts with a UTF-8 byte-order mark, which TARVEX reads as part of its first "
       "heading."},
      {"commas", "Station ID,Q2\r\n01,1\r\n02,2\r\n03,3\r\n", "separator", "",
       "FlowChar.txt holds commas or semicolons and no tab: the tables are tab-separated (save "
       "it from the spreadsheet as tab-delimited text)."},
  };
  for (const Row& row : rows) {
    for (const char* answer : {"yes", "no"}) {
      SCOPED_TRACE(std::string(row.name) + ", " + answer);
      CheckHarness harness(std::string("answer ") + answer);
      harness.stations({"01", "02", "03"});
      harness.state.SiteInfoFileName = "SiteInfo.txt";
      harness.file("FlowChar.txt", row.bytes);
      const StationFileOutcome outcome = ReadStationFile(harness.context, "FlowChar.txt", 1);
      const bool mended = !row.question.empty() && std::string(answer) == "yes";
      ASSERT_FALSE(harness.state.Findings.empty());
      const Finding& finding = harness.state.Findings.front();
      EXPECT_EQ(finding.code, row.code);
      EXPECT_EQ(finding.text, row.text);
      EXPECT_EQ(finding.severity, mended ? Severity::Warning : Severity::Error);
      EXPECT_EQ(harness.state.Findings.size(), 1u) << "nothing else is found";
      EXPECT_EQ(outcome.errorFlag, mended ? 0 : 1);
      EXPECT_EQ(harness.state.ErrorCount + harness.state.WarningCount, 1);
      EXPECT_EQ(harness.read("FlowChar.txt"), mended ? clean : row.bytes);
      EXPECT_EQ(harness.read("FlowChar.txt-BadFile-12-7-2026.txt"), mended ? row.bytes : "");
      EXPECT_EQ(harness.transcript().find("== msgbox 4 \"" + row.question + "\""),
                row.question.empty() ? std::string::npos : 0u);
      if (!mended) continue;
      // Mended, it is clean: checked again, nothing is found.
      harness.state.Findings.clear();
      EXPECT_EQ(ReadStationFile(harness.context, "FlowChar.txt", 1).errorFlag, 0);
      EXPECT_TRUE(harness.state.Findings.empty());
    }
  }
}

// A table examined a piece at a time is examined as the whole bytes are, wherever the
// pieces split a line end or the mark.
TEST(TableForm, ExaminedInPiecesAsWhole) {
  const std::vector<std::string> texts = {
      "a\r\nb\r\n", "a\nb\n", "\nx",      "a\rb\r\n\n", "\357\273\277a\tb\r\n",
      "a,b;c\r\n",  "a,b\tc", "\xEF\xBB", "",           "a,b\r\nc\td\r\n"};
  for (const std::string& text : texts) {
    const TableForm whole = examineTable(text);
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
      TableFormScan scan;
      for (std::size_t at = 0; at < text.size(); at += piece)
        scan.add(std::string_view(text).substr(at, piece));
      const TableForm form = scan.form();
      EXPECT_EQ(form.lineFeedEnds, whole.lineFeedEnds) << text << " in pieces of " << piece;
      EXPECT_EQ(form.returnEnds, whole.returnEnds) << text << " in pieces of " << piece;
      EXPECT_EQ(form.byteOrderMark, whole.byteOrderMark) << text << " in pieces of " << piece;
      EXPECT_EQ(form.commasWithoutTabs, whole.commasWithoutTabs) << text << " pieces " << piece;
    }
  }
  EXPECT_EQ(examineTable("a\nb\r\nc\r").lineFeedEnds, 1);
  EXPECT_EQ(examineTable("a\nb\r\nc\r").returnEnds, 2);
  EXPECT_TRUE(examineTable("\xEF\xBB\xBF").byteOrderMark);
  EXPECT_TRUE(examineTable("a,b").commasWithoutTabs);
  EXPECT_FALSE(examineTable("a,b\tc").commasWithoutTabs);
}

TEST(TableForm, OnlyLineEndsAndTheMarkChange) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\rb", "a\r\nb"},
      {"\357\273\277a\tb\r\n", "a\tb\r\n"},
      {"a\r\n\nb\n\r\n", "a\r\n\r\nb\r\n\r\n"},
      {"x\xEF\xBB\xBFy\n", "x\xEF\xBB\xBFy\r\n"},
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(withWindowsLineEnds(in), out) << in;
}

}  // namespace
}  // namespace tarvex::testing

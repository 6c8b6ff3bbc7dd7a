#include "checks/station_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "check_harness.h"
#include "file_size_limit.h"
#include "finding_text.h"

namespace tarvex::testing {
namespace {

// Each text followed by CR LF, as reports and files are written.
std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kHeading = "Station ID\t Q2 \tQ10";

// The box that asks for the rewrite, as the transcript shows it.
std::string orderQuestion(long outOfOrder, long mismatched, const std::string& answer,
                          long changed) {
  std::string text = "Error: There are " + std::to_string(outOfOrder) +
                     " lines in file: \r\nLP3G.txt\r\nthat are out of order with respect to the "
                     "SiteInfo file.\r\n";
  if (mismatched > 0)
    text += "Also, there are: " + std::to_string(mismatched) + " lines that do not match.\r\n";
  text += "Do you want to rewrite LP3G.txt\r\nwith the proper order";
  if (mismatched > 0) text += ", but without the mismatched lines";
  text += "\r\n" + std::to_string(changed) + (changed == 1 ? " line" : " lines") +
          " of LP3G.txt would change.";
  return msgBoxBlock(kYesNo, "Lines out of order", text, answer);
}

// Three stations, as the flow characteristics check leaves the reference.
void loadReference(CheckHarness& harness, const std::vector<std::string>& stations) {
  harness.stations(stations);
  harness.state.SiteInfoFileName = "SiteInfo.txt";
  harness.state.FlowCharFileName = "FlowChar.txt";
  harness.state.FileColumnCounts[1] = 3;
  harness.state.FlowCharHeadings = {"", "Station ID", "Q2", "Q10"};
}

struct Row {
  std::string name;
  std::string data;  // the data lines of LP3G.txt, under kHeading
  std::string answers;
  std::vector<std::string> reports;  // texts shown in the viewer, in order
  std::string boxes;                 // the transcript
  int errorFlag, warningFlag;
  long errors, warnings;  // how much ErrorCount and WarningCount grew
  std::string rewritten;  // the data lines after a rewrite; empty when left as it was
  std::vector<std::string> stations = {"01", "02", "03"};
  std::vector<std::string> asRead = {};
};

TEST(StationFile, LinesMatchedCountedAndReordered) {
  const std::string p = "LP3G.txt file problems: ";
  const std::vector<Row> rows = {
      {"clean, in order", crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6"}), "", {}, "", 0, 0, 0, 0, ""},
      {"reversed, rewritten (+1)",
       crlf({"03\t5\t6", "02\t 3 \t4", "01\t1\t2"}),
       "answer yes",
       {},
       orderQuestion(2, 0, "yes", 2),
       0,
       1,
       0,
       1,
       crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6"})},
      {"reversed, declined (+2)",
       crlf({"03\t5\t6", "02\t3\t4", "01\t1\t2"}),
       "answer no",
       {crlf({p, "Stations in proper order:", "", "01\t1\t2", "02\t3\t4", "03\t5\t6"})},
       orderQuestion(2, 0, "no", 2),
       0,
       1,
       0,
       2,
       ""},
      {"repaired numbers match by the zero and are written repaired",
       crlf({"3456789\t5\t6", "2345678\t3\t4", "1234567\t1\t2"}),
       "answer yes",
       {},
       orderQuestion(2, 0, "yes", 3),
       0,
       1,
       0,
       1,
       crlf({"01234567\t1\t2", "02345678\t3\t4", "03456789\t5\t6"}),
       {"01234567", "02345678", "03456789"}},
      {"old numbers match as read and are written repaired",
       crlf({"X3\t5\t6", "02\t3\t4", "A01\t1\t2"}),
       "answer yes",
       {},
       orderQuestion(2, 0, "yes", 2),
       0,
       1,
       0,
       1,
       crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6"}),
       {"01", "02", "03"},
       {"A01", "02", "X3"}},
      {"a trailing blank matches nothing (+2)",
       crlf({"01\t1\t2", "02 \t3\t4", "03\t5\t6"}),
       "",
       {crlf({p, "Mismatched input lines: ", "Line: 2\t02 \t3\t4"})},
       "",
       0,
       1,
       0,
       2,
       ""},
      {"more and fewer fields, rebuilt to the heading's width",
       crlf({"03\t5\t6", "02\t3", "01\t1\t2\t9"}),
       "answer no",
       {crlf({p, "Line: 2 Station: 02 Has fewer fields (2) than the heading line (3)",
              "Line: 3 Station: 01 Has more  fields (4) than the heading line (3)"}),
        crlf({p, "Stations in proper order:", "", "01\t1\t2", "02\t3\t", "03\t5\t6"})},
       orderQuestion(2, 0, "no", 2),
       0,
       1,
       2,
       2,
       ""},
      {"an extra line, out of order, rewritten without it (+3)",
       crlf({"09\t1\t2", "01\t1\t2", "02\t3\t4", "03\t5\t6"}),
       "answer yes",
       {crlf({p,
              "Error: the number of stations in the file: LP3G.txt (4) is not equal to the "
              "number of stations in the site info file: SiteInfo.txt (3)"}),
        crlf({p, "Mismatched stations:", "", "Line: 1\t09\t1\t2"})},
       orderQuestion(3, 1, "yes", 1),
       1,
       1,
       1,
       3,
       crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6"})},
      {"an extra line, out of order, declined (+3)",
       crlf({"09\t1\t2", "01\t1\t2", "02\t3\t4", "03\t5\t6"}),
       "answer no",
       {crlf({p,
              "Error: the number of stations in the file: LP3G.txt (4) is not equal to the "
              "number of stations in the site info file: SiteInfo.txt (3)"}),
        crlf({p, "Stations in proper order:", "", "01\t1\t2", "02\t3\t4", "03\t5\t6", "",
              "Mismatched stations:", "", "Line: 1\t09\t1\t2"})},
       orderQuestion(3, 1, "no", 1),
       1,
       1,
       1,
       3,
       ""},
      // Two lines for one station: a rewrite in order would lose one, so none is offered.
      {"an extra line repeating a station is an error and stops the rewrite",
       crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6", "03\t7\t8"}),
       "answer yes",
       {crlf({p,
              "Error: the number of stations in the file: LP3G.txt (4) is not equal to the "
              "number of stations in the site info file: SiteInfo.txt (3)",
              "Error: Station 03 is on line 4 and on line 5 of LP3G.txt"}),
        crlf({p, "Stations in proper order:", "", "01\t1\t2", "02\t3\t4", "03\t7\t8"})},
       msgBoxBlock(kExclamation, "Lines out of order",
                   "Error: There are 1 lines in file: \r\nLP3G.txt\r\nthat are out of order "
                   "with respect to the SiteInfo file.\r\nA station is on more than one line of "
                   "the file, so it is not rewritten in order: please remove the repeated lines "
                   "first."),
       1,
       1,
       2,
       2,
       ""},
      {"a station that no line matched is written as an empty line",
       crlf({"02\t3\t4", "01\t1\t2"}),
       "answer yes",
       {crlf({p,
              "Error: the number of stations in the file: LP3G.txt (2) is not equal to the "
              "number of stations in the site info file: SiteInfo.txt (3)"})},
       orderQuestion(2, 0, "yes", 2),
       1,
       1,
       1,
       1,
       crlf({"01\t1\t2", "02\t3\t4", ""})},
      {"one line only",
       crlf({"01\t1\t2"}),
       "",
       {crlf({p,
              "Error: the number of stations in the file: LP3G.txt (1) is not equal to the "
              "number of stations in the site info file: SiteInfo.txt (3)",
              "Error: There is only one station in the flow characteristics file"})},
       "",
       1,
       0,
       2,
       0,
       ""},
      {"an empty first field is an error without a line of its own",
       crlf({"01\t1\t2", "\t3", "03\t5\t6"}),
       "",
       {crlf({p, "Line: 2 Has fewer fields (2) than the heading line (3)"}),
        crlf({p, "Mismatched input lines: ", "Line: 2\t\t3"})},
       "",
       1,
       1,
       2,
       2,
       ""},
      {"a blank line is one blank field",
       "01\t1\t2\r\n\r\n03\t5\t6",
       "",
       {crlf({p, "Line: 2 Station:   Has fewer fields (1) than the heading line (3)"}),
        crlf({p, "Mismatched input lines: ", "Line: 2\t "})},
       "",
       0,
       1,
       1,
       2,
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness(row.answers);
    loadReference(harness, row.stations);
    if (!row.asRead.empty()) harness.state.StationNumbersAsRead.assign(1, "");
    for (const std::string& number : row.asRead)
      harness.state.StationNumbersAsRead.push_back(number);
    const std::string original = kHeading + "\r\n" + row.data;
    harness.file("LP3G.txt", original);

    const StationFileOutcome outcome = ReadStationFile(harness.context, "LP3G.txt", kLP3GFile);

    EXPECT_EQ(outcome.errorFlag, row.errorFlag);
    EXPECT_EQ(outcome.warningFlag, row.warningFlag);
    EXPECT_EQ(harness.state.ErrorCount, row.errors);
    EXPECT_EQ(harness.state.WarningCount, row.warnings);
    EXPECT_EQ(harness.report.shownReports, row.reports);
    EXPECT_EQ(harness.transcript(), row.boxes);
    EXPECT_EQ(harness.read("LP3G.txt"),
              row.rewritten.empty() ? original : kHeading + "\r\n" + row.rewritten);
  }
}

TEST(StationFile, HeadingsAgainstTheFlowCharacteristicsFile) {
  struct HeadingRow {
    std::string name;
    int kind;
    std::string file;
    std::string report;
    int errorFlag, warningFlag;
    long errors, warnings;
  };
  const std::string data = crlf({"01\t1\t2", "02\t3\t4", "03\t5\t6"});
  const std::vector<HeadingRow> rows = {
      {"the same headings after trimming", 3, " Station ID\tQ2\tQ10 \r\n" + data, "", 0, 0, 0, 0},
      {"headings are compared with case", 3, "Station ID\tq2\tQ10\r\n" + data,
       crlf({"LP3K.txt file problems: ",
             "Warning: The heading: q2 in file: LP3K.txt does not match the heading Q2 in flow "
             "characteristics file: FlowChar.txt"}),
       0, 1, 0, 1},
      {"a column more than the flow characteristics file", 4,
       "Station ID\tQ2\tQ10\tQ100\r\n" + crlf({"01\t1\t2\t3", "02\t3\t4\t5", "03\t5\t6\t7"}),
       crlf({"LP3s.txt file problems: ",
             "Error: The  file: LP3s.txt has: 4 columns and the flow characteristics file: "
             "FlowChar.txt has: 3"}),
       1, 0, 1, 0},
      {"a column less, and the headings there compared", 2,
       "Station ID\tQ5\r\n" + crlf({"01\t1", "02\t3", "03\t5"}),
       crlf({"LP3G.txt file problems: ",
             "Error: The  file: LP3G.txt has: 2 columns and the flow characteristics file: "
             "FlowChar.txt has: 3",
             "Warning: The heading: Q5 in file: LP3G.txt does not match the heading Q2 in flow "
             "characteristics file: FlowChar.txt"}),
       1, 1, 1, 1},
      {"an empty heading line is one blank heading, not counted", 1,
       "\r\n" + crlf({"01", "02", "03"}),
       crlf({"FlowChar.txt file problems: ",
             "Error: The  file: FlowChar.txt has only 1. It should have 2 or more."}),
       1, 0, 0, 0},
  };
  const char* names[] = {"", "FlowChar.txt", "LP3G.txt", "LP3K.txt", "LP3s.txt"};
  for (const HeadingRow& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness;
    loadReference(harness, {"01", "02", "03"});
    harness.file(names[row.kind], row.file);

    const StationFileOutcome outcome = ReadStationFile(harness.context, names[row.kind], row.kind);

    EXPECT_EQ(outcome.errorFlag, row.errorFlag);
    EXPECT_EQ(outcome.warningFlag, row.warningFlag);
    EXPECT_EQ(harness.state.ErrorCount, row.errors);
    EXPECT_EQ(harness.state.WarningCount, row.warnings);
    EXPECT_EQ(harness.report.shownReports,
              row.report.empty() ? std::vector<std::string>{} : std::vector{row.report});
  }
}

TEST(StationFile, FlowCharacteristicsFileSetsTheReference) {
  CheckHarness harness;
  harness.stations({"01", "02"});
  harness.file("FlowChar.txt", crlf({"Station ID \t A\tB", "01\t1\t2", "02\t3\t4"}));
  harness.state.FileColumnCounts[1] = 7;

  const StationFileOutcome outcome = ReadStationFile(harness.context, "FlowChar.txt", 1);

  EXPECT_EQ(outcome.errorFlag, 0);
  EXPECT_EQ(harness.state.FileColumnCounts[1], 3);
  EXPECT_EQ(harness.state.FlowCharHeadings, (std::vector<std::string>{"", "Station ID", "A", "B"}));
}

TEST(StationFile, EveryProblemIsRecordedWhenFound) {
  CheckHarness harness("answer no");
  loadReference(harness, {"01", "02", "03"});
  harness.file("LP3G.txt",
               crlf({"Station ID\tQ2\tq10", "02\t3\t4\t5", "\t1\t2", "01\t1\t2", "03\t5\t6"}));

  ReadStationFile(harness.context, "LP3G.txt", kLP3GFile);

  EXPECT_EQ(findingTexts(harness.state.Findings),
            (std::vector<std::string>{
                "LP3G.txt|1||3|W|Warning: The heading: q10 in file: LP3G.txt does not match the "
                "heading Q10 in flow characteristics file: FlowChar.txt",
                "LP3G.txt||||E|Error: the number of stations in the file: LP3G.txt (4) is not "
                "equal to the number of stations in the site info file: SiteInfo.txt (3)",
                "LP3G.txt|2|02||E|Line: 1 Station: 02 Has more  fields (4) than the heading line "
                "(3)",
                "LP3G.txt|3||1|E|Station Error Line: 2",
                "LP3G.txt|2|||W|Error: There are 3 lines in file: \r\nLP3G.txt\r\nthat are out of "
                "order with respect to the SiteInfo file.\r\nAlso, there are: 1 lines that do not "
                "match.",
                "LP3G.txt|3|||W|Mismatched stations:",
                "LP3G.txt||||W|LP3G.txt file problems: \r\nStations in proper order:",
            }));
  // One finding a count, and the blocks keep their lines: each points at its line of the
  // file, with the station it gives and the one that belongs there.
  EXPECT_EQ(harness.state.ErrorCount, 3);
  EXPECT_EQ(harness.state.WarningCount, 4);
  const auto& findings = harness.state.Findings;
  const auto itemsOf = [](const Finding& finding) {
    std::vector<std::string> items;
    for (const FindingItem& item : finding.items)
      items.push_back(std::to_string(item.line.value_or(0)) + " " + item.station.value_or("-") +
                      " " + item.expected.value_or("-"));
    return items;
  };
  EXPECT_EQ(itemsOf(findings[4]), (std::vector<std::string>{"2 02 01", "4 01 03", "5 03 -"}));
  EXPECT_EQ(itemsOf(findings[5]), std::vector<std::string>{"3 - 02"});
  EXPECT_EQ(findings[0].expected, "Q10");
  std::vector<std::string> codes;
  for (const Finding& finding : findings) codes.push_back(finding.code);
  EXPECT_EQ(codes, (std::vector<std::string>{"heading-mismatch", "station-count", "long-line",
                                             "no-station-number", "lines-out-of-order",
                                             "unmatched-lines", "file-report"}));
}

// A station on two lines of the site information file: a line for it matches both
// entries, and no rewrite in order can keep them apart.
TEST(StationFile, AStationListedTwiceIsMatchedByBothEntries) {
  CheckHarness harness("answer yes");
  loadReference(harness, {"01", "02", "02"});
  const std::string original = crlf({kHeading, "01\t1\t2", "02\t3\t4", "09\t5\t6"});
  harness.file("LP3G.txt", original);

  ReadStationFile(harness.context, "LP3G.txt", kLP3GFile);

  EXPECT_EQ(findingTexts(harness.state.Findings),
            (std::vector<std::string>{
                "LP3G.txt|3|02|1|E|Error: Station 02 on line 3 of LP3G.txt matches 2 stations of "
                "the site information file",
                "LP3G.txt|3|||W|Error: There are 1 lines in file: \r\nLP3G.txt\r\nthat are out of "
                "order with respect to the SiteInfo file.\r\nAlso, there are: 1 lines that do not "
                "match.",
                "LP3G.txt|4|||W|Mismatched stations:",
                "LP3G.txt||||W|LP3G.txt file problems: \r\nStations in proper order:",
            }));
  // Both entries hold the line's values; the rewrite is refused, not asked.
  EXPECT_NE(harness.report.shownReports.back().find("01\t1\t2\r\n02\t3\t4\r\n02\t3\t4\r\n"),
            std::string::npos);
  EXPECT_EQ(harness.transcript().rfind("== msgbox 48 \"Lines out of order\"", 0), 0u);
  EXPECT_EQ(harness.read("LP3G.txt"), original);
}

TEST(StationFile, FailuresEndTheCheckThroughItsTrap) {
  struct FailureRow {
    std::string name;
    std::optional<std::string> file;  // none: missing
    int errorFlag;
    long errors;
  };
  const std::vector<FailureRow> rows = {
      {"a missing file", std::nullopt, 53, 1},
      {"an empty file", "", 62, 1},
      {"a heading line only", kHeading + "\r\n", 9, 3},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness;
    loadReference(harness, {"01", "02", "03"});
    if (row.file) harness.file("LP3G.txt", *row.file);

    const StationFileOutcome outcome = ReadStationFile(harness.context, "LP3G.txt", kLP3GFile);

    EXPECT_EQ(outcome.errorFlag, row.errorFlag);
    EXPECT_EQ(harness.state.ErrorCount, row.errors);
    EXPECT_TRUE(harness.report.shownReports.empty());
    EXPECT_EQ(harness.transcript(), msgBoxBlock(kCritical, "Sub ReadStationFile",
                                                "Error: " + std::to_string(row.errorFlag) + " " +
                                                    errorDescription(row.errorFlag)));
    EXPECT_EQ(harness.state.Findings.back().text,
              "Error: " + std::to_string(row.errorFlag) + " " + errorDescription(row.errorFlag));
  }
}

TEST(StationFile, FailedRewriteLeavesTheFileAsItWas) {
  CheckHarness harness("answer yes");
  loadReference(harness, {"01", "02", "03"});
  const std::string original = crlf({kHeading, "03\t5\t6", "02\t3\t4", "01\t1\t2"});
  harness.file("LP3G.txt", original);

  StationFileOutcome outcome;
  {
    const FileSizeLimit limit(16);
    outcome = ReadStationFile(harness.context, "LP3G.txt", kLP3GFile);
  }

  EXPECT_EQ(outcome.errorFlag, 61);
  EXPECT_EQ(harness.read("LP3G.txt"), original);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(harness.dataDir.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(harness.transcript(),
            orderQuestion(2, 0, "yes", 2) +
                msgBoxBlock(kCritical, "Sub ReadStationFile", "Error: 61 Disk full"));
  EXPECT_EQ(harness.state.ErrorCount, 1);
  EXPECT_EQ(harness.state.WarningCount, 1);
}

}  // namespace
}  // namespace tarvex::testing

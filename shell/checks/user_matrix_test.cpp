#include "checks/user_matrix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "check_harness.h"
#include "file_size_limit.h"
#include "finding_text.h"
#include "tables/table_rules.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

long entries(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

const std::string kIdentity = crlf({"1\t0\t0", "0\t1\t0", "0\t0\t1"});
const std::string kBackup = "-BadFile-12-7-2026.txt";

struct Row {
  std::string name;
  std::vector<std::string> stations;
  bool headings;
  std::string matrix;  // the bytes of M.txt
  std::string report;  // the text shown, without the file's heading line; empty for none
  int status;
  long errors, warnings;
  std::string written;  // USERWLS.txt afterwards; empty when not written
};

TEST(UserMatrix, ShapeHeadingsAndValues) {
  const std::vector<std::string> three = {"01", "02", "03"};
  const std::string fatal = ") than stations in the SiteInfo file: (3) This is a fatal error.";
  const std::string shape =
      "Errors in the number of columns or rows preclude more detailed checks.\r\n"
      "Please make sure your station-number heading selection is correct. \r\n";
  const std::vector<Row> rows = {
      {"the clean 3x3", three, false, crlf({"1.0\t0\t0", "0\t1\t0", "0\t0\t1"}), "", 0, 0, 0,
       kIdentity},
      {"headings without their leading zeros", three, true,
       crlf({"Station\t1\t2\t3", "1\t1\t0\t0", "2\t0\t1\t0", "3\t0\t0\t1"}), "", 0, 0, 0,
       kIdentity},
      {"headings in another order, written in the file's order", three, true,
       crlf({"\t03\t01\t02", "02\t1\t0.25\t0", "03\t0\t1\t0.5", "01\t0\t0\t1"}), "", 0, 0, 0,
       crlf({"1\t0.25\t0", "0\t1\t0.5", "0\t0\t1"})},
      {"a line of four fields", three, false, crlf({"1\t0\t0", "0\t1\t0\t0", "0\t0\t1"}),
       shape + crlf({"Error Line: 2 Has more data fields (4" + fatal}), -9999, 1, 1, ""},
      {"a letter in the first row", three, false, crlf({"1\tx\t0", "0\t1\t0", "0\t0\t1"}),
       crlf({"Error Line: 0 Column: 2 has a nonnumeric value: x"}), -9999, 1, 1, ""},
      {"-99999 is no number, -1 is negative", three, false,
       crlf({"1\t0\t0", "0\t1\t-99999", "-1\t0\t1"}),
       crlf({"Error Line: 1 Column: 3 has a nonnumeric value: -99999",
             "Error Line: 2 Column: 1 has a negative value: -1"}),
       -9999, 2, 1, ""},
      {"diagonal 0.5 of four rounds to 0",
       {"1", "2", "3", "4"},
       false,
       crlf({"0.5\t0\t0\t0", "0\t0.5\t0\t0", "0\t0\t0.5\t0", "0\t0\t0\t0.5"}),
       crlf({"Warning: The sum of matrix diagonals (2) should sum to the number of stations (4)"}),
       0,
       0,
       2,
       crlf({"0.5\t0\t0\t0", "0\t0.5\t0\t0", "0\t0\t0.5\t0", "0\t0\t0\t0.5"})},
      {"diagonal 1.5 of four rounds to 2",
       {"1", "2", "3", "4"},
       false,
       crlf({"1.5\t0\t0\t0", "0\t1.5\t0\t0", "0\t0\t1.5\t0", "0\t0\t0\t1.5"}),
       crlf({"Warning: The sum of matrix diagonals (6) should sum to the number of stations (4)"}),
       0,
       0,
       2,
       crlf({"1.5\t0\t0\t0", "0\t1.5\t0\t0", "0\t0\t1.5\t0", "0\t0\t0\t1.5"})},
      {"diagonal 1.4 of four rounds to 1",
       {"1", "2", "3", "4"},
       false,
       crlf({"1.4\t0\t0\t0", "0\t1.4\t0\t0", "0\t0\t1.4\t0", "0\t0\t0\t1.4"}),
       "",
       0,
       0,
       0,
       crlf({"1.4\t0\t0\t0", "0\t1.4\t0\t0", "0\t0\t1.4\t0", "0\t0\t0\t1.4"})},
      {"the headings flag on a file without headings", three, true,
       crlf({"1\t0\t0", "0\t1\t0", "0\t0\t1"}),
       shape + crlf({"Error Line: 1 Has fewer data fields (2" + fatal,
                     "Error Line: 2 Has fewer data fields (2" + fatal,
                     "Error Line: 3 Has fewer data fields (2" + fatal,
                     "Error: the file has 2 data lines, which is less than the number of "
                     "stations in the SiteInfo file: (3) This is a fatal error."}),
       -9999, 4, 1, ""},
      {"an empty line under headings has no field at all",
       {"01"},
       true,
       crlf({"\t01", "01\t1", ""}),
       shape + crlf({"Error Line: 3 Has fewer data fields (-1) than stations in the SiteInfo "
                     "file: (1) This is a fatal error.",
                     "Error: the file has 2 data lines, which is more than the number of "
                     "stations in the SiteInfo file: (1) This is a fatal error."}),
       -9999,
       2,
       1,
       ""},
      {"stations missing from the headings, listed last station first", three, true,
       crlf({"\t01\t99\t03", "01\t1\t0\t0", "98\t0\t1\t0", "97\t0\t0\t1"}),
       crlf({"Errors in the order of station numbers in the rows/or and columns.",
             "Please make sure your station data is in the correct order. ",
             "We cannot check errors in the diagonals if the station numbers are off",
             "Error: the station 03 does not exist in the  (first) heading column.",
             "Error: the station 02 does not exist in the  (first) heading column.",
             "Error: the station 02 does not exist in the (first) heading row."}),
       -9999, 3, 1, ""},
      {"a 1x1 matrix", {"01"}, false, "1", "", 0, 0, 0, "1\r\n"},
      {"a 1x1 matrix with headings", {"01"}, true, crlf({"x\t1", "1\t1"}), "", 0, 0, 0, "1\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness;
    harness.stations(row.stations);
    harness.file("M.txt", row.matrix);

    const UserMatrixOutcome outcome = SubReadUserWLS(harness.context, "M.txt", row.headings);

    EXPECT_EQ(outcome.Status, row.status);
    EXPECT_EQ(outcome.warningFlag, 0);
    EXPECT_EQ(harness.state.ErrorCount, row.errors);
    EXPECT_EQ(harness.state.WarningCount, row.warnings);
    EXPECT_EQ(harness.report.shownReports,
              row.report.empty() ? std::vector<std::string>{}
                                 : std::vector{"M.txt file problems: \r\n" + row.report});
    EXPECT_EQ(harness.transcript(), "");
    if (row.written.empty())
      EXPECT_FALSE(fs::exists(harness.dataDir.path() / "USERWLS.txt"));
    else
      EXPECT_EQ(harness.read("USERWLS.txt"), row.written);
    EXPECT_EQ(harness.read("M.txt"), row.matrix);
  }
}

TEST(UserMatrix, AsksBeforeAHeadedMatrixIsOverwrittenByItsCopy) {
  const std::string headed = crlf({"\t01\t02\t03", "01\t1\t0\t0", "02\t0\t1\t0", "03\t0\t0\t1"});
  const std::string question =
      msgBoxBlock(kYesNo, "Overwrite USERWLS.txt:",
                  "TARVEX shell will overwrite your USERWLS.txt file, which contains heading "
                  "lines.\r\nDo you want to proceed?\r\n4 lines of USERWLS.txt would change.",
                  "no");
  struct QuestionRow {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes
    std::string matrix;
    bool headings;
    std::string answers;
    std::string transcript;
    std::vector<std::pair<std::string, std::string>> after;  // every file of the folder
  };
  const std::string yes = question.substr(0, question.size() - 3) + "yes\n";
  const std::vector<QuestionRow> rows = {
      {"USERWLS.txt itself, declined",
       {{"USERWLS.txt", headed}},
       "USERWLS.txt",
       true,
       "",
       question.substr(0, question.size() - 1) + " (default)\n",
       {{"USERWLS.txt", headed}}},
      {"USERWLS.txt itself, accepted",
       {{"USERWLS.txt", headed}},
       "USERWLS.txt",
       true,
       "answer yes",
       yes,
       {{"USERWLS.txt", kIdentity}, {"USERWLS.txt" + kBackup, headed}}},
      {"UserWLS.txt, declined",
       {{"UserWLS.txt", headed}},
       "UserWLS.txt",
       true,
       "answer no",
       question,
       {{"UserWLS.txt", headed}}},
      {"UserWLS.txt, accepted, replaced under its own name",
       {{"UserWLS.txt", headed}},
       "UserWLS.txt",
       true,
       "answer yes",
       yes,
       {{"UserWLS.txt", kIdentity}, {"UserWLS.txt" + kBackup, headed}}},
      {"a full path names the same file",
       {{"userwls.TXT", headed}},
       "<dir>userwls.TXT",
       true,
       "answer no",
       question,
       {{"userwls.TXT", headed}}},
      {"UserWLS.txt beside a USERWLS.txt of its own",
       {{"UserWLS.txt", headed}, {"USERWLS.txt", "old"}},
       "UserWLS.txt",
       true,
       "",
       "",
       {{"USERWLS.txt", kIdentity}, {"USERWLS.txt" + kBackup, "old"}, {"UserWLS.txt", headed}}},
      {"USERWLS.txt without headings is rewritten without a question",
       {{"USERWLS.txt", crlf({"1.0\t0\t0", "0\t1\t0", "0\t0\t1"})}},
       "USERWLS.txt",
       false,
       "",
       "",
       {{"USERWLS.txt", kIdentity},
        {"USERWLS.txt" + kBackup, crlf({"1.0\t0\t0", "0\t1\t0", "0\t0\t1"})}}},
      {"the copy the check wrote is accepted and left as it is",
       {{"USERWLS.txt", kIdentity}},
       "USERWLS.txt",
       false,
       "",
       "",
       {{"USERWLS.txt", kIdentity}}},
      {"another name gets its copy without a question",
       {{"MyWLS.txt", headed}},
       "MyWLS.txt",
       true,
       "",
       "",
       {{"MyWLS.txt", headed}, {"USERWLS.txt", kIdentity}}},
  };
  for (const QuestionRow& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness(row.answers);
    harness.stations({"01", "02", "03"});
    for (const auto& [name, bytes] : row.files) harness.file(name, bytes);
    std::string matrix = row.matrix;
    if (matrix.starts_with("<dir>")) matrix = harness.dataDir.dir() + matrix.substr(5);

    const UserMatrixOutcome outcome = SubReadUserWLS(harness.context, matrix, row.headings);

    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(harness.transcript(), row.transcript);
    std::vector<std::pair<std::string, std::string>> after;
    for (const auto& entry : fs::directory_iterator(harness.dataDir.path())) {
      const std::string name = entry.path().filename().string();
      after.emplace_back(name, harness.read(name));
    }
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, row.after);
  }
}

TEST(UserMatrix, FindingsCarryLineColumnAndStation) {
  struct FindingRow {
    bool headings;
    std::string matrix;
    std::vector<std::string> findings;
  };
  const std::vector<FindingRow> rows = {
      {false,
       crlf({"1\t0", "0\t1\t0"}),
       {"M.txt|2|||E|Error Line: 2 Has more data fields (3) than stations in the SiteInfo file: "
        "(2) This is a fatal error.",
        "M.txt||||W|M.txt file problems: "}},
      {true,
       crlf({"\t01\t03", "01\t1\t0", "03\t0\t1"}),
       // The station that is missing is what the headings should have held.
       {"M.txt|1|||E|Error: the station 02 does not exist in the (first) heading row.",
        "M.txt|||1|E|Error: the station 02 does not exist in the  (first) heading column.",
        "M.txt||||W|M.txt file problems: "}},
      // The text counts data rows from 0 and columns without the heading; the finding points
      // at the line and field of the file.
      {true,
       crlf({"\t01\t02", "01\t1\tx", "02\t0\t2"}),
       {"M.txt|2|01|3|E|Error Line: 0 Column: 2 has a nonnumeric value: x",
        "M.txt||||W|Warning: The sum of matrix diagonals (3) should sum to the number of "
        "stations (2)",
        "M.txt||||W|M.txt file problems: "}},
      {false,
       crlf({"1\t0", "-1\t1"}),
       {"M.txt|2||1|E|Error Line: 1 Column: 1 has a negative value: -1",
        "M.txt||||W|M.txt file problems: "}},
  };
  for (const FindingRow& row : rows) {
    CheckHarness harness;
    harness.stations({"01", "02"});
    harness.file("M.txt", row.matrix);

    SubReadUserWLS(harness.context, "M.txt", row.headings);

    EXPECT_EQ(findingTexts(harness.state.Findings), row.findings);
    // Every count is one finding.
    long errors = 0, warnings = 0;
    for (const Finding& f : harness.state.Findings)
      ++(f.severity == Severity::Error ? errors : warnings);
    EXPECT_EQ(harness.state.ErrorCount, errors);
    EXPECT_EQ(harness.state.WarningCount, warnings);
  }
}

// A matrix larger than the blocks it is read and written in, its values written every way
// a program may write them: the copy holds each as numberText writes it, and an error on the
// last line, found after most of the copy was written, leaves no copy behind.
TEST(UserMatrix, LargeMatricesCopiedValueByValue) {
  constexpr int kStations = 700;
  std::vector<std::string> stations;
  for (int i = 0; i < kStations; ++i) stations.push_back(std::to_string(1000 + i));
  const std::vector<std::string> texts = {"0.05",
                                          "0.050",
                                          "5e-2",
                                          "0.0500000000000000028",
                                          "1e-07",
                                          "0.0000001",
                                          "+0.25",
                                          " 0.5 ",
                                          "3",
                                          "3.0",
                                          "0",
                                          "-0",
                                          "0.1234567890123456",
                                          "1000000",
                                          "12.5",
                                          "00.75"};
  std::string headed = "Station";
  for (const std::string& station : stations) headed += "\t" + station;
  headed += "\r\n";
  std::string expected;
  for (int r = 0; r < kStations; ++r) {
    headed += stations[r];
    for (int c = 0; c < kStations; ++c) {
      const std::string text = r == c ? std::string("1") : texts[(r * 7 + c) % texts.size()];
      headed += "\t" + text;
      expected += (c > 0 ? "\t" : "") + numberText(fnToDouble(text));
    }
    headed += "\r\n";
    expected += "\r\n";
  }
  ASSERT_GT(expected.size(), std::size_t{2} << 20);
  // The last line loses its last value; or its last value is no number.
  const std::string shortLast = headed.substr(0, headed.rfind('\t')) + "\r\n";
  const std::string letterLast = shortLast.substr(0, shortLast.size() - 2) + "\tx\r\n";
  struct LargeRow {
    std::string name;
    std::string matrix;
    long errors;
    std::string written;
  };
  const std::vector<LargeRow> rows = {
      {"sound", headed, 0, expected},
      {"a short last line", shortLast, 1, ""},
      {"no number at the end", letterLast, 1, ""},
  };
  for (const LargeRow& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness;
    harness.stations(stations);
    harness.file("M.txt", row.matrix);
    harness.file("USERWLS.txt", "the old copy");

    SubReadUserWLS(harness.context, "M.txt", true);

    EXPECT_EQ(harness.state.ErrorCount, row.errors);
    EXPECT_EQ(harness.read("USERWLS.txt"), row.written.empty() ? "the old copy" : row.written);
    // Nothing but the two files and, when the copy was replaced, the old copy's backup.
    EXPECT_EQ(entries(harness.dataDir.path()), row.written.empty() ? 2 : 3);
    // How far the reading has come, told as it goes, never back, and ended: first the
    // line ends, read a block at a time, then the values, a line at a time.
    const auto& progress = harness.report.progress;
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().what, "line ends of M.txt");
    EXPECT_EQ(progress.back().what, "M.txt");
    EXPECT_GT(progress.size(), 10u);
    for (std::size_t i = 0; i < progress.size(); ++i) {
      EXPECT_EQ(progress[i].total, row.matrix.size());
      EXPECT_LE(progress[i].done, progress[i].total);
      if (i == 0) continue;
      if (progress[i].what == progress[i - 1].what) {
        EXPECT_GT(progress[i].done, progress[i - 1].done);
      } else {
        EXPECT_EQ(progress[i].what, "M.txt");
      }
    }
    EXPECT_EQ(harness.report.progressEnds, 2);
  }
}

TEST(UserMatrix, FailuresGoThroughTheTraps) {
  struct FailureRow {
    std::string name;
    std::vector<std::string> stations;
    bool writeMatrix;
    int status;
  };
  const std::vector<FailureRow> rows = {
      {"a missing matrix file", {"01", "02", "03"}, false, 53},
      {"no station leaves no matrix (0x0)", {}, true, 9},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.name);
    CheckHarness harness;
    harness.stations(row.stations);
    if (row.writeMatrix) harness.file("M.txt", "");

    const UserMatrixOutcome outcome = SubReadUserWLS(harness.context, "M.txt", false);

    EXPECT_EQ(outcome.Status, row.status);
    EXPECT_EQ(harness.state.ErrorCount, 1);
    EXPECT_TRUE(harness.report.shownReports.empty());
    EXPECT_EQ(harness.transcript(), msgBoxBlock(kCritical, "Sub SubReadUserWLS",
                                                "Error: " + std::to_string(row.status) + " " +
                                                    errorDescription(row.status)));
    EXPECT_FALSE(fs::exists(harness.dataDir.path() / "USERWLS.txt"));
  }
}

TEST(UserMatrix, FailedWriteKeepsTheOldCopyAndDisablesTheSteps) {
  CheckHarness harness;
  harness.stations({"01", "02", "03"});
  harness.file("M.txt", crlf({"1\t0\t0", "0\t1\t0", "0\t0\t1"}));
  harness.file("USERWLS.txt", "the old copy");

  UserMatrixOutcome outcome;
  {
    const FileSizeLimit limit(8);
    outcome = SubReadUserWLS(harness.context, "M.txt", false);
  }

  EXPECT_EQ(outcome.Status, 61);
  EXPECT_EQ(harness.read("USERWLS.txt"), "the old copy");
  EXPECT_EQ(entries(harness.dataDir.path()), 2);
  EXPECT_EQ(
      harness.transcript(),
      msgBoxBlock(kCritical, "Error: MakeUSERWLStxt:", "Error: 61\r\nType of Error: Disk full") +
          msgBoxBlock(kCritical, "User-Defined Matrix Problem:",
                      "Please inspect the USERWLS.txt file for problems"));
  EXPECT_EQ(harness.state.ErrorCount, 1);
  EXPECT_TRUE(harness.report.stepsDisabled);
}

}  // namespace
}  // namespace tarvex::testing

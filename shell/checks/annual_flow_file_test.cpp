#include "checks/annual_flow_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace tarvex::testing {
namespace {

// The messages as report lines of the file Q.txt; the failure line names no file.
std::string reportLines(const std::vector<std::string>& messages) {
  std::string text;
  for (const std::string& message : messages)
    text += (message.starts_with("TestAnnualFlowFile") ? "" : "Q.txt") + message + "\r\n";
  return text;
}

// `count` lines "S<TAB>year<TAB>1", the years rising from 10000 (five digits, so that
// every line has the same length).
std::string risingSeries(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "S\t" + std::to_string(10000 + i) + "\t1\r\n";
  return text;
}

TEST(AnnualFlowFile, WaterYearTurnsInOctober) {
  EXPECT_EQ(currentWaterYear({2011, 9, 30}), 2011);
  EXPECT_EQ(currentWaterYear({2011, 10, 1}), 2012);
  EXPECT_EQ(currentWaterYear({2012, 1, 1}), 2012);
}

TEST(AnnualFlowFile, LinesCheckedAndGathered) {
  const std::string kMissingField = "TestAnnualFlowFile subroutine error: 9 Subscript out of range";
  struct Row {
    std::string bytes;
    std::vector<std::string> errors, warnings;
    std::string out;
    long waterYear = 2027;
  };
  const std::vector<Row> rows = {
      {"01234567\t1990\t5\r\n01234567\t1991\t6\r\n01234567\t1993\t7\r\n",
       {},
       {" Line 3 last year: 1991 this year: 1993 there are one or more missing values"},
       "DOVL01234567\t1990\t5\r\nDOVL01234567\t1991\t6\r\nDOVL01234567\t1993\t7"},
      {"DOVL01234567\t1990\t5\r\nDOVL01234567\t1990\t6\r\nDOVL01234567\t1989\t7",
       {" Line 2 year 1990 = last year 1990 there are two or more values for this year.",
        " Line 3 this year 1989 is before last year: 1990"},
       {},
       "DOVL01234567\t1990\t5"},
      {"S\t2011\t5\r\nS\t2012\t5\r\n",
       {},
       {"Line 2 2012 year is outside the range 1879 to 2011"},
       "S\t2011\t5\r\nS\t2012\t5",
       2011},
      // The first year of the range and the water year itself are inside it.
      {"S\t1879\t5\r\nS\t1880\t6\r\n", {}, {}, "S\t1879\t5\r\nS\t1880\t6", 1880},
      // An unusable year leaves 0 as the last year.
      {"S\t1878\t1\r\nS\tabc\t1\r\nS\t1992\t1\r\nS\t-9999\t1\r\n",
       {" Line 2 abc year is not a numeric year value.", " Line 2 year<= 0", " Line 4 year<= 0"},
       {"Line 1 1878 year is outside the range 1879 to 2027",
        " Line 3 last year: 0 this year: 1992 there are one or more missing values",
        " Line 4 a value of -9999 is in the year column."},
       "S\t1878\t1\r\nS\t1992\t1"},
      {"S\t1990\t0\r\nS\t1991\t-1\r\nS\t1992\t-99999\r\nS\t1993\tabc\r\nS\t1994\t2.5\tx",
       {" Line 2 the flow value is less than zero: -1 Q", " Line 3 the flow value equals -99999",
        " Line 4 nonnumeric flow value"},
       {" Line 5 there are 4 columns. There should be 3 columns"},
       "S\t1990\t0\r\nS\t1994\t2.5\tx"},
      {"A0123\t1991\t1\r\n 0123\t1992\t1\r\n\t1993\t1\r\n9\t1994\t1",
       {},
       {},
       "A0123\t1991\t1\r\n 0123\t1992\t1\r\n\t1993\t1\r\nDOVL9\t1994\t1"},
      // A short line ends the file when its first missing field is read.
      {"S\t1990\t1\r\nS\tabc\r\nS\t1992\t1\r\n",
       {" Line 2 only 2 columns. There should be 3 columns",
        " Line 2 abc year is not a numeric year value.", " Line 2 year<= 0", kMissingField},
       {},
       "S\t1990\t1\r\n"},
      {"01234567\t1990\t5\r\n\r\n",
       {" Line 2 only 0 columns. There should be 3 columns", kMissingField},
       {},
       "DOVL01234567\t1990\t5\r\n"},
      {"", {}, {}, ""},
  };
  TempDir dir;
  for (const Row& row : rows) {
    const AnnualFlowResult result =
        TestAnnualFlowFile(dir.write("Q.txt", row.bytes), row.waterYear);
    EXPECT_EQ(result.ErrText(), reportLines(row.errors)) << row.bytes;
    EXPECT_EQ(result.WarnText(), reportLines(row.warnings)) << row.bytes;
    EXPECT_EQ(result.ErrFlag, static_cast<int>(row.errors.size())) << row.bytes;
    EXPECT_EQ(result.WarnFlag, static_cast<int>(row.warnings.size())) << row.bytes;
    EXPECT_EQ(result.OutText, row.out) << row.bytes;
  }
}

TEST(AnnualFlowFile, TheLineCountEndsTheFileWithAFindingThatSaysWhere) {
  std::string badLines;  // three errors a line, more than a 16-bit count of them
  for (int i = 0; i < 11000; ++i) badLines += "S\tabc\tabc\r\n";
  const std::string stopped =
      "TestAnnualFlowFile subroutine error: 6 Overflow: the check counts at most 32767 lines; "
      "line 32768 and the lines after it are not checked";
  struct Row {
    std::string bytes;
    long waterYear;
    int usableLines;
    bool failed;
    long errFlag;
  };
  const std::vector<Row> rows = {
      {risingSeries(32767), 100000, 32767, false, 0},
      {risingSeries(40000), 100000, 32767, true, 1},
      {badLines, 2027, 0, false, 33000},
  };
  TempDir dir;
  for (const Row& row : rows) {
    const AnnualFlowResult result =
        TestAnnualFlowFile(dir.write("Q.txt", row.bytes), row.waterYear);
    const std::size_t lineLength = row.bytes.find('\n') + 1;
    const std::size_t lines = row.bytes.size() / lineLength;
    EXPECT_EQ(result.ErrFlag, row.errFlag) << lines;
    EXPECT_EQ(!result.findings.empty() && result.findings.back().text == stopped, row.failed)
        << lines;
    // The usable lines gathered; after a failure they keep their last line break.
    const std::size_t usable = row.usableLines * lineLength;
    EXPECT_EQ(result.OutText, row.bytes.substr(0, usable - (row.failed || !usable ? 0 : 2)))
        << lines;
  }
}

TEST(AnnualFlowFile, MissingFileIsTheFailureLine) {
  TempDir dir;
  EXPECT_EQ(TestAnnualFlowFile(dir.path() / "Q.txt", 2027).ErrText(),
            "TestAnnualFlowFile subroutine error: 53 File not found\r\n");
}

}  // namespace
}  // namespace tarvex::testing

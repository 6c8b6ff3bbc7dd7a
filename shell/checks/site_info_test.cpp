#include "checks/site_info.h"

#include <gtest/gtest.h>

#include <vector>

#include "check_harness.h"

namespace tarvex::testing {
namespace {

const std::string kHeading =
    "Station ID\tLat\tLong\tNo. Annual Series\tZero-1;NonZero-2\tFreqZero\tRegional "
    "Skew\tCont-1;PR-2\tDrainage Area";

// A clean station line; `column` (1-based) replaced by `value` when given.
std::string station(const std::string& number, int column = 0, const std::string& value = "") {
  std::vector<std::string> fields = {number, "35.1", "-111.2", "30", "2", "0", "-0.1", "1", "12.5"};
  if (column > 0) fields[static_cast<std::size_t>(column) - 1] = value;
  std::string line = fields.front();
  for (std::size_t i = 1; i < fields.size(); ++i) line += "\t" + fields[i];
  return line;
}

std::string table(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string shownReport(const std::vector<std::string>& lines) {
  std::string text = "SiteInfo file problems: \r\n";
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

struct SiteCase {
  const char* what;
  std::string file;
  std::vector<std::string> report;  // lines after the heading; empty: no report shown
  int errorFlag, warningFlag;
  long errors, warnings, stations;
  long sevenDigits = 0, leading = 0, internal = 0;
};

TEST(ReadSiteInfo, ReportsEveryProblemWithItsCount) {
  const std::string clean1 = station("01234567"), clean2 = station("01234568");
  const std::vector<SiteCase> cases = {
      {"clean", table({kHeading, clean1, clean2}), {}, 0, 0, 0, 0, 2},
      {"eight columns",
       table({"Station ID\tLat\tLong\tNo. Annual Series\tZero-1;NonZero-2\tFreqZero\tRegional "
              "Skew\tCont-1;PR-2",
              "01234567\t35\t-111\t30\t2\t0\t0\t1", "01234568\t35\t-111\t30\t2\t0\t0\t1"}),
       {"Error: The SiteInfo file has only 8. It should have 9 or more."},
       1,
       0,
       1,
       0,
       2},
      {"a lower-case heading is an error counted as a warning",
       table({"Station ID\tlat\tLong\tNo. Annual Series\tZero-1;NonZero-2\tFreqZero\tRegional "
              "Skew\tCont-1;PR-2\tArea",
              clean1, clean2}),
       {"Error: column: 2 of the SiteInfo file is named: lat not Lat"},
       0,
       1,
       0,
       1,
       2},
      {"one station",
       table({kHeading, clean1}),
       {"There are less than two stations in the SiteInfo file"},
       0,
       0,
       0,
       0,
       1},
      {"an empty first field",
       table({kHeading, clean1, station(""), clean2}),
       {"Line: 3 Station Number Error: No station number"},
       999,
       0,
       1,
       0,
       2},
      {"a blank line between stations",
       table({kHeading, clean1, "", clean2}),
       {"Line: 3 Station:   Has fewer fields (1) than the heading line (9)",
        "Line: 3 Station Number Error: No station number"},
       999,
       0,
       2,
       0,
       2},
      {"the Line: 3 example",
       table({kHeading, clean1, "X\t35\t-111\t30\t2\t0\t0\t1", clean2}),
       {"Line: 3 Station: X Has fewer fields (8) than the heading line (9)",
        "Line: 3 Station Number Error: No station number"},
       999,
       0,
       2,
       0,
       2},
      {"more fields, an empty first one",
       table({kHeading, clean1, clean2 + "\textra", "\t" + station("x")}),
       {"Line: 3 Station: 01234568 Has more  fields (10) than the heading line (9)",
        "Line: 4 Has more fields (10) than the heading line (9)",
        "Line: 4 Station Number Error: No station number"},
       999,
       0,
       3,
       0,
       2},
      {"a station listed twice, once padded",
       table({kHeading, clean1, clean2, " " + clean1}),
       {"Error: Station 01234567 is on line 2 and on line 4 of SiteInfo.txt"},
       1,
       0,
       1,
       0,
       3},
      {"seven digits",
       table({kHeading, station("1234567"), station("1234568"), clean1}),
       {},
       0,
       1,
       0,
       1,
       3,
       2},
      {"leading, internal and both",
       table({kHeading, station("A1234567"), station("1234A567"), station("AB1234567")}),
       {"Line: 2 Station Number Error: A1234567", "Line: 3 Station Number Error: 1234A567",
        "Line: 4 Station Number Error: AB1234567"},
       0,
       1,
       0,
       3,
       3,
       0,
       2,
       2},
      {"ten digits beyond 32 bits",
       table({kHeading, station("12345678901"), clean1}),
       {"Line: 2 Station Number Error: 12345678901"},
       0,
       1,
       0,
       1,
       2},
      {"column values",
       table({kHeading, station("01234567", 2, "north"), station("01234568", 3, ""),
              station("01234569", 4, "0"), station("01234570", 5, "3"),
              station("01234571", 6, "some"), station("01234572", 6, "-9999"),
              station("01234573", 6, "-0.4"), station("01234574", 7, "n/a"),
              station("01234575", 8, "3")}),
       {"Line: 2 Station Latitude Error: 01234567", "Line: 3 Station Longitude Error: 01234568",
        "Line: 4 Annual Series Error: 01234569", "Line: 5 Zero-NonZero Error: 01234570",
        "Line: 6 FreqZero Error: value is less than zero for station: 01234571",
        "Line: 7 FreqZero Error: 01234572", "Line: 9 Regional Skew Error: 01234574",
        "Line: 10 Cont-1:PR2: Error: 01234575"},
       1,
       1,
       2,
       6,
       9},
      {"short lines are tested only for the columns they have",
       table({kHeading, "01234567\t35", clean2}),
       {"Line: 2 Station: 01234567 Has fewer fields (2) than the heading line (9)"},
       1,
       0,
       1,
       0,
       2},
  };
  for (const SiteCase& c : cases) {
    SCOPED_TRACE(c.what);
    CheckHarness h;
    h.state.ErrorCount = 5;  // counts only grow
    const SiteInfoOutcome outcome = ReadSiteInfo(h.context, h.file("SiteInfo.txt", c.file));
    EXPECT_EQ(outcome.errorFlag, c.errorFlag);
    EXPECT_EQ(outcome.warningFlag, c.warningFlag);
    EXPECT_EQ(h.state.ErrorCount, 5 + c.errors);
    EXPECT_EQ(h.state.WarningCount, c.warnings);
    EXPECT_EQ(h.state.StationCount, c.stations);
    EXPECT_EQ(h.state.SevenDigitStationCount, c.sevenDigits);
    EXPECT_EQ(h.state.LeadingCharStationCount, c.leading);
    EXPECT_EQ(h.state.InternalCharStationCount, c.internal);
    EXPECT_EQ(h.report.shownReports, c.report.empty()
                                         ? std::vector<std::string>{}
                                         : std::vector<std::string>{shownReport(c.report)});
  }
}

TEST(ReadSiteInfo, LoadsTheStationList) {
  CheckHarness h;
  h.stations({"old1", "old2", "old3"});
  ReadSiteInfo(h.context, h.file("Sites.txt", table({kHeading, station(" 01234567 "), station("\t"),
                                                     station("A123")})));
  EXPECT_EQ(h.state.StationCount, 2);
  EXPECT_EQ(h.state.StationNumbers, (std::vector<std::string>{"", "01234567", "A123"}));
  EXPECT_EQ(h.state.StationNumbersAsRead, h.state.StationNumbers);
  EXPECT_EQ(h.state.StationNumberValues, (std::vector<long>{0, 1234567, -9999}));
  EXPECT_EQ(h.state.StationLatitudes, (std::vector<double>{0, 35.1, 35.1}));
}

TEST(ReadSiteInfo, SevenDigitNumbersGetTheirOwnBox) {
  CheckHarness h;
  ReadSiteInfo(h.context,
               h.file("SiteInfo.txt", table({kHeading, station("1234567"), station("7654321")})));
  EXPECT_EQ(h.transcript(),
            msgBoxBlock(48, "Station Number Format Problems",
                        "Warning: 2 station numbers in file \r\nSiteInfo.txt\r\nare seven-digits "
                        "long. Please fix leading-zero digits.\r\nif you are using a spreadsheet "
                        "to process data format the station-number column as 'Text'."));
  EXPECT_TRUE(h.report.shownReports.empty());
  EXPECT_EQ(h.state.WarningCount, 1);
}

TEST(ReadSiteInfo, FindingsCarryFileLineStationFieldAndSeverity) {
  CheckHarness h;
  ReadSiteInfo(h.context, h.file("SiteInfo.txt", table({kHeading, station("01234567", 5, "3"),
                                                        station("01234568", 8, "3")})));
  ASSERT_EQ(h.state.Findings.size(), 2u);
  const Finding& warning = h.state.Findings[0];
  EXPECT_EQ(warning.file, "SiteInfo.txt");
  EXPECT_EQ(warning.line, 2);
  EXPECT_EQ(warning.station, "01234567");
  EXPECT_EQ(warning.field, 5);
  EXPECT_EQ(warning.severity, Severity::Warning);
  EXPECT_EQ(warning.text, "Line: 2 Zero-NonZero Error: 01234567");
  EXPECT_EQ(h.state.Findings[1].severity, Severity::Error);
  EXPECT_EQ(h.state.Findings[1].field, 8);
  // The report is rendered from the same records.
  EXPECT_EQ(h.report.shownReports.at(0),
            shownReport({h.state.Findings[0].text, h.state.Findings[1].text}));
}

TEST(ReadSiteInfo, UnreadableFilesEndThroughTheFailurePath) {
  struct Row {
    const char* what;
    std::string bytes;  // empty name: no file at all
    int number;
    std::string description;
    long errors;  // counted before the failure, and the failure
  };
  const std::string oneMegabyte(1 << 20, 'x');
  const std::vector<Row> rows = {
      {"missing file", "", 53, "File not found", 1},
      {"empty file", std::string(), 62, "Input past end of file", 1},
      {"a 1 MB single line", oneMegabyte, 9, "Subscript out of range", 2},
      {"FreqZero beyond 32 bits",
       table({kHeading, station("01234567", 6, "1e12"), station("01234568")}), 6, "Overflow", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    CheckHarness h;
    if (std::string(row.what) != "missing file") h.file("SiteInfo.txt", row.bytes);
    const SiteInfoOutcome outcome = ReadSiteInfo(h.context, "SiteInfo.txt");
    EXPECT_EQ(outcome.errorFlag, row.number);
    EXPECT_EQ(h.state.ErrorCount, row.errors);
    EXPECT_TRUE(h.report.shownReports.empty()) << "the report so far is not shown";
    EXPECT_EQ(h.transcript(),
              msgBoxBlock(16, "Sub ReadSiteInfo",
                          "Error: " + std::to_string(row.number) + " " + row.description));
    if (std::string(row.what) != "missing file") {
      EXPECT_EQ(h.read("SiteInfo.txt"), row.bytes) << "the file is never changed";
    }
  }
}

TEST(ReadSiteInfo, BinaryAndNulBytesAreReadAsText) {
  CheckHarness h;
  using namespace std::string_literals;
  const std::string bytes = table({kHeading,
                                   "01\0"
                                   "234567\t\xff\xfe\t-1\t30\t2\t0\t0\t1\t1"s,
                                   station("01234568")});
  const SiteInfoOutcome outcome = ReadSiteInfo(h.context, h.file("SiteInfo.txt", bytes));
  EXPECT_EQ(outcome.errorFlag, 0);
  EXPECT_EQ(h.state.StationCount, 2);
  EXPECT_EQ(h.state.StationNumbers[1],
            "01\0"
            "234567"s);
  EXPECT_EQ(h.state.LeadingCharStationCount, 0);
  EXPECT_EQ(h.state.InternalCharStationCount, 1);
  EXPECT_EQ(h.read("SiteInfo.txt"), bytes);
}

TEST(ReadSiteInfo, HeadingsByKindAndColumn) {
  EXPECT_EQ(fnSiteInfoHeading(1, 0), "Station ID");
  EXPECT_EQ(fnSiteInfoHeading(1, 7), "Cont-1;PR-2");
  EXPECT_EQ(fnSiteInfoHeading(1, 8), "");
  EXPECT_EQ(fnSiteInfoHeading(2, 0), "");
  EXPECT_EQ(fnSiteInfoHeading(1, -1), "");
}

}  // namespace
}  // namespace tarvex::testing

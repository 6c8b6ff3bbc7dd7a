#include "checks/flow_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "check_harness.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

// A finding's record without its text: "file station line field E|W".
std::string where(const Finding& f) {
  return f.file + " " + f.station.value_or("-") + " " + (f.line ? std::to_string(*f.line) : "-") +
         " " + (f.field ? std::to_string(*f.field) : "-") +
         (f.severity == Severity::Error ? " E" : " W");
}

TEST(FlowFiles, EveryStationIsCheckedHoweverManyLackAFile) {
  CheckHarness h;
  std::vector<std::string> stations;
  for (int i = 0; i < 40000; ++i) stations.push_back(std::to_string(10000000 + i));
  h.stations(stations);
  h.file("DOVL10039999.txt", "10039999\t1990\t5\r\n");
  EXPECT_EQ(CheckFlowFiles(h.context).MissingCount, 39999);
  EXPECT_EQ(h.state.ErrorCount, 39999);
  EXPECT_EQ(h.state.Findings.size(), 39999u);
  EXPECT_EQ(h.state.Findings.back().station, "10039998");
  EXPECT_EQ(h.dataDir.read("DOVLAnnualTimeSeries.txt"), "DOVL10039999\t1990\t5\r\n");
}

TEST(FlowFiles, ReportsCountsAndFindings) {
  CheckHarness h;  // the desktop's date, December 2026, is in water year 2027
  h.stations({"01234567", "01234568", "01234569"});
  h.state.SiteInfoFileName = "SiteInfo.txt";
  h.file("DOVL01234567.txt", "01234567\t1990\t5\r\n01234567\t1990\t6\r\n01234567\t2028\t7\r\n");
  h.file("DOVL01234568.txt", "DOVL01234568\t2026\t-1\r\nDOVL01234568\t2027\t3");
  h.file("01234569.txt", "S\t1990\t1");  // no agency word
  h.file("dovl01234569.txt", "S\t1990\t1");

  EXPECT_EQ(CheckFlowFiles(h.context).MissingCount, 1);

  const std::vector<std::string> reports = {
      "Q File Errors: \r\n"
      "DOVL01234567.txt Line 2 year 1990 = last year 1990 there are two or more values for "
      "this year.\r\n"
      "DOVL01234568.txt Line 1 the flow value is less than zero: -1 Q\r\n"
      "Error: Station: 01234569 has no Annual-Time Series Flow file in directory: " +
          h.dataDir.dir() + "\r\n\r\n",
      "Q File Warnings: \r\n"
      "DOVL01234567.txtLine 3 2028 year is outside the range 1879 to 2027\r\n"
      "DOVL01234567.txt Line 3 last year: 1990 this year: 2028 there are one or more missing "
      "values\r\n\r\n"};
  EXPECT_EQ(h.report.shownReports, reports);
  EXPECT_EQ(h.transcript(), "");
  EXPECT_EQ(h.state.ErrorCount, 3 + 2);  // each line, and each file with errors once more
  EXPECT_EQ(h.state.WarningCount, 2 + 1);
  EXPECT_EQ(h.state.FlowFileNames,
            (std::vector<std::string>{"", "DOVL01234567.txt", "DOVL01234568.txt", ""}));
  EXPECT_TRUE(h.state.FlowFilesChecked);
  EXPECT_TRUE(h.desktop.busy());

  // One finding a count: the lines the reports show, and each file with problems once more.
  std::vector<std::string> records;
  for (const Finding& finding : h.state.Findings) {
    records.push_back(where(finding));
    if (!finding.code.starts_with("flow-file-")) {
      EXPECT_NE((reports[0] + reports[1]).find(finding.text + "\r\n"), std::string::npos);
    }
  }
  EXPECT_EQ(records, (std::vector<std::string>{
                         "DOVL01234567.txt 01234567 2 2 E", "DOVL01234567.txt 01234567 3 2 W",
                         "DOVL01234567.txt 01234567 3 2 W", "DOVL01234567.txt 01234567 - - E",
                         "DOVL01234567.txt 01234567 - - W", "DOVL01234568.txt 01234568 1 3 E",
                         "DOVL01234568.txt 01234568 - - E", "SiteInfo.txt 01234569 - - E"}));
}

TEST(FlowFiles, CompilationGathersUsableText) {
  CheckHarness h;
  h.stations({"11", "12", "13", "14", "15", "0567", "05678"});
  h.file("DOVL11.txt", "ABC\t1\t0");   // 7 characters: left out
  h.file("DOVL12.txt", "ABCD\t1\t0");  // 8 characters
  h.file("DOVL13.txt", "");            // nothing to say, nothing to add
  h.file("DOVL14.txt", "14\t1990\t1\r\n14\t1991\t1\r\n");
  h.file("DOVL15.txt", "15\t1990\t1\r\n\r\n");  // ends in the failure path: keeps its break
  h.file("dovlannualtimeseries.txt", "old");    // the same name to a case-blind system
  // Station 0567 takes the first name in byte order, whatever order the folder lists;
  // that file also serves station 05678.
  for (char c = 'a'; c <= 'z'; ++c) h.file(std::string("DOVL0567") + c + ".txt", "late\t1\t1");
  h.file("DOVL05678A.txt", "first\t1\t1");
  fs::create_directory(h.dataDir.path() / "DOVL0567");  // a folder is no file

  CheckFlowFiles(h.context);

  EXPECT_EQ(h.read("dovlannualtimeseries.txt"),
            "ABCD\t1\t0\r\nDOVL14\t1990\t1\r\nDOVL14\t1991\t1\r\nDOVL15\t1990\t1\r\n\r\n"
            "first\t1\t1\r\nfirst\t1\t1\r\n");
  EXPECT_FALSE(fs::exists(h.dataDir.path() / "DOVLAnnualTimeSeries.txt"));
  EXPECT_EQ(h.state.WarningCount, 8);  // year 1 in four files, each file once more
  EXPECT_EQ(h.state.ErrorCount, 3);
}

TEST(FlowFiles, FailureShowsItsBoxAndCounts) {
  struct Row {
    std::string box;
    std::string folder;        // appended to WorkingDirectory
    std::string blockingPath;  // a folder in the compilation file's place
    bool readOnly = false;
  };
  const std::vector<Row> rows = {
      {"Error: 75 Path/File access error", "", "DOVLAnnualTimeSeries.txt"},
      {"Error: 76 Path not found", "gone/", ""},
      {"Error: 70 Permission denied", "", "", true},  // last: it may be skipped
  };
  for (const Row& row : rows) {
    if (row.readOnly) SKIP_UNLESS_PERMISSIONS_APPLY();
    CheckHarness h;
    h.stations({"11"});
    h.file("DOVL11.txt", "11\t1990\t1\r\n");
    h.file("dovlAnnualTimeSeries.txt", "old");
    if (!row.blockingPath.empty()) fs::create_directory(h.dataDir.path() / row.blockingPath);
    h.state.WorkingDirectory += row.folder;
    const auto writable = row.readOnly ? fs::perm_options::remove : fs::perm_options::add;
    fs::permissions(h.dataDir.path(), fs::perms::owner_write, writable);

    const FlowFilesResult result = CheckFlowFiles(h.context);
    fs::permissions(h.dataDir.path(), fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(h.transcript(), msgBoxBlock(16, "Sub CheckFlowFiles", row.box));
    EXPECT_TRUE(result.failure && result.MissingCount == 0) << row.box;
    EXPECT_FALSE(h.state.FlowFilesChecked) << row.box;
    EXPECT_EQ(h.state.ErrorCount, 1) << row.box;
    EXPECT_TRUE(h.report.shownReports.empty()) << row.box;
    EXPECT_EQ(h.read("dovlAnnualTimeSeries.txt"), "old") << row.box;
  }
}

}  // namespace
}  // namespace tarvex::testing

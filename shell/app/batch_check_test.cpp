// The batch check of a data folder against the same folder run as a --script session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/batch_desktop.h"
#include "app/batch_report.h"
#include "run_program.h"
#include "sample_data.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> all;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    all.push_back(text.substr(at, end - at + 2));
  return all;
}

// The damaged folders the checks are meant for, each made from a clean sample.
struct Fixture {
  const char* name;
  std::function<void(const TempDir&)> damage;
  std::string answers;  // what a session answers so as to decide as the batch does
  int exitCode;
};

void sevenDigits(const TempDir& data) {
  std::string site = data.read("SiteInfo.txt");
  for (const auto& station : sampleStations(5))
    site.replace(site.find(station), 8, station.substr(1));
  data.write("SiteInfo.txt", site);
}

void reversedSkew(const TempDir& data) {
  auto all = lines(data.read("LP3G.txt"));
  std::reverse(all.begin() + 1, all.end());
  std::string text;
  for (const auto& line : all) text += line;
  data.write("LP3G.txt", text);
}

const std::vector<Fixture>& fixtures() {
  static const std::vector<Fixture> all = {
      {"clean", [](const TempDir&) {}, "answer no\n", 0},
      {"site information errors",
       [](const TempDir& d) {
         d.write("SiteInfo.txt", d.read("SiteInfo.txt") + "\t30\t-92\t20\t2\t0\t0\t1\t1\r\n");
       },
       "answer no\n", 1},
      {"seven-digit numbers", sevenDigits,
       "answer no\nanswer yes\nanswer yes\nanswer yes\nanswer yes\nanswer yes\n", 1},
      {"reversed skew file", reversedSkew, "answer no\n", 0},
      {"bad matrix",
       [](const TempDir& d) {
         std::string matrix = d.read("UserWLS.txt");
         matrix.replace(matrix.rfind("0.05"), 4, "abc");
         d.write("UserWLS.txt", matrix);
       },
       "answer no\nanswer yes\n", 1},
      {"missing flow file",
       [](const TempDir& d) { fs::remove(d.path() / ("DOVL" + sampleStations(5)[2] + ".txt")); },
       "answer no\n", 1},
  };
  return all;
}

ProgramResult batch(const TempDir& data, const std::string& options = "") {
  return runProgram(shellProgram() + " --check " + shellQuote(data.path().string()) +
                    " --matrix --matrix-headings --flow-files --json - " + options);
}

// ErrorCount, WarningCount and StationCount of a --script session's Steps 1 and 2.
std::vector<long> sessionCounts(const TempDir& data, const std::string& answers) {
  TempDir scripts;
  const auto script =
      scripts.write("s.txt",
                    "tick cbUDWMatrix\ntick cbUDMHeadings\ntick cbDOVLFiles\nclick cmdInputFiles\n"
                    "open SiteInfo.txt\nclick cmdQAQCFiles\n" +
                        answers + "state\n");
  const ProgramResult r =
      runProgram("cd " + shellQuote(data.path().string()) + " && " + shellProgram() + " --script " +
                 shellQuote(script.string()) + " --shell-dir " + shellQuote(buildBinDir()));
  std::vector<long> counts;
  for (const char* name : {"ErrorCount: ", "WarningCount: ", "StationCount: "}) {
    const auto at = r.out.rfind(name);
    counts.push_back(at == std::string::npos ? -1
                                             : std::stol(r.out.substr(at + std::strlen(name))));
  }
  return counts;
}

// The report's shape: every key, with the type it must have.
void expectReportShape(const json& report) {
  ASSERT_TRUE(report.is_object());
  EXPECT_TRUE(report["folder"].is_string());
  for (const char* key : {"SiteInfo", "FlowChar", "LP3G", "LP3K", "LP3s", "UserWLS"})
    EXPECT_TRUE(report["files"][key].is_string() || report["files"][key].is_null()) << key;
  for (const char* key : {"stationCount", "errorCount", "warningCount"})
    EXPECT_TRUE(report[key].is_number_integer()) << key;
  for (const char* key : {"findings", "notes", "rewritten", "backups", "hints"})
    ASSERT_TRUE(report[key].is_array()) << key;
  const std::regex code("[a-z0-9]+(-[a-z0-9]+)*");
  for (const json& finding : report["findings"]) {
    EXPECT_TRUE(finding["file"].is_string());
    EXPECT_TRUE(finding["line"].is_number_integer() || finding["line"].is_null());
    EXPECT_TRUE(finding["station"].is_string() || finding["station"].is_null());
    EXPECT_TRUE(finding["field"].is_number_integer() || finding["field"].is_null());
    EXPECT_TRUE(finding["severity"] == "error" || finding["severity"] == "warning");
    EXPECT_TRUE(finding["code"].is_string() &&
                std::regex_match(finding["code"].get<std::string>(), code))
        << finding["code"];
    EXPECT_TRUE(finding["expected"].is_string() || finding["expected"].is_null());
    EXPECT_TRUE(finding["text"].is_string());
    ASSERT_TRUE(finding["items"].is_array());
    for (const json& item : finding["items"]) {
      EXPECT_TRUE(item["line"].is_number_integer() || item["line"].is_null());
      EXPECT_TRUE(item["station"].is_string() || item["station"].is_null());
      EXPECT_TRUE(item["expected"].is_string() || item["expected"].is_null());
      EXPECT_TRUE(item["text"].is_string());
    }
  }
  for (const char* key : {"notes", "rewritten", "backups", "hints"})
    for (const json& item : report[key]) EXPECT_TRUE(item.is_string()) << key;
}

TEST(BatchCheck, CountsAsASessionAndWritesNothing) {
  for (const Fixture& fixture : fixtures()) {
    SCOPED_TRACE(fixture.name);
    TempDir data;
    writeSampleData(data.path());
    fixture.damage(data);
    const auto before = folderContents(data);
    const ProgramResult r = batch(data);
    EXPECT_EQ(r.exitCode, fixture.exitCode) << r.err;
    EXPECT_EQ(folderContents(data), before) << "without --fix nothing is written";
    const json report = json::parse(r.out);
    expectReportShape(report);
    EXPECT_TRUE(report["rewritten"].empty());
    EXPECT_TRUE(report["backups"].empty());
    const std::vector<long> batchCounts = {report["errorCount"], report["warningCount"],
                                           report["stationCount"]};
    EXPECT_EQ(batchCounts, sessionCounts(data, fixture.answers));
    EXPECT_EQ(report["findings"].empty(), fixture.name == std::string("clean"));
  }
}

// On a terminal, long work keeps one line up to date, and wipes it when it is over.
TEST(BatchCheck, ProgressIsOneLineRewrittenInPlace) {
  ShellState state;
  BatchDesktop desktop(false, std::nullopt);
  std::ostringstream terminal;
  BatchWindow window(state, desktop, false, &terminal, ProgressPace({}, {}));
  window.showProgress("Matrix.txt", 5, 100);
  window.showProgress("Matrix.txt", 100, 100);
  window.endProgress();
  const std::string line = "TARVEXshellv01: checking Matrix.txt: ";
  EXPECT_EQ(terminal.str(), "\r" + line + "5%" + "\r" + line + "100%" + "\r" +
                                std::string(line.size() + 4, ' ') + "\r");
  // Without a terminal there is nowhere to show it.
  BatchWindow quiet(state, desktop, false, nullptr, ProgressPace({}, {}));
  quiet.showProgress("Matrix.txt", 5, 100);
  quiet.endProgress();
}

TEST(BatchCheck, RepairsMatchTheInteractiveYesAndKeepBackups) {
  TempDir clean;
  writeSampleData(clean.path());
  const std::regex backup(".*-BadFile-[0-9]+-[0-9]+-[0-9]{4}\\.txt");
  struct Row {
    const char* name;
    std::function<void(const TempDir&)> damage;
    std::string repaired;
  };
  for (const Row& row : std::vector<Row>{{"seven-digit numbers", sevenDigits, "SiteInfo.txt"},
                                         {"reversed skew file", reversedSkew, "LP3G.txt"}}) {
    SCOPED_TRACE(row.name);
    TempDir data;
    writeSampleData(data.path());
    row.damage(data);
    const std::string damaged = data.read(row.repaired);
    const ProgramResult r = batch(data, "--fix");
    const json report = json::parse(r.out);
    expectReportShape(report);
    EXPECT_EQ(data.read(row.repaired), clean.read(row.repaired));
    EXPECT_NE(std::find(report["rewritten"].begin(), report["rewritten"].end(), row.repaired),
              report["rewritten"].end());
    ASSERT_FALSE(report["backups"].empty());
    for (const json& name : report["backups"]) {
      EXPECT_TRUE(std::regex_match(name.get<std::string>(), backup)) << name;
      EXPECT_TRUE(fs::exists(data.path() / name.get<std::string>())) << name;
    }
    const std::string repairedBackup = report["backups"][0];
    EXPECT_EQ(repairedBackup.rfind(row.repaired, 0), 0u);
    EXPECT_EQ(data.read(repairedBackup), damaged);
  }
}

// Bytes that are no UTF-8, in the folder's name, a station, a heading and a table's text,
// are read as Latin-1: the report is valid JSON of the same shape, and nothing is dropped.
TEST(BatchCheck, BytesThatAreNoUtf8MakeAValidReport) {
  TempDir outer;
  const fs::path folder = outer.path() / "r\xE9gion \xff";
  fs::create_directory(folder);
  writeSampleData(folder);
  std::string site = readBytes(folder / "SiteInfo.txt");
  site.replace(site.find("08010100"), 8,
               "0801\xE9"
               "100");
  site.replace(site.find("Lat"), 3, "L\xE0t");
  writeBytes(folder / "SiteInfo.txt", site);
  writeBytes(folder / "LP3K.txt",
             std::string("Station ID\tQ1\tQ2\tQ3\r\n\xC3\x28\x80\t\xF5\r\n", 29));
  for (const char* output : {"--json -", "--tsv -", ""}) {
    SCOPED_TRACE(output);
    const ProgramResult r = runProgram(shellProgram() + " --check " + shellQuote(folder.string()) +
                                       " --matrix --matrix-headings --flow-files " + output);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(utf8Text(r.out) == r.out) << "valid UTF-8";
    if (std::string(output) != "--json -") continue;
    const json report = json::parse(r.out);
    expectReportShape(report);
    EXPECT_EQ(report["folder"], utf8Text(folder.string()));
    EXPECT_NE(report.dump().find("0801\u00e9100"), std::string::npos) << "the station, as Latin-1";
    EXPECT_NE(report.dump().find("L\u00e0t"), std::string::npos) << "the heading, as Latin-1";
  }
}

TEST(BatchCheck, ReportTextsOrWhyItCannotRun) {
  TempDir data;
  writeSampleData(data.path());
  reversedSkew(data);
  const ProgramResult texts =
      runProgram(shellProgram() + " --check " + shellQuote(data.path().string()));
  EXPECT_EQ(texts.exitCode, 0) << texts.err;
  // A finding a line, pointing at its place; the lines of a block below it; the summary and
  // what --fix would do.
  const std::string name = data.path().filename().string();
  EXPECT_EQ(texts.out,
            "LP3G.txt:2: warning [lines-out-of-order] Error: There are 4 lines in file: LP3G.txt "
            "that are out of order with respect to the SiteInfo file.\n"
            "    LP3G.txt:2: Line: 1\t08010400\t0.050\t0.100\t0.150\n"
            "    LP3G.txt:3: Line: 2\t08010300\t0.040\t0.080\t0.120\n"
            "    LP3G.txt:5: Line: 4\t08010100\t0.020\t0.040\t0.060\n"
            "    LP3G.txt:6: Line: 5\t08010000\t0.010\t0.020\t0.030\n"
            // The stations in proper order, each pointing at the line that holds it now.
            "LP3G.txt: warning [file-report] LP3G.txt file problems: Stations in proper order:\n"
            "    LP3G.txt:6: 08010000\t0.010\t0.020\t0.030\n"
            "    LP3G.txt:5: 08010100\t0.020\t0.040\t0.060\n"
            "    LP3G.txt:4: 08010200\t0.030\t0.060\t0.090\n"
            "    LP3G.txt:3: 08010300\t0.040\t0.080\t0.120\n"
            "    LP3G.txt:2: 08010400\t0.050\t0.100\t0.150\n" +
                name +
                ": 5 stations, 0 errors, 2 warnings\n"
                "hint: --fix makes the repairs these checks offer, each file backed up first\n");

  TempDir report;
  const std::string file = report.dir() + "report.json";
  const ProgramResult toFile =
      runProgram(shellProgram() + " --check " + shellQuote(data.path().string()) + " --json " +
                 shellQuote(file));
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(json::parse(report.read("report.json"))["warningCount"], 2);

  fs::remove(data.path() / "LP3K.txt");
  struct Row {
    std::string args;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"--check " + shellQuote(data.path().string()), " has no LP3K.txt"},
      {"--check " + shellQuote(data.dir() + "missing"), "no data folder"},
      {"--check " + shellQuote(data.path().string()) + " --matrix --fix --bogus",
       "unknown argument \"--bogus\""},
      {"--fix", "--fix requires --check"},
  };
  for (const Row& row : rows) {
    const ProgramResult r = runProgram(shellProgram() + " " + row.args);
    EXPECT_EQ(r.exitCode, 2) << row.args;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line";
  }
}

}  // namespace
}  // namespace tarvex::testing

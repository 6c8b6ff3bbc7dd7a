// Steps 1 and 2 as whole --script sessions of the real program on sample folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "run_program.h"
#include "sample_data.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSteps1And2 =
    "tick cbUDWMatrix\ntick cbUDMHeadings\ntick cbDOVLFiles\nclick cmdInputFiles\n"
    "open SiteInfo.txt\nclick cmdQAQCFiles\nanswer no\n";
const std::string kHeadlessMatrix =
    "tick cbUDWMatrix\ntick cbDOVLFiles\nclick cmdInputFiles\nopen SiteInfo.txt\n"
    "click cmdQAQCFiles\nanswer no\n";

// The files of a folder and their bytes.
ProgramResult session(const TempDir& data, const std::string& lines) {
  TempDir scripts;
  const auto script = scripts.write("session.txt", lines);
  return runProgram("cd " + shellQuote(data.path().string()) + " && " + shellProgram() +
                    " --script " + shellQuote(script.string()) + " --shell-dir " +
                    shellQuote(buildBinDir()) + " --date 2026-12-07");
}

TEST(Step2Session, CleanFolderEndsReadyForStepThree) {
  TempDir data;
  // Without headings, the engine's copy of the matrix (USERWLS.txt, the same file in
  // another letter case) is written back with one more line break at its end.
  writeSampleData(data.path(), {.matrixHeadings = false});
  const auto before = folderContents(data);
  const ProgramResult r = session(data, kHeadlessMatrix + "show tbMyStatus\nstate\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("== show tbMyStatus\nStatus: File checks complete. Please click the Step "
                       "3 button\n== state\nInputFilesSpecified: true\nInputFilesChecked: true\n"
                       "TARVEXHasRun: false\nFlowFilesChecked: true\nErrorCount: 0\n"
                       "WarningCount: 0\nStationCount: 5\n== end\n"),
            std::string::npos)
      << r.out;
  // The checks wrote the compilation file and changed nothing else of the user's.
  auto after = folderContents(data);
  EXPECT_EQ(after.erase("DOVLAnnualTimeSeries.txt"), 1u);
  EXPECT_EQ(after, before);
}

TEST(Step2Session, DamagedFolderIsRepairedWhereTheUserAgrees) {
  TempDir clean, data;
  writeSampleData(clean.path());
  writeSampleData(data.path());
  const auto stations = sampleStations(5);
  // Seven-digit station numbers in the site information file.
  std::string site = data.read("SiteInfo.txt");
  for (const auto& station : stations) site.replace(site.find(station), 8, station.substr(1));
  data.write("SiteInfo.txt", site);
  // The skew file in reverse station order.
  const std::string skew = data.read("LP3G.txt");
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = skew.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(skew.substr(at, end - at + 2));
  std::reverse(lines.begin() + 1, lines.end());
  std::string reversed;
  for (const auto& line : lines) reversed += line;
  data.write("LP3G.txt", reversed);
  // A letter in the matrix and a station without its annual flow file.
  std::string matrix = data.read("UserWLS.txt");
  matrix.replace(matrix.rfind("0.05"), 4, "abc");
  data.write("UserWLS.txt", matrix);
  fs::remove(data.path() / ("DOVL" + stations[2] + ".txt"));
  const auto before = folderContents(data);

  const ProgramResult r = session(
      data, kSteps1And2 +
                "frmFixStationIDs: click cmdAddLeadingZero\nanswer yes\n"  // repair, rewrite
                "answer yes\n"                                             // reorder the skew file
                "answer yes\n"                                             // go on after the matrix
                "state\nshow tbMyStatus\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("== msgbox 4 \"Lines out of order\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("== msgbox 4 \"User Defined Matrix Error:\""), std::string::npos);
  EXPECT_NE(r.out.find("== msgbox 16 \"Annual Flow Files Error:\""), std::string::npos);
  EXPECT_NE(r.out.find("InputFilesChecked: false\n"), std::string::npos);

  auto after = folderContents(data);
  EXPECT_EQ(after["SiteInfo.txt"], clean.read("SiteInfo.txt"));
  EXPECT_EQ(after["SiteInfo.txt-BadFile-12-7-2026.txt"], site);
  EXPECT_EQ(after["LP3G.txt"], clean.read("LP3G.txt"));
  EXPECT_EQ(after.count("USERWLS.txt"), 0u) << "a matrix with errors is not written";
  EXPECT_EQ(after.erase("DOVLAnnualTimeSeries.txt"), 1u);
  for (const char* untouched : {"FlowChar.txt", "LP3K.txt", "LP3s.txt", "UserWLS.txt"})
    EXPECT_EQ(after[untouched], before.at(untouched)) << untouched;
  for (const auto& station : stations) {
    const std::string name = "DOVL" + station + ".txt";
    if (before.count(name)) {
      EXPECT_EQ(after[name], before.at(name)) << name;
    }
  }
}

}  // namespace
}  // namespace tarvex::testing

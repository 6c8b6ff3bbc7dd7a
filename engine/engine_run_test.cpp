#include "engine_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "temp_dir.h"

namespace tarvex::engine {
namespace {

namespace fs = std::filesystem;
using testing::folderListing;
using testing::TempDir;

constexpr const char* kSiteHeading =
    "Station ID\tLat\tLong\tNo. Annual Series\tZero-1;NonZero-2\tFreqZero\tRegional "
    "Skew\tCont-1;PR-2";

std::string lines(const std::vector<std::string>& rows) {
  std::string text;
  for (const auto& row : rows) text += row + "\r\n";
  return text;
}

std::string siteLine(const std::string& station, const std::string& basins) {
  return station + "\t30.5\t-92.1\t20\t2\t0\t-0.1\t1\t" + basins;
}

// Four stations with drainage areas 10^1 .. 10^4 and flows 10^2, 10^3, 10^5, 10^6:
// in logarithms the straight line worked by hand in the core's tests (0.5 and 1.4).
struct DataFolder {
  DataFolder() {
    dir.write("SiteInfo.txt", lines({std::string(kSiteHeading) + "\tDrainage Area",
                                     siteLine("08010000", "10"), siteLine("08020000", "100"),
                                     siteLine("08030000", "1000"), siteLine("08040000", "10000")}));
    dir.write("FlowChar.txt", lines({"Station ID\tQ2", "08010000\t100", "08020000\t1000",
                                     "08030000\t100000", "08040000\t1000000"}));
    for (const char* name : {"LP3G.txt", "LP3K.txt", "LP3s.txt"})
      dir.write(name, lines({"Station ID\tQ2", "08010000\t-0.1", "08020000\t0.2", "08030000\t0.3",
                             "08040000\t0.4"}));
  }
  std::string results() const { return dir.read(kResultsName); }
  int run(std::string* err = nullptr) const {
    std::ostringstream messages;
    const int status = runEngine(dir.path(), "2026-12-07 10:00:00", messages);
    if (err) *err = messages.str();
    return status;
  }
  TempDir dir;
};

TEST(EngineRun, FitOfTheWorkedCase) {
  DataFolder data;
  ASSERT_EQ(data.run(), 0);
  EXPECT_EQ(data.results(), std::string(kResultsHeading) +
                                "\r\n"
                                "Run of 2026-12-07 10:00:00\r\n"
                                "Input files\r\n"
                                "  SiteInfo.txt: 4 stations\r\n"
                                "  FlowChar.txt: 4 stations, 1 flow characteristics\r\n"
                                "  LP3G.txt: 4 stations\r\n"
                                "  LP3K.txt: 4 stations\r\n"
                                "  LP3s.txt: 4 stations\r\n"
                                "Explanatory variables: log10 of Drainage Area\r\n"
                                "\r\n"
                                "Flow characteristic Q2: ordinary least squares of log10(Q2)\r\n"
                                "  Term                        Coefficient     Standard error\r\n"
                                "  Constant                    0.500000        0.387298\r\n"
                                "  log10(Drainage Area)        1.400000        0.141421\r\n"
                                "  R-squared                   0.9800\r\n"
                                "  Standard error of estimate  0.3162 (log10 units)\r\n"
                                "  Stations used               4\r\n"
                                "\r\n");
}

TEST(EngineRun, AppendsOnARerunAndWritesNothingElse) {
  DataFolder data;
  const std::vector<std::string> before = folderListing(data.dir.path());
  ASSERT_EQ(data.run(), 0);
  const std::string first = data.results();
  ASSERT_EQ(data.run(), 0);
  EXPECT_EQ(data.results(), first + first);
  std::vector<std::string> after = before;
  after.push_back(kResultsName);
  std::sort(after.begin(), after.end());
  EXPECT_EQ(folderListing(data.dir.path()), after);
}

TEST(EngineRun, OptionalFilesNamesInOtherCaseAndLeftOutData) {
  DataFolder data;
  // Names as a system that ignores case may have left them.
  fs::rename(data.dir.path() / "FlowChar.txt", data.dir.path() / "FLOWCHAR.TXT");
  data.dir.write("SiteInfo.txt",
                 lines({std::string(kSiteHeading) + "\tDrainage Area\tForest\tSlope",
                        siteLine("08010000", "10\t0\t1"), siteLine("08020000", "100\t5\t2"),
                        siteLine("08030000", "1000\t9\t4"), siteLine("8040000", "10000\t1\t")}));
  data.dir.write("FLOWCHAR.TXT",
                 lines({"Station ID\tQ2\tQ10", "08010000\t100\t200", "08020000\t1000\t-1",
                        "08030000\t100000\t300", "08040000\t1000000\t400"}));
  data.dir.write("USERWLS.txt",
                 lines({"1\t0\t0\t0", "0\t1\t0\t0", "0\t0\t1\t0", "0\t0\t0\t1", ""}));
  data.dir.write(
      "DOVLAnnualTimeSeries.txt",
      lines({"DOVL08010000\t1990\t5.5", "DOVL08010000\t1991\t6", "DOVL08020000\t1990\t7"}));
  ASSERT_EQ(data.run(), 0);
  const std::string results = data.results();
  for (const char* expected : {
           "  USERWLS.txt: 4 x 4 weighting matrix (not used by this fit)\r\n",
           "  DOVLAnnualTimeSeries.txt: 3 annual flows of 2 stations (not used by this fit)\r\n",
           "Site column left out: Forest (not a positive number at station 08010000)\r\n",
           "Site column left out: Slope (not a positive number at station 8040000)\r\n",
           "Explanatory variables: log10 of Drainage Area\r\n",
           "Flow characteristic Q10: ordinary least squares of log10(Q10)\r\n",
           "  Stations left out           08020000 (no positive Q10)\r\n",
       })
    EXPECT_NE(results.find(expected), std::string::npos) << expected;
}

TEST(EngineRun, UnusableInputFailsWithAClearMessage) {
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;  // written over the good ones
    std::vector<std::string> removed;
    std::string message;
  };
  const std::string site = std::string(kSiteHeading) + "\tDrainage Area";
  const std::vector<Case> cases = {
      {"no stations", {{"SiteInfo.txt", lines({site})}}, {}, "SiteInfo.txt lists no stations"},
      {"missing flow file",
       {},
       {"FlowChar.txt"},
       "cannot read FlowChar.txt: the file does not exist"},
      {"flow file that is a folder",
       {{"FlowChar.txt/x", ""}},
       {"FlowChar.txt"},
       "cannot read FlowChar.txt: Path/File access error"},
      {"stations in another order",
       {{"LP3K.txt",
         lines({"Station ID\tQ2", "08020000\t1", "08010000\t1", "08030000\t1", "08040000\t1"})}},
       {},
       "station 1 of LP3K.txt is 08020000 where SiteInfo.txt has 08010000"},
      {"singular design",
       {{"SiteInfo.txt",
         lines({site + "\tArea again", siteLine("08010000", "10\t10"),
                siteLine("08020000", "100\t100"), siteLine("08030000", "1000\t1000"),
                siteLine("08040000", "10000\t10000")})}},
       {},
       "Q2: the design is singular (its columns are linearly dependent)"},
      {"too few positive flows",
       {{"FlowChar.txt", lines({"Station ID\tQ2", "08010000\t100", "08020000\t0", "08030000\tn/a",
                                "08040000\t-5"})}},
       {},
       "Q2: 1 stations are too few for 2 coefficients"},
      {"no basin characteristic",
       {{"SiteInfo.txt", lines({site, siteLine("08010000", "10"), siteLine("08020000", "0"),
                                siteLine("08030000", "1000"), siteLine("08040000", "10000")})}},
       {},
       "SiteInfo.txt has no basin characteristic (column 9 on) with a positive number at every "
       "station"},
      {"matrix of the wrong size",
       {{"UserWLS.txt", lines({"1\t0", "0\t1"})}},
       {},
       "UserWLS.txt has 2 rows for 4 stations"},
      {"results that lead out of the folder", {}, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataFolder data;
    for (const auto& name : c.removed) fs::remove(data.dir.path() / name);
    for (const auto& [name, bytes] : c.files) data.dir.write(name, bytes);
    std::string message = c.message;
    TempDir outside;
    if (message.empty()) {
      outside.write("theirs.txt", "not ours");
      fs::create_symlink(outside.path() / "theirs.txt", data.dir.path() / kResultsName);
      message = "TARVEXResults.txt is not a plain file of the data folder";
    }
    std::string err;
    EXPECT_EQ(data.run(&err), 1);
    EXPECT_EQ(err, "TARVEXv1: " + message + "\n");
    if (c.message.empty()) {
      EXPECT_EQ(outside.read("theirs.txt"), "not ours");
      EXPECT_TRUE(fs::is_symlink(data.dir.path() / kResultsName));
    } else {
      EXPECT_EQ(data.results(), std::string(kResultsHeading) +
                                    "\r\nRun of 2026-12-07 10:00:00\r\nRun failed: " + message +
                                    "\r\n\r\n");
    }
  }
}

// A table that is a pipe or a device is refused at once: the engine neither waits on it
// nor reads it without end.
TEST(EngineRun, TablesThatAreNoFilesAreRefusedWithoutWaiting) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
  };
  const std::vector<Case> cases = {
      {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
      {"a link to an endless device",
       [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataFolder data;
    fs::remove(data.dir.path() / "FlowChar.txt");
    c.make(data.dir.path() / "FlowChar.txt");
    std::string err;
    EXPECT_EQ(data.run(&err), 1);
    EXPECT_EQ(err,
              "TARVEXv1: cannot read FlowChar.txt: Path/File access error: FlowChar.txt is not a "
              "regular file\n");
  }
}

// The program itself on the bundled demonstration data: every characteristic is fitted.
TEST(EngineRun, ProgramOnTheDemoData) {
  TempDir copy;
  fs::copy(testing::sourceDir() + "/examples/demo/data", copy.path(), fs::copy_options::recursive);
  const testing::ProgramResult result =
      testing::runProgram("cd " + testing::shellQuote(copy.path().string()) + " && " +
                          testing::shellQuote(testing::buildBinDir() + "/TARVEXv1"));
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string results = copy.read(kResultsName);
  EXPECT_TRUE(results.starts_with(std::string(kResultsHeading) + "\r\n"));
  EXPECT_NE(results.find("  UserWLS.txt: 12 x 12 weighting matrix with station headings"),
            std::string::npos);
  std::size_t fits = 0;
  for (auto at = results.find("\r\nFlow characteristic "); at != std::string::npos;
       at = results.find("\r\nFlow characteristic ", at + 1))
    ++fits;
  EXPECT_EQ(fits, 4u);
}

// A program started with arguments was not started by the shell: it answers and leaves the
// data folder as it was.
TEST(EngineRun, ArgumentsAnswerWithoutRunning) {
  TempDir copy;
  fs::copy(testing::sourceDir() + "/examples/demo/data", copy.path(), fs::copy_options::recursive);
  const std::vector<std::string> before = folderListing(copy.path());
  const struct {
    const char* arguments;
    int exitCode;
    const char* out;  // how standard output begins
    bool message;     // a line on standard error
  } cases[] = {
      {"--help", 0, "Usage: TARVEXv1\n", false},
      {"-h", 0, "Usage: TARVEXv1\n", false},
      {"--version", 0, "TARVEXv1 " TARVEX_VERSION "\n", false},
      {"--run", 2, "", true},
      {"--help --version", 2, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const testing::ProgramResult result = testing::runProgram(
        "cd " + testing::shellQuote(copy.path().string()) + " && " +
        testing::shellQuote(testing::buildBinDir() + "/TARVEXv1") + " " + c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_TRUE(result.out.starts_with(c.out)) << result.out;
    EXPECT_EQ(result.err.empty(), !c.message) << result.err;
    EXPECT_EQ(folderListing(copy.path()), before);
  }
}

}  // namespace
}  // namespace tarvex::engine

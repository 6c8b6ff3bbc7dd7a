#include "run/output_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

std::string runName(int run) {
  char text[16];
  std::snprintf(text, sizeof text, "Run%03d", run);
  return std::string("TARVEXOutput-2011-03-05") + text;
}

TEST(OutputName, DefaultTakesTheFirstFreeCounter) {
  struct Case {
    std::string name;
    CalendarDate date;
    int taken;  // folders Run001 .. Run<taken> exist
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"empty folder", {2011, 3, 5}, 0, "TARVEXOutput-2011-03-05Run001"},
      {"second run of the day", {2011, 3, 5}, 1, "TARVEXOutput-2011-03-05Run002"},
      {"two digits", {2011, 3, 5}, 9, "TARVEXOutput-2011-03-05Run010"},
      {"three digits", {2011, 3, 5}, 99, "TARVEXOutput-2011-03-05Run100"},
      {"last counter", {2011, 3, 5}, 998, "TARVEXOutput-2011-03-05Run999"},
      {"two-digit month and day", {2026, 12, 17}, 0, "TARVEXOutput-2026-12-17Run001"},
      {"other day's folders do not count", {2011, 3, 6}, 5, "TARVEXOutput-2011-03-06Run001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (int run = 1; run <= c.taken; ++run) fs::create_directory(dir.path() / runName(run));
    EXPECT_EQ(defaultOutputName(c.date, dir.dir()), c.expected);
  }
}

TEST(OutputName, AnyEntryTakesACounterButGapsAreFilled) {
  TempDir dir;
  // A folder cannot be made where a file or a dangling link has the name.
  dir.write(runName(1), "a file, not a folder");
  EXPECT_EQ(defaultOutputName({2011, 3, 5}, dir.dir()), runName(2));
  fs::create_symlink(dir.path() / "nowhere", dir.path() / runName(2));
  EXPECT_EQ(defaultOutputName({2011, 3, 5}, dir.dir()), runName(3));
  fs::create_directory(dir.path() / runName(4));
  fs::remove(dir.path() / runName(1));
  EXPECT_EQ(defaultOutputName({2011, 3, 5}, dir.dir()), runName(1));
}

TEST(OutputName, FallbackWhenEveryCounterIsTaken) {
  TempDir dir;
  for (int run = 1; run <= 999; ++run) fs::create_directory(dir.path() / runName(run));
  const std::regex fallback("TARVEXOutput-2011-03-05-([0-9]+)");
  for (int draw = 0; draw < 20; ++draw) {
    const std::string name = defaultOutputName({2011, 3, 5}, dir.dir());
    std::smatch match;
    ASSERT_TRUE(std::regex_match(name, match, fallback)) << name;
    const long number = std::stol(match[1]);
    EXPECT_GE(number, 1000);
    EXPECT_LE(number, 1000001);
  }
}

TEST(OutputName, CleaningTypedNames) {
  struct Case {
    std::string typed;
    std::string trimmed;  // written back
    std::string cleaned;
  };
  const std::string acceptable150 = std::string(75, 'a') + std::string(75, '9');
  const std::vector<Case> cases = {
      {"My results #1", "My results #1", "My_results_1/"},
      {"  padded  ", "padded", "padded/"},
      {"a-b_C9", "a-b_C9", "a-b_C9/"},
      {"../up/and\\over", "../up/and\\over", "upandover/"},
      {"tab\there", "tab\there", "tabhere/"},
      {"caf\xc3\xa9", "caf\xc3\xa9", "caf/"},
      {"a  b", "a  b", "a__b/"},
      {acceptable150, acceptable150, acceptable150.substr(0, 100) + "/"},
      {std::string(99, 'x') + " y", std::string(99, 'x') + " y", std::string(99, 'x') + "_/"},
      {"", "", "ErrorEmptyDirName\\"},
      {"    ", "", "ErrorEmptyDirName\\"},
      {"***", "***", "ErrorBadDirName\\"},
      {" . ", ".", "ErrorBadDirName\\"},
      {"\xc3\xa9", "\xc3\xa9", "ErrorBadDirName\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string text = c.typed;
    EXPECT_EQ(cleanDirName(text), c.cleaned);
    EXPECT_EQ(text, c.trimmed);
  }
}

}  // namespace
}  // namespace tarvex::testing

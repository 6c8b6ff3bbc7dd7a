#include "platform/standard_name.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace tarvex::testing {
namespace {

TEST(StandardName, FoundIgnoringCaseExactFirst) {
  struct Row {
    std::vector<std::string> entries;
    std::string resolved;
  };
  const std::vector<Row> rows = {
      {{}, "USERWLS.txt"},
      {{"USERWLS.txt"}, "USERWLS.txt"},
      {{"UserWLS.txt"}, "UserWLS.txt"},
      {{"userwls.TXT", "UserWLS.txt"}, "UserWLS.txt"},
      {{"UserWLS.txt", "USERWLS.txt"}, "USERWLS.txt"},
      {{"UserWLS.txt.bak", "USERWLS.tx"}, "USERWLS.txt"},
  };
  for (const Row& row : rows) {
    TempDir dir;
    for (const auto& entry : row.entries) dir.write(entry, "x");
    EXPECT_EQ(resolveStandardName(dir.path(), "USERWLS.txt"), dir.path() / row.resolved);
  }
  EXPECT_TRUE(sameNameIgnoringCase("LP3s.txt", "lp3S.TXT"));
  EXPECT_FALSE(sameNameIgnoringCase("LP3s.txt", "LP3s.txt "));
  EXPECT_FALSE(sameNameIgnoringCase("\xc4.txt", "\xe4.txt"));
}

}  // namespace
}  // namespace tarvex::testing

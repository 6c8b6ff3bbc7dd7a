#include "platform/standard_name.h"

#include <gtest/gtest.h>

#include <algorithm>

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
      // Many variants: the first in byte order, wherever the folder lists it.
      {{"userwls.txt", "UserWls.txt", "USERwls.TXT", "uSERWLS.txt", "UserWLS.txt"}, "USERwls.TXT"},
      {{"uSERWLS.txt", "userWLS.Txt", "UserWls.txt", "userwls.txt", "UserWLS.txt", "userwLS.txt"},
       "UserWLS.txt"},
      {{"userwls.txt", "usERwls.txt", "userWLS.Txt", "uSERWLS.txt", "userwLS.txt"}, "uSERWLS.txt"},
  };
  for (const Row& row : rows) {
    TempDir dir;
    for (const auto& entry : row.entries) dir.write(entry, "x");
    EXPECT_EQ(resolveStandardName(dir.path(), "USERWLS.txt"), dir.path() / row.resolved);
    std::vector<std::filesystem::path> all;
    for (const auto& entry : row.entries)
      if (sameNameIgnoringCase(entry, "USERWLS.txt")) all.push_back(dir.path() / entry);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(namesInAnyCase(dir.path(), "USERWLS.txt"), all);
  }
  EXPECT_TRUE(sameNameIgnoringCase("LP3s.txt", "lp3S.TXT"));
  EXPECT_FALSE(sameNameIgnoringCase("LP3s.txt", "LP3s.txt "));
  EXPECT_FALSE(sameNameIgnoringCase("\xc4.txt", "\xe4.txt"));
}

}  // namespace
}  // namespace tarvex::testing

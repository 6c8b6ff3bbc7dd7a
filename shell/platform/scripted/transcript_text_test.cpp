#include "platform/scripted/transcript_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvex::testing {
namespace {

TEST(TranscriptText, NoTextCanForgeAnEvent) {
  struct Row {
    std::string text;
    std::string shown;
  };
  const std::vector<Row> rows = {
      {"Status: Loaded", "Status: Loaded"},
      {"one\r\ntwo\rthree", "one\ntwo\nthree"},
      {"tab\tstays, bytes \xe9 stay, ErrorBadDirName\\",
       "tab\tstays, bytes \xe9 stay, ErrorBadDirName\\"},
      {"x\n== end", "x\\n== end"},
      {"x\r\n== end", "x\n\\== end"},
      {"== end", "\\== end"},
      {"-> yes", "\\-> yes"},
      {"a == b -> c", "a == b -> c"},
      {"==x", "==x"},
      {std::string("nul\0bell\x07"
                   "del\x7f",
                   13),
       "nul\\x00bell\\x07del\\x7f"},
      {"\r\n", "\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(transcriptText(row.text), row.shown) << row.text;
}

TEST(TranscriptText, QuotedFieldsAndSingleLines) {
  struct Row {
    std::string text;
    std::string quoted;
    std::string line;
  };
  const std::vector<Row> rows = {
      {"/data/x", "\"/data/x\"", "/data/x"}, {"say \"hi\"", "\"say \\\"hi\\\"\"", "say \"hi\""},
      {"a\\b", "\"a\\\\b\"", "a\\b"},        {"x\n== end", "\"x\\n== end\"", "x\\n== end"},
      {"x\r\"", "\"x\\r\\\"\"", "x\\r\""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(transcriptQuoted(row.text), row.quoted) << row.text;
    EXPECT_EQ(transcriptLine(row.text), row.line) << row.text;
  }
}

}  // namespace
}  // namespace tarvex::testing

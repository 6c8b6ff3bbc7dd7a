#include "tables/table_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/text_file.h"
#include "temp_dir.h"
#include "transcript.h"

namespace tarvex::testing {
namespace {

std::vector<std::string> linesOf(TableReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

// The rule, a byte at a time: a carriage return ends a line, and a line feed right after
// it belongs to that end.
std::vector<std::string> splitByRule(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      line += bytes[i];
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(TableReader, LinesEndAtCarriageReturns) {
  struct Row {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\r\n", {"a\nb"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\r\n\n", {"a", "\n"}},
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(splitLines(row.bytes), row.lines) << row.bytes;
    EXPECT_EQ(splitByRule(row.bytes), row.lines) << row.bytes;
  }
}

// The reader splits a file as the whole-file rule splits its bytes, wherever a line end
// falls against the blocks it reads: a carriage return as the last byte of a block with its
// line feed in the next, lines longer than a block, text after the last line end.
TEST(TableReader, LinesAsTheTablesRuleSplitsThem) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  const std::string longField(3 * kBlock + 17, '7');
  const std::vector<std::string> texts = {
      "",
      "\r\n",
      "a",
      "a\r\nb\r\n",
      "a\rb\r",
      "a\nb\r\nc",
      "\r\r\n\r",
      std::string(kBlock - 1, 'x') + "\r\nafter",
      std::string(kBlock - 1, 'x') + "\rafter",
      std::string(kBlock, 'x') + "\r\n",
      std::string(kBlock - 2, 'x') + "\r\n\r\n",
      "head\r\n" + longField + "\tend\r\n" + longField,
  };
  const TempDir dir;
  for (const std::string& text : texts) {
    const auto file = dir.write("table.txt", text);
    const auto wanted = splitByRule(text);
    TableReader fromFile(file);
    EXPECT_EQ(fromFile.size(), text.size());
    EXPECT_EQ(linesOf(fromFile), wanted) << text.size() << " bytes";
    EXPECT_EQ(fromFile.consumed(), text.size());
    TableReader fromMemory{std::string_view(text)};
    EXPECT_EQ(linesOf(fromMemory), wanted) << text.size() << " bytes";
    EXPECT_EQ(fromMemory.consumed(), text.size());
  }
}

// How far the reading has come grows with the lines handed out, so progress can be shown.
TEST(TableReader, ConsumedFollowsTheLines) {
  const std::string text = "one\r\ntwo\rthree";
  TableReader reader{std::string_view(text)};
  std::string_view line;
  std::vector<std::uint64_t> consumed;
  while (reader.next(line)) consumed.push_back(reader.consumed());
  EXPECT_EQ(consumed, (std::vector<std::uint64_t>{5, 9, 14}));
}

TEST(TableReader, RefusesWhatIsNoTable) {
  const TempDir dir;
  const auto file = dir.write("big.txt", std::string(100, 'x'));
  EXPECT_RUNTIME_ERROR(TableReader(file, 99), 7);
  EXPECT_NO_THROW(TableReader(file, 100));
  EXPECT_RUNTIME_ERROR(TableReader(dir.path()), 75);
  EXPECT_RUNTIME_ERROR(TableReader(dir.path() / "missing.txt"), 53);
  const auto fifo = dir.path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_RUNTIME_ERROR(TableReader{fifo}, 75);
}

}  // namespace
}  // namespace tarvex::testing

#include "platform/unified_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run_program.h"
#include "temp_dir.h"

namespace tarvex {
namespace {

using testing::readBytes;
using testing::runProgram;
using testing::shellQuote;
using testing::TempDir;

// `count` table lines "STATION<TAB>value" ending in `end`, under a heading.
std::string table(std::size_t count, std::string_view end = "\r\n") {
  std::string text = "Station ID\tQ2";
  text += end;
  for (std::size_t i = 0; i < count; ++i) {
    text += "080" + std::to_string(10000 + i) + "\t" + std::to_string(i * 7 % 1000);
    text += end;
  }
  return text;
}

std::vector<std::string> linesOf(const std::string& text, char end) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == end) {
      lines.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

std::string reversedLines(const std::string& text, char end) {
  std::vector<std::string> lines = linesOf(text, end);
  std::reverse(lines.begin() + 1, lines.end());
  return joined(lines);
}

std::size_t hunkCount(const std::string& diff) {
  std::size_t count = 0;
  for (std::size_t at = diff.find("\n@@ "); at != std::string::npos;
       at = diff.find("\n@@ ", at + 1))
    ++count;
  return count;
}

struct Pair {
  std::string what;
  std::string before;
  std::string after;
};

// Before and after of the rewrites the repairs make, and of what a diff finds hard.
std::vector<Pair> pairs() {
  const std::string crlf = table(12);
  std::string renumbered = crlf;
  renumbered.replace(renumbered.find("08010003"), 8, "8010003");
  renumbered.replace(renumbered.find("08010009"), 8, "A08010009");
  std::vector<std::string> big = linesOf(table(10000), '\n');
  std::vector<std::string> oneMoved = big;
  std::swap(oneMoved[5000], oneMoved[5001]);
  std::vector<std::string> farApart = big;
  farApart[2] = "changed near the top\r\n";
  farApart[9000] = "changed near the end\r\n";
  std::string blanks;
  for (int i = 0; i < 40; ++i) blanks += i % 5 == 0 ? "x\n" : "\n";
  std::string fewerBlanks = blanks;
  fewerBlanks.erase(10, 3);
  return {
      {"station numbers in a CR LF table", crlf, renumbered},
      {"LF alone to CR LF", table(12, "\n"), crlf},
      {"mixed line ends to CR LF", "Station ID\r\n1\n2\r\n3\r4\n5", table(2)},
      {"byte-order mark removed", "\xEF\xBB\xBF" + crlf, crlf},
      {"no final line end, then one", "a\r\nb\r\nc", "a\r\nb\r\nc\r\n"},
      {"final line end removed", "a\nb\nc\n", "a\nb\nc"},
      {"last line changed, neither ends", "a\nb\nc", "a\nb\nd"},
      {"lines reversed", crlf, reversedLines(crlf, '\n')},
      {"5,000 lines reversed: past the edit limit", table(5000), reversedLines(table(5000), '\n')},
      {"one line swapped in 10,000", joined(big), joined(oneMoved)},
      {"changes far apart", joined(big), joined(farApart)},
      {"repeated blank lines", blanks, fewerBlanks},
      {"CR alone ends the lines", table(6, "\r"), reversedLines(table(6, "\r"), '\r')},
      {"a carriage return inside a line", "a\rb\nc\n", "a\rB\nc\n"},
      {"empty before", "", crlf},
      {"empty after", crlf, ""},
      {"identical", crlf, crlf},
  };
}

TEST(UnifiedDiff, PatchAppliesItToACopyAndGivesTheRewriteExactly) {
  ASSERT_EQ(runProgram("command -v patch").exitCode, 0)
      << "patch is missing (scripts/install-deps)";
  for (const std::string name : {"LP3G.txt", "Flow Char.txt", "odd\\\"name\t.txt"}) {
    for (const Pair& pair : pairs()) {
      SCOPED_TRACE(pair.what + " in " + name);
      const std::string diff = unifiedDiff(pair.before, pair.after, name);
      if (pair.before == pair.after) {
        EXPECT_EQ(diff, "");
        continue;
      }
      TempDir dir;
      dir.write(name, pair.before);
      dir.write("change.diff", diff);
      const auto result = runProgram("cd " + shellQuote(dir.path().string()) +
                                     " && (patch -p1 --binary < change.diff)");
      EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
      EXPECT_TRUE(readBytes(dir.path() / name) == pair.after);
      // Nothing beside the file: no backup, no rejects.
      EXPECT_EQ(testing::folderListing(dir.path()).size(), 2u);
    }
  }
}

TEST(UnifiedDiff, HeadersHunksAndLineEndsAsPatchReadsThem) {
  struct Row {
    std::string what, before, after, name, expected;
  };
  const std::vector<Row> rows = {
      {"one line changed", "a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n", "T.txt",
       "--- a/T.txt\n+++ b/T.txt\n@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n"},
      {"removals before additions, context of three", "1\n2\n3\n4\n5\n6\n7\n8\n",
       "1\n2\n3\n4\nX\nY\n6\n7\n8\n", "T.txt",
       "--- a/T.txt\n+++ b/T.txt\n@@ -2,7 +2,8 @@\n 2\n 3\n 4\n-5\n+X\n+Y\n 6\n 7\n 8\n"},
      {"no line end on either side", "a\nb", "a\nc", "T.txt",
       "--- a/T.txt\n+++ b/T.txt\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of "
       "file\n+c\n\\ No newline at end of file\n"},
      {"a carriage return alone stays inside its line", "h\rx\r", "h\ry\r", "T.txt",
       "--- a/T.txt\n+++ b/T.txt\n@@ -1 +1 @@\n-h\rx\r\n\\ No newline at end of file\n+h\ry\r\n"
       "\\ No newline at end of file\n"},
      {"empty before", "", "a\n", "T.txt", "--- a/T.txt\n+++ b/T.txt\n@@ -0,0 +1 @@\n+a\n"},
      {"empty after", "a\nb\n", "", "T.txt", "--- a/T.txt\n+++ b/T.txt\n@@ -1,2 +0,0 @@\n-a\n-b\n"},
      {"a blank in the name ends it with a tab", "a\n", "b\n", "My Sites.txt",
       "--- a/My Sites.txt\t\n+++ b/My Sites.txt\t\n@@ -1 +1 @@\n-a\n+b\n"},
      {"a quote and a tab are escaped", "a\n", "b\n", "x\"\t.txt",
       "--- \"a/x\\\"\\t.txt\"\n+++ \"b/x\\\"\\t.txt\"\n@@ -1 +1 @@\n-a\n+b\n"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(unifiedDiff(row.before, row.after, row.name), row.expected) << row.what;

  // Seven common lines part two hunks; six join them.
  const std::string base = "1\n2\n3\n4\n5\n6\n7\n8\n9\n";
  EXPECT_EQ(hunkCount(unifiedDiff(base, "X\n2\n3\n4\n5\n6\n7\n8\nY\n", "T")), 2u);
  EXPECT_EQ(hunkCount(unifiedDiff(base, "X\n2\n3\n4\n5\n6\n7\nY\n9\n", "T")), 1u);
}

TEST(UnifiedDiff, FindsTheFewestChangesWithinTheEditLimit) {
  std::vector<std::string> lines = linesOf(table(10000), '\n');
  const std::string before = joined(lines);
  std::swap(lines[5000], lines[5001]);
  const std::string swapped = unifiedDiff(before, joined(lines), "T");
  EXPECT_EQ(hunkCount(swapped), 1u);
  // Two header lines, the hunk's, then three lines of context, one line out, the other
  // line, the first one in again, three lines of context.
  EXPECT_EQ(std::count(swapped.begin(), swapped.end(), '\n'), 2 + 1 + 9);

  // Past the limit the differing middle is one hunk: every line out, every line in.
  const std::string many = table(3000);
  const std::string diff = unifiedDiff(many, reversedLines(many, '\n'), "T");
  EXPECT_EQ(hunkCount(diff), 1u);
  EXPECT_NE(diff.find("\n@@ -1,3001 +1,3001 @@\n"), std::string::npos);
}

TEST(ChangedLines, CountsTheLargerOfRemovedAndAddedLines) {
  struct Row {
    std::string what, before, after;
    std::size_t expected;
  };
  std::string renumbered = table(12);
  renumbered.replace(renumbered.find("08010003"), 8, "8010003");
  const std::vector<Row> rows = {
      {"identical", table(12), table(12), 0},
      {"one station number", table(12), renumbered, 1},
      {"LF alone to CR LF", table(12, "\n"), table(12), 13},
      {"byte-order mark removed", "\xEF\xBB\xBF" + table(12), table(12), 1},
      {"CR alone to CR LF, each line", table(12, "\r"), table(12), 13},
      {"two CR-alone lines swapped", "h\ra\rb\rc\r", "h\rb\ra\rc\r", 1},
      {"one line out, two in elsewhere", "a\nb\nc\nd\n", "a\nc\nd\ne\nf\n", 2},
      {"empty before", "", "a\nb\nc", 3},
      {"empty after", "a\r\nb\r\n", "", 2},
      {"last line without its end", "a\nb", "a\nb\n", 1},
      {"past the edit limit, the whole middle", table(3000), reversedLines(table(3000), '\n'),
       3000},
  };
  for (const Row& row : rows)
    EXPECT_EQ(changedLines(row.before, row.after), row.expected) << row.what;
}

}  // namespace
}  // namespace tarvex

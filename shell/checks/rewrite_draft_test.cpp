#include "checks/rewrite_draft.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "check_harness.h"
#include "platform/sha256.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Bytes that differ from place to place, so that a misplaced block shows.
std::string pattern(std::size_t size, char seed) {
  std::string bytes(size, ' ');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>('a' + (i * 7 + static_cast<std::size_t>(seed)) % 26);
  return bytes;
}

// Hands the bytes to the draft in pieces of the given size, as a check would.
std::optional<std::string> rewriteInPieces(CheckContext& context, const fs::path& path,
                                           const std::string& bytes, std::size_t piece) {
  RewriteDraft draft = context.startRewrite(path);
  for (std::size_t at = 0; at < bytes.size(); at += piece)
    draft.append(std::string_view(bytes).substr(at, piece));
  return context.finishRewrite(draft);
}

ino_t inodeOf(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::vector<std::string> temporaryFiles(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".tarvex-tmp-") != std::string::npos)
      names.push_back(entry.path().filename().string());
  return names;
}

// A rewrite written as it is made leaves the file exactly as a rewrite of the whole bytes
// would: unchanged contents leave the very file alone; changed ones replace it after its
// backup, wherever the first difference falls against the blocks that are compared.
TEST(RewriteDraft, WrittenAsItIsMadeLikeAWholeRewrite) {
  const std::string big = pattern(3 * kMiB + 17, 1);
  std::string changedLate = big;
  changedLate[kMiB + kMiB / 2] = '#';
  struct Row {
    std::string name;
    std::optional<std::string> before;  // none: no such file
    std::string after;
  };
  const std::vector<Row> rows = {
      {"a new file", std::nullopt, "new\r\n"},
      {"a new empty file", std::nullopt, ""},
      {"the same small file", "same\r\n", "same\r\n"},
      {"the same large file", big, big},
      {"a different first byte", big, "X" + big.substr(1)},
      {"a difference past the first block", big, changedLate},
      {"cut short", big, big.substr(0, 2 * kMiB + 5)},
      {"made longer", big, big + "more"},
      {"emptied", "old", ""},
  };
  for (const Row& row : rows) {
    for (const std::size_t piece : {std::size_t{1000}, 3 * kMiB}) {
      if (piece == 1000 && row.after.size() > kMiB &&
          row.name != "a difference past the first block")
        continue;  // small pieces only where they reach the difference
      SCOPED_TRACE(row.name + ", pieces of " + std::to_string(piece));
      CheckHarness harness;
      const fs::path path = harness.dataDir.path() / "table.txt";
      if (row.before) {
        harness.file("table.txt", *row.before);
        fs::permissions(path, fs::perms(0640));
      }
      const ino_t inode = inodeOf(path);
      const auto backup = rewriteInPieces(harness.context, path, row.after, piece);

      EXPECT_EQ(harness.read("table.txt"), row.after);
      EXPECT_TRUE(temporaryFiles(harness.dataDir.path()).empty());
      const auto& rewrites = harness.context.fileChanges().rewrites;
      if (row.before && *row.before == row.after) {
        EXPECT_EQ(inodeOf(path), inode);
        EXPECT_FALSE(backup);
        EXPECT_TRUE(rewrites.empty());
        continue;
      }
      ASSERT_EQ(rewrites.size(), 1u);
      EXPECT_EQ(rewrites[0].existed, row.before.has_value());
      if (!row.before) {
        EXPECT_FALSE(backup);
        continue;
      }
      ASSERT_TRUE(backup);
      EXPECT_EQ(harness.read(*backup), *row.before);
      EXPECT_EQ(rewrites[0].beforeHash, sha256Hex(*row.before));
      EXPECT_EQ(rewrites[0].afterHash, sha256Hex(row.after));
      EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    }
  }
}

// What may not be rewritten is refused only when it would change, and a draft that is
// dropped, or that a dry run takes, changes nothing.
TEST(RewriteDraft, RefusedDroppedAndDryRewritesChangeNothing) {
  const std::string big = pattern(2 * kMiB, 3);
  {
    SCOPED_TRACE("read-only, unchanged");
    CheckHarness harness;
    const fs::path path = harness.dataDir.path() / harness.file("ro.txt", big);
    fs::permissions(path, fs::perms(0444));
    EXPECT_NO_THROW(rewriteInPieces(harness.context, path, big, kMiB / 3));
  }
  {
    // A file with no write permission for anyone is refused whoever runs the check.
    SCOPED_TRACE("read-only, changed");
    CheckHarness harness;
    const fs::path path = harness.dataDir.path() / harness.file("ro.txt", big);
    fs::permissions(path, fs::perms(0444));
    EXPECT_RUNTIME_ERROR(rewriteInPieces(harness.context, path, big + "x", kMiB / 3), 70);
    EXPECT_EQ(harness.read("ro.txt"), big);
    EXPECT_EQ(folderListing(harness.dataDir.path()), std::vector<std::string>{"ro.txt"});
  }
  {
    SCOPED_TRACE("dropped");
    CheckHarness harness;
    const fs::path path = harness.dataDir.path() / harness.file("t.txt", big);
    {
      RewriteDraft draft = harness.context.startRewrite(path);
      draft.append("X");
      draft.append(big);
    }
    EXPECT_EQ(harness.read("t.txt"), big);
    EXPECT_TRUE(temporaryFiles(harness.dataDir.path()).empty());
  }
  {
    SCOPED_TRACE("dry run");
    CheckHarness harness;
    harness.context.fileChanges().dryRun = true;
    const fs::path path = harness.dataDir.path() / harness.file("t.txt", "old");
    EXPECT_EQ(rewriteInPieces(harness.context, path, big, kMiB),
              std::optional<std::string>("t.txt-BadFile-12-7-2026.txt"));
    EXPECT_EQ(harness.read("t.txt"), "old");
    EXPECT_EQ(rewriteInPieces(harness.context, harness.dataDir.path() / "new.txt", big, kMiB),
              std::nullopt);
    EXPECT_FALSE(fs::exists(harness.dataDir.path() / "new.txt"));
  }
  {
    SCOPED_TRACE("preview");
    CheckHarness harness;
    harness.context.fileChanges().dryRun = true;
    harness.context.fileChanges().preview = true;
    const fs::path path = harness.dataDir.path() / harness.file("t.txt", "old");
    rewriteInPieces(harness.context, path, big, kMiB / 2);
    EXPECT_EQ(harness.read("t.txt"), "old");
    EXPECT_EQ(harness.context.readFile(path), big);
    std::string lines;
    TableReader table = harness.context.readTable(path);
    for (std::string_view line; table.next(line);) lines += line;
    EXPECT_EQ(lines, big);
  }
}

}  // namespace
}  // namespace tarvex::testing

#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "file_size_limit.h"
#include "platform/run_time_error.h"
#include "temp_dir.h"
#include "transcript.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

TEST(TextFile, TrimRemovesBlanksOnly) {
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
  EXPECT_EQ(trimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(trimBlanks("   "), "");
}

TEST(TextFile, ReadingMissingOrFolderRaises) {
  TempDir dir;
  EXPECT_RUNTIME_ERROR(readFileBytes(dir.path() / "missing.txt"), 53);
  EXPECT_RUNTIME_ERROR(readFileBytes(dir.path()), 75);
}

// A table is read only when it is a regular file at the moment it is opened, and only
// whole up to the limit; nothing waits on a pipe or reads a device without end.
TEST(TextFile, ReadingRefusesWhatIsNoRegularFileAndWhatIsTooLarge) {
  TempDir dir;
  const auto fifo = dir.path() / "fifo.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.txt");
  const auto small = dir.write("small.txt", std::string(100, 'x'));
  struct Row {
    std::filesystem::path file;
    std::uint64_t limit;
    int number;
    std::string description;
  };
  const std::vector<Row> rows = {
      {fifo, kMaxFileBytes, 75, "Path/File access error: fifo.txt is not a regular file"},
      {dir.path() / "zero.txt", kMaxFileBytes, 75,
       "Path/File access error: zero.txt is not a regular file"},
      {small, 99, 7, "File too large: more than 99 bytes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    try {
      readFileBytes(row.file, row.limit);
      ADD_FAILURE() << "read";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), row.number);
      EXPECT_EQ(e.description(), row.description);
    }
  }
  EXPECT_EQ(readFileBytes(small, 100).size(), 100u);
  EXPECT_RUNTIME_ERROR(LineReader reader(fifo), 75);
}

TEST(TextFile, LineReaderStopsAtItsLimit) {
  TempDir dir;
  const auto file = dir.write("lines.txt", "one\r\ntwo\rthree\nstill three\r\n\r\nlast");
  struct Row {
    std::size_t limit;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {1000, {"one", "two", "three\nstill three", "", "last"}},
      {4, {"one"}},
      {5, {"one"}},
      {6, {"one", "t"}},
      {0, {}},
  };
  for (const Row& row : rows) {
    LineReader reader(file, row.limit);
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);) lines.push_back(line);
    EXPECT_EQ(lines, row.lines) << row.limit;
  }
  EXPECT_RUNTIME_ERROR(LineReader(dir.path() / "missing.txt"), 53);
}

TEST(RunTimeErrors, ErrnoMapsOntoClassicNumbers) {
  struct Row {
    int errnoValue;
    bool folder;
    int number;
  };
  const std::vector<Row> rows = {{ENOENT, false, 53}, {ENOENT, true, 76}, {EACCES, false, 70},
                                 {ENOSPC, false, 61}, {EIO, false, 57},   {ENOTDIR, false, 76},
                                 {EBUSY, false, 75}};
  for (const Row& row : rows) {
    const RunTimeError e = fromErrno(row.errnoValue, row.folder);
    EXPECT_EQ(e.number(), row.number) << row.errnoValue;
    EXPECT_EQ(e.description(), errorDescription(row.number));
  }
}

}  // namespace
}  // namespace tarvex::testing

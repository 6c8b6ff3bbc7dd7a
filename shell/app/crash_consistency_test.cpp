// A repair killed at any moment leaves every table whole: either as it was or as repaired,
// never torn; every backup holds the original; the next run clears what the killed one
// left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "run_program.h"
#include "sample_data.h"
#include "temp_dir.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kTables = {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt", "LP3K.txt",
                                          "LP3s.txt"};

// Starts the batch repair of `folder`, its output discarded.
pid_t startRepair(const fs::path& folder, bool fix) {
  const std::string binary = shellBinary();
  std::vector<std::string> args = {binary, "--check", folder.string(), "--date", "2026-12-08"};
  if (fix) args.push_back("--fix");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

int finish(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// A region whose repair rewrites three tables: site numbers that lost their leading zero,
// the flow characteristics in reverse order, two skew lines swapped.
void writeDamagedRegion(const fs::path& folder) {
  writeSampleData(folder, {.stations = 5000, .withMatrix = false, .withFlowFiles = false});
  const auto read = [&](const std::string& name) { return readBytes(folder / name); };
  std::string site = read("SiteInfo.txt");
  for (std::size_t at = site.find("\r\n0"); at != std::string::npos && at < 40000;
       at = site.find("\r\n0", at + 2))
    site.erase(at + 2, 1);
  writeBytes(folder / "SiteInfo.txt", site);

  std::vector<std::string> lines;
  const std::string flow = read("FlowChar.txt");
  for (std::size_t at = 0; at < flow.size();) {
    const auto end = flow.find("\r\n", at) + 2;
    lines.push_back(flow.substr(at, end - at));
    at = end;
  }
  std::reverse(lines.begin() + 1, lines.end());
  std::string reversed;
  for (const auto& line : lines) reversed += line;
  writeBytes(folder / "FlowChar.txt", reversed);

  std::string skew = read("LP3G.txt");
  const auto first = skew.find("\r\n") + 2, second = skew.find("\r\n", first) + 2,
             third = skew.find("\r\n", second) + 2;
  writeBytes(folder / "LP3G.txt", skew.substr(0, first) + skew.substr(second, third - second) +
                                      skew.substr(first, second - first) + skew.substr(third));
}

void copyTables(const fs::path& from, const fs::path& to) {
  for (const auto& entry : fs::directory_iterator(to)) fs::remove_all(entry.path());
  for (const std::string& table : kTables) fs::copy_file(from / table, to / table);
}

std::map<std::string, std::string> tables(const fs::path& folder) {
  std::map<std::string, std::string> bytes;
  for (const std::string& table : kTables) bytes[table] = readBytes(folder / table);
  return bytes;
}

TEST(CrashConsistency, ARepairKilledAtAnyMomentLeavesEveryTableWhole) {
  TempDir damaged, repaired, data;
  writeDamagedRegion(damaged.path());
  const auto original = tables(damaged.path());
  copyTables(damaged.path(), repaired.path());
  // The repair run whole, and how long it takes.
  std::vector<Clock::duration> durations;
  for (int run = 0; run < 3; ++run) {
    copyTables(damaged.path(), repaired.path());
    const auto started = Clock::now();
    ASSERT_EQ(WEXITSTATUS(finish(startRepair(repaired.path(), true))), 0);
    durations.push_back(Clock::now() - started);
  }
  const auto result = tables(repaired.path());
  for (const char* table : {"SiteInfo.txt", "FlowChar.txt", "LP3G.txt"})
    ASSERT_NE(result.at(table), original.at(table)) << table << " must be repaired";

  std::mt19937 random(20261208);
  // Moments spread over the shortest whole run, so that most land inside a run however the
  // machine's load changes meanwhile.
  const auto shortest = *std::min_element(durations.begin(), durations.end());
  std::uniform_int_distribution<long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(shortest).count());
  int killedMidway = 0;
  for (int kill = 0; kill < 200; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    copyTables(damaged.path(), data.path());
    const pid_t pid = startRepair(data.path(), true);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, SIGKILL);
    if (WIFSIGNALED(finish(pid))) ++killedMidway;

    for (const auto& [table, bytes] : tables(data.path()))
      ASSERT_TRUE(bytes == original.at(table) || bytes == result.at(table)) << table;
    for (const auto& entry : fs::directory_iterator(data.path())) {
      const std::string name = entry.path().filename().string();
      const auto mark = name.find("-BadFile-");
      // A temporary file is no backup until it has its name.
      if (mark == std::string::npos || name.front() == '.') continue;
      ASSERT_TRUE(readBytes(entry.path()) == original.at(name.substr(0, mark))) << name;
    }
    ASSERT_EQ(WEXITSTATUS(finish(startRepair(data.path(), false))), 0);
    // Nothing but the tables, their backups and the repair log.
    for (const auto& entry : fs::directory_iterator(data.path())) {
      const std::string name = entry.path().filename().string();
      ASSERT_TRUE(std::count(kTables.begin(), kTables.end(), name) == 1 ||
                  name == "TARVEXshell-repairs.jsonl" ||
                  (name.find("-BadFile-") != std::string::npos && name.front() != '.'))
          << name;
    }
  }
  // Most kills must land while the repair runs, or the test shows nothing.
  EXPECT_GT(killedMidway, 50);
  RecordProperty("killedMidway", killedMidway);
}

}  // namespace
}  // namespace tarvex::testing

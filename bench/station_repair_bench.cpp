// The station-number repair on large regions beside the check alone: every station of
// the site information file has lost its leading zero. "CheckRepaired" is the batch check
// of the region without the damage, "CheckDamaged" of the damaged one (nothing written;
// every line of the other files is then listed as mismatched); "Repair" is the batch check
// with --fix, which repairs the numbers, backs the file up, rewrites it, reads it again and
// checks the other files. All are reported per station, so linear work shows the same
// figure at every size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "app/batch_check.h"
#include "sample_data.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

// One folder per size and kind, made once; each run works on a fresh copy of it.
const testing::TempDir& region(int stations, bool damaged) {
  static std::map<std::pair<int, bool>, std::unique_ptr<testing::TempDir>> folders;
  auto& folder = folders[{stations, damaged}];
  if (folder) return *folder;
  folder = std::make_unique<testing::TempDir>();
  testing::writeSampleData(folder->path(),
                           {.stations = stations, .withMatrix = false, .withFlowFiles = false});
  if (!damaged) return *folder;
  const std::string site = folder->read("SiteInfo.txt");
  std::string damagedSite;
  for (std::size_t at = 0; at < site.size(); ++at)
    if (!(site[at] == '0' && at >= 2 && site[at - 1] == '\n')) damagedSite += site[at];
  folder->write("SiteInfo.txt", damagedSite);
  return *folder;
}

void copyFolder(const fs::path& from, const fs::path& to) {
  for (const auto& entry : fs::directory_iterator(to)) fs::remove_all(entry.path());
  for (const auto& entry : fs::directory_iterator(from))
    fs::copy_file(entry.path(), to / entry.path().filename());
}

void runCheck(benchmark::State& run, bool damaged, bool fix) {
  const int stations = static_cast<int>(run.range(0));
  const auto& source = region(stations, damaged);
  testing::TempDir data;
  for (auto _ : run) {
    run.PauseTiming();
    copyFolder(source.path(), data.path());
    run.ResumeTiming();
    std::ostringstream out, err;
    runBatchCheck({.folder = data.path().string(), .fix = fix}, out, err);
  }
  run.counters["ns/station"] =
      benchmark::Counter(static_cast<double>(stations) * static_cast<double>(run.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The check of the region as it is once repaired: what the repair adds to is this.
void BM_CheckRepaired(benchmark::State& run) { runCheck(run, false, false); }
void BM_CheckDamaged(benchmark::State& run) { runCheck(run, true, false); }
void BM_Repair(benchmark::State& run) { runCheck(run, true, true); }

BENCHMARK(BM_CheckRepaired)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CheckDamaged)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Repair)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// Step 2 on a large study region, headless, beside reading the same bytes once:
// 2,000 stations with every file (30 flow characteristics, a headed 2,000 x 2,000
// weighting matrix, 100-year annual flow files for every station). "Step2" is a click of
// the Step 2 button on a scripted desktop with the backup pause declined and the matrix
// written as USERWLS.txt; "BatchCheck" is the batch check of the same folder (which
// writes nothing); then each check alone; "ReadOnce" reads every input file's bytes once.
// The peak memory of the process after the runs is printed last.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/batch_check.h"
#include "checks/check_context.h"
#include "checks/flow_files.h"
#include "checks/site_info.h"
#include "checks/station_file.h"
#include "checks/user_matrix.h"
#include "platform/scripted/script.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "platform/text_file.h"
#include "sample_data.h"
#include "state/shell_state.h"
#include "temp_dir.h"
#include "window/main_window.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr int kStations = 2000;

// The data folder, made once for every benchmark. The matrix gets a name of its own, so
// that its engine copy is another file.
const testing::TempDir& dataFolder() {
  static const testing::TempDir folder;
  static const bool written = [] {
    testing::writeSampleData(
        folder.path(),
        {.stations = kStations, .flowColumns = 30, .years = 100, .matrixHeadings = true});
    fs::rename(folder.path() / "UserWLS.txt", folder.path() / "Matrix.txt");
    return true;
  }();
  static_cast<void>(written);
  return folder;
}

std::uintmax_t inputBytes() {
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(dataFolder().path()))
    if (entry.path().filename() != "USERWLS.txt" &&
        entry.path().filename() != "DOVLAnnualTimeSeries.txt")
      bytes += entry.file_size();
  return bytes;
}

void BM_Step2(benchmark::State& run) {
  const auto& folder = dataFolder();
  std::ofstream quiet("/dev/null");
  for (auto _ : run) {
    ScriptedDesktop desktop(quiet, folder.path());
    ShellState state;
    MainWindow window(desktop, state);
    state.WorkingDirectory = folder.dir();
    state.SiteInfoFileName = "SiteInfo.txt";
    state.FlowCharFileName = "FlowChar.txt";
    state.LP3GFileName = "LP3G.txt";
    state.LP3KFileName = "LP3K.txt";
    state.LP3sFileName = "LP3s.txt";
    state.UserWLSFileName = "Matrix.txt";
    state.InputFilesSpecified = true;
    desktop.setCurrentDirectory(folder.path());
    // As after Step 1 with these options; ticking the matrix box would undo Step 1.
    for (Control* option : {&window.cbUDWMatrix, &window.cbUDMHeadings, &window.cbDOVLFiles})
      option->setChecked(true);
    Script script = Script::parse("click cmdQAQCFiles\nanswer no\n");
    ScriptRunner(desktop, window, [] { return std::string(); }).run(script);
    if (!state.InputFilesChecked || state.ErrorCount != 0) run.SkipWithError("Step 2 failed");
  }
  run.counters["MB"] = static_cast<double>(inputBytes()) / 1e6;
}
BENCHMARK(BM_Step2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The batch check of the same folder with the same options, its JSON report kept in memory.
void BM_BatchCheck(benchmark::State& run) {
  const auto& folder = dataFolder();
  // The batch finds the matrix by its standard name.
  const fs::path matrix = folder.path() / "UserWLS.txt";
  fs::copy_file(folder.path() / "Matrix.txt", matrix, fs::copy_options::overwrite_existing);
  for (auto _ : run) {
    std::ostringstream out, err;
    const int status = runBatchCheck(
        {folder.path().string(), true, true, true, false, false, std::string("-")}, out, err);
    if (status != kNoErrors) run.SkipWithError(("batch check failed: " + err.str()).c_str());
  }
  fs::remove(matrix);
}
BENCHMARK(BM_BatchCheck)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One check alone, on the state the site information check leaves.
template <class Check>
void timeCheck(benchmark::State& run, Check check) {
  const auto& folder = dataFolder();
  std::ofstream quiet("/dev/null");
  ScriptedDesktop desktop(quiet, folder.path());
  ShellState state;
  MainWindow window(desktop, state);
  state.WorkingDirectory = folder.dir();
  desktop.setCurrentDirectory(folder.path());
  CheckContext context{state, desktop, window};
  ReadSiteInfo(context, "SiteInfo.txt");
  ReadStationFile(context, "FlowChar.txt", kFlowCharFile);
  for (auto _ : run) check(context);
}

void BM_SiteInfo(benchmark::State& run) {
  timeCheck(run, [](CheckContext& c) { ReadSiteInfo(c, "SiteInfo.txt"); });
}
void BM_FlowChar(benchmark::State& run) {
  timeCheck(run, [](CheckContext& c) { ReadStationFile(c, "FlowChar.txt", kFlowCharFile); });
}
void BM_Matrix(benchmark::State& run) {
  timeCheck(run, [](CheckContext& c) { SubReadUserWLS(c, "Matrix.txt", true); });
}
void BM_FlowFiles(benchmark::State& run) {
  timeCheck(run, [](CheckContext& c) { CheckFlowFiles(c); });
}
BENCHMARK(BM_SiteInfo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FlowChar)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Matrix)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FlowFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReadOnce(benchmark::State& run) {
  const auto& folder = dataFolder();
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder.path())) files.push_back(entry.path());
  for (auto _ : run) {
    std::size_t bytes = 0;
    for (const auto& file : files) bytes += readFileBytes(file).size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("input: %.1f MB, largest file (the matrix): %.1f MB, peak memory: %.1f MB\n",
              static_cast<double>(inputBytes()) / 1e6,
              static_cast<double>(fs::file_size(dataFolder().path() / "Matrix.txt")) / 1e6,
              static_cast<double>(usage.ru_maxrss) / 1e3);
  return 0;
}

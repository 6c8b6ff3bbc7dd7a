// Step 2 at national scale, beside a floor measured in the same run. For 2,000, 5,000 and
// 10,000 stations (every file: 30 flow characteristics, a headed N x N weighting matrix,
// 100-year annual flow files), each in a process of its own so that its peak memory is its
// own, best of three:
// - "session": a click of the Step 2 button on a scripted desktop, as the window runs it,
//   the backup pause declined; it writes USERWLS.txt and the compilation file anew;
// - "batch": `--check` of the same folder with the matrix and the flow files (writes nothing);
// - "floor": every input byte read, every field parsed by the checks' number reader, and
//   the two outputs (the matrix without its headings, the flow files' lines) written
//   through synced temporary files renamed into place.
// Usage: step2_bench [--only floor|session|batch] [STATIONS...] (--only: for a profiler)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/batch_check.h"
#include "platform/safe_write.h"
#include "platform/scripted/script.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "sample_data.h"
#include "shell_harness.h"
#include "state/shell_state.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"
#include "temp_dir.h"
#include "window/main_window.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr int kRepetitions = 3;
std::string only;  // the one run to make, when given

struct Measure {
  double seconds = 0;
  double peakMB = 0;
};

// Runs `work` in a child process: its time (seconds, sent back through a pipe) and its peak
// resident memory. A child that fails ends the bench.
Measure inChild(const std::function<void()>& work) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) std::exit(3);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    const auto start = std::chrono::steady_clock::now();
    work();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (::write(pipeEnds[1], &seconds, sizeof seconds) != sizeof seconds) ::_exit(3);
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  Measure measure;
  const bool timed = ::read(pipeEnds[0], &measure.seconds, sizeof measure.seconds) ==
                     static_cast<ssize_t>(sizeof measure.seconds);
  ::close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  if (!timed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "step2_bench: a measured run failed\n");
    std::exit(3);
  }
  measure.peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return measure;
}

Measure best(const std::string& name, const std::function<void()>& before,
             const std::function<void()>& work) {
  Measure result{1e300, 0};
  if (!only.empty() && name != only) return {1, 0};
  for (int i = 0; i < kRepetitions; ++i) {
    before();
    const Measure one = inChild(work);
    result.seconds = std::min(result.seconds, one.seconds);
    result.peakMB = std::max(result.peakMB, one.peakMB);
  }
  return result;
}

bool isInput(const fs::path& file) {
  const std::string name = file.filename().string();
  return name != "USERWLS.txt" && name != "DOVLAnnualTimeSeries.txt" && name != "UserWLS.txt";
}

void removeOutputs(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "USERWLS.txt" || name == "DOVLAnnualTimeSeries.txt" ||
        name.find("-BadFile-") != std::string::npos || name == "TARVEXshell-repairs.jsonl")
      fs::remove(entry.path());
  }
}

// A file written through a synced temporary file, a block at a time.
class FloorOutput {
 public:
  explicit FloorOutput(const fs::path& file) : file_(file) {}
  std::string& text() { return text_; }
  void flushIfFull() {
    if (text_.size() < (std::size_t{1} << 20)) return;
    file_.write(text_);
    text_.clear();
  }
  void commit() {
    file_.write(text_);
    file_.commit();
  }

 private:
  PendingFile file_;
  std::string text_;
};

// How much of the floor is measured: reading only, then parsing, then writing too.
enum class Stage { Read, Parse, Write };

// Every line of `file` handed to `take`, every field parsed unless only reading.
double parseFile(const fs::path& file, Stage stage,
                 const std::function<void(std::string_view)>& take) {
  double sum = 0;
  TableReader table(file);
  for (std::string_view text; table.next(text);) {
    if (stage == Stage::Read) continue;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (true) {
      sum += fnToDoubleField(p, end);
      if (p == end) break;
      ++p;
    }
    if (stage == Stage::Write) take(text);
  }
  return sum;
}

void floor(const fs::path& folder, Stage stage) {
  std::optional<FloorOutput> matrix, compilation;
  if (stage == Stage::Write) {
    matrix.emplace(folder / "USERWLS.txt");
    compilation.emplace(folder / "DOVLAnnualTimeSeries.txt");
  }
  double sum = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!isInput(entry.path())) continue;
    const std::string name = entry.path().filename().string();
    if (name == "Matrix.txt") {
      bool heading = true;
      sum += parseFile(entry.path(), stage, [&](std::string_view line) {
        if (std::exchange(heading, false)) return;
        matrix->text().append(line.substr(line.find('\t') + 1)).append("\r\n");
        matrix->flushIfFull();
      });
    } else if (name.starts_with("DOVL")) {
      sum += parseFile(entry.path(), stage, [&](std::string_view line) {
        compilation->text().append(line).append("\r\n");
        compilation->flushIfFull();
      });
    } else {
      sum += parseFile(entry.path(), stage, [](std::string_view) {});
    }
  }
  if (matrix) matrix->commit();
  if (compilation) compilation->commit();
  if (sum == 0.5) std::puts("");  // keeps the parsing
}

void session(const fs::path& folder) {
  std::ofstream quiet("/dev/null");
  ScriptedDesktop desktop(quiet, folder);
  ShellState state;
  MainWindow window(desktop, state);
  testing::chooseUsualTables(state, folder, "Matrix.txt");
  desktop.setCurrentDirectory(folder);
  // As after Step 1 with these options; ticking the matrix box would undo Step 1.
  for (Control* option : {&window.cbUDWMatrix, &window.cbUDMHeadings, &window.cbDOVLFiles})
    option->setChecked(true);
  Script script = Script::parse("click cmdQAQCFiles\nanswer no\n");
  ScriptRunner(desktop, window, [] { return std::string(); }).run(script);
  if (!state.InputFilesChecked || state.ErrorCount != 0 || !fs::exists(folder / "USERWLS.txt")) {
    std::fprintf(stderr, "step2_bench: Step 2 found errors\n");
    std::exit(3);
  }
}

void batch(const fs::path& folder) {
  std::ofstream out("/dev/null");
  std::ostringstream err;
  const BatchCheck check{.folder = folder.string(),
                         .matrix = true,
                         .matrixHeadings = true,
                         .flowFiles = true,
                         .json = std::string("-")};
  const int status = runBatchCheck(check, out, err);
  if (status != kNoErrors) {
    std::fprintf(stderr, "step2_bench: the batch check failed: %s\n", err.str().c_str());
    std::exit(3);
  }
}

void benchStations(int stations) {
  const testing::TempDir dir;
  const fs::path folder = dir.path();
  // Made in a child, so that this process stays small for the children it forks.
  inChild([&] {
    testing::writeSampleData(
        folder, {.stations = stations, .flowColumns = 30, .years = 100, .matrixHeadings = true});
    fs::rename(folder / "UserWLS.txt", folder / "Matrix.txt");
  });
  std::uintmax_t inputBytes = 0;
  for (const auto& entry : fs::directory_iterator(folder)) inputBytes += entry.file_size();
  const double matrixMB = static_cast<double>(fs::file_size(folder / "Matrix.txt")) / 1e6;

  const auto clean = [&] { removeOutputs(folder); };
  const Measure readRun = best("read", clean, [&] { floor(folder, Stage::Read); });
  const Measure parseRun = best("parse", clean, [&] { floor(folder, Stage::Parse); });
  const Measure floorRun = best("floor", clean, [&] { floor(folder, Stage::Write); });
  const Measure sessionRun = best("session", clean, [&] { session(folder); });
  // The batch finds the matrix by its standard name.
  clean();
  fs::create_hard_link(folder / "Matrix.txt", folder / "UserWLS.txt");
  const Measure batchRun = best(
      "batch", [] {}, [&] { batch(folder); });
  fs::remove(folder / "UserWLS.txt");

  std::printf(
      "%8d | %6.0f MB | %6.0f MB | %5.2f s %5.2f s %5.2f s %5.0f MB | %5.2f s %5.2fx %5.0f MB | "
      "%5.2f s %5.2fx %5.0f MB\n",
      stations, static_cast<double>(inputBytes) / 1e6, matrixMB, readRun.seconds, parseRun.seconds,
      floorRun.seconds, floorRun.peakMB, sessionRun.seconds, sessionRun.seconds / floorRun.seconds,
      sessionRun.peakMB, batchRun.seconds, batchRun.seconds / floorRun.seconds, batchRun.peakMB);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> stations;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--only" && i + 1 < argc)
      only = argv[++i];
    else
      stations.push_back(std::atoi(argv[i]));
  }
  if (stations.empty()) stations = {2000, 5000, 10000};
  std::printf(
      "stations |     input |    matrix | floor: read, +parse, +write, peak | session: x floor, "
      "peak | batch: x floor, peak\n");
  for (int n : stations) benchStations(n);
  return 0;
}

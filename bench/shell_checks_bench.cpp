// Milliseconds per check of a large input file, beside reading the same bytes once:
//   matrix - a headed 2,000 x 2,000 weighting matrix (4 million cells):
//            check        - SubReadUserWLS on a matrix named USERWLS.txt, its overwrite
//                           question declined: the three passes, nothing written;
//            check+write  - SubReadUserWLS on another name: the passes, then USERWLS.txt
//                           written through MakeUSERWLStxt (formatted, flushed to disk);
//            write        - replaceFile of the same bytes alone, the floor of that write;
//   flow   - a 2,000-line, 30-column flow characteristics file:
//            check        - ReadStationFile, lines in order;
//            reversed     - ReadStationFile, lines in reverse order, rewrite declined (every
//                           line matched out of place, the proper order listed).
// "read" reads the file's bytes once into memory (open, size, read). Prints one table of
// processor times (the best of the repetitions; the machine may be shared), with the real
// time of each check beside it, which the writes spend mostly waiting for the disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "checks/check_context.h"
#include "checks/station_file.h"
#include "checks/user_matrix.h"
#include "platform/safe_write.h"
#include "platform/scripted/scripted_desktop.h"
#include "platform/text_file.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr long kStations = 2000;
constexpr int kFlowColumns = 30;

// Counts as the window does; shows nothing.
class QuietReport : public ShellReport {
 public:
  explicit QuietReport(ShellState& state) : state_(state) {}
  void addError() override { ++state_.ErrorCount; }
  void addWarning() override { ++state_.WarningCount; }
  void showCounts() override {}
  void setStatus(const std::string&) override {}
  void disableSteps() override {}
  void showInformation() override {}

 private:
  ShellState& state_;
};

// Eight digits with a leading zero, as repaired station numbers are.
std::string stationNumber(long k) {
  char number[16];
  std::snprintf(number, sizeof number, "0%07ld", 1000000 + k);
  return number;
}

std::string matrixBytes() {
  std::string text = "Station";
  for (long c = 1; c <= kStations; ++c) (text += '\t') += stationNumber(c);
  text += "\r\n";
  for (long r = 1; r <= kStations; ++r) {
    text += stationNumber(r);
    for (long c = 1; c <= kStations; ++c) {
      text += '\t';
      if (r == c) {
        text += '1';
      } else {
        char cell[16];
        std::snprintf(cell, sizeof cell, "0.%03ld", (r * 7 + c * 13) % 1000);
        text += cell;
      }
    }
    text += "\r\n";
  }
  return text;
}

std::string flowBytes(bool reversed) {
  std::string text = "Station ID";
  for (int c = 2; c <= kFlowColumns; ++c) (text += "\tQ") += std::to_string(c);
  text += "\r\n";
  for (long i = 1; i <= kStations; ++i) {
    const long k = reversed ? kStations + 1 - i : i;
    text += stationNumber(k);
    for (int c = 2; c <= kFlowColumns; ++c) {
      char cell[24];
      std::snprintf(cell, sizeof cell, "\t%ld.%02ld", (k * 37 + c * 11) % 90000, (k + c) % 100);
      text += cell;
    }
    text += "\r\n";
  }
  return text;
}

// A fresh folder for the data, removed at the end.
class DataFolder {
 public:
  DataFolder() {
    std::string pattern = (fs::temp_directory_path() / "tarvex-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~DataFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }

 private:
  fs::path path_;
};

// A check's surroundings, fresh for each benchmark.
struct Surroundings {
  explicit Surroundings(const DataFolder& folder) : desktop(transcript, folder.path()) {
    state.WorkingDirectory = folder.path().string() + "/";
    state.SiteInfoFileName = "SiteInfo.txt";
    state.FlowCharFileName = "FlowChar.txt";
    state.StationCount = kStations;
    state.StationNumbers.assign(1, "");
    for (long k = 1; k <= kStations; ++k) state.StationNumbers.push_back(stationNumber(k));
    state.StationNumbersAsRead = state.StationNumbers;
  }
  void reset() {
    transcript.str("");
    state.Findings.clear();
  }

  std::ostringstream transcript;
  ScriptedDesktop desktop;
  ShellState state;
  QuietReport report{state};
  CheckContext context{state, desktop, report};
};

std::string readOnce(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(fs::file_size(path), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void registerRead(const std::string& name, const DataFolder& folder, const std::string& file) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [&folder, file](benchmark::State& state) {
                                 for (auto _ : state)
                                   benchmark::DoNotOptimize(readOnce(folder.path() / file).data());
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

template <class Check>
void registerCheck(const std::string& name, const DataFolder& folder, Check check) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [&folder, check](benchmark::State& state) {
                                 Surroundings s(folder);
                                 for (auto _ : state) {
                                   check(s);
                                   s.reset();
                                 }
                                 if (s.state.ErrorCount != 0)
                                   state.SkipWithError("the check found errors");
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

// Collects every run and prints the table at the end; progress goes to standard error.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const Times times{run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      auto [it, fresh] = best_.emplace(name, times);
      if (!fresh) {
        it->second.cpu = std::min(it->second.cpu, times.cpu);
        it->second.real = std::min(it->second.real, times.real);
      }
      std::fprintf(stderr, "%-24s %10.3f ms cpu %10.3f ms real\n", name.c_str(), times.cpu,
                   times.real);
    }
  }
  void Finalize() override {
    std::printf("| file | check | read (ms) | check (ms) | check / read | check, real (ms) |\n");
    std::printf("|---|---|---:|---:|---:|---:|\n");
    row("matrix", "check", "matrix/check");
    row("matrix", "check+write", "matrix/check+write");
    row("matrix", "write", "matrix/write");
    row("flow", "check", "flow/check");
    row("flow", "reversed", "flow/reversed");
  }

 private:
  void row(const char* file, const char* check, const std::string& name) {
    const auto read = best_.find(std::string(file) + "/read");
    const auto timed = best_.find(name);
    if (read == best_.end() || timed == best_.end()) return;
    std::printf("| %s | %s | %.3f | %.3f | %.1f | %.3f |\n", file, check, read->second.cpu,
                timed->second.cpu, timed->second.cpu / read->second.cpu, timed->second.real);
  }
  struct Times {
    double cpu, real;
  };
  std::map<std::string, Times> best_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const DataFolder folder;
  const std::string matrix = matrixBytes();
  folder.write("USERWLS.txt", matrix);
  folder.write("Matrix.txt", matrix);
  folder.write("FlowChar.txt", flowBytes(false));
  folder.write("Reversed.txt", flowBytes(true));

  registerRead("matrix/read", folder, "Matrix.txt");
  registerCheck("matrix/check", folder, [](Surroundings& s) {
    SubReadUserWLS(s.context, "USERWLS.txt", true);  // the overwrite question gets No
  });
  registerCheck("matrix/check+write", folder,
                [](Surroundings& s) { SubReadUserWLS(s.context, "Matrix.txt", true); });
  benchmark::RegisterBenchmark("matrix/write",
                               [&folder](benchmark::State& state) {
                                 const std::string bytes = readOnce(folder.path() / "Matrix.txt");
                                 for (auto _ : state)
                                   replaceFile(folder.path() / "Copy.txt", bytes);
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();

  registerRead("flow/read", folder, "FlowChar.txt");
  registerCheck("flow/check", folder,
                [](Surroundings& s) { ReadStationFile(s.context, "FlowChar.txt", kFlowCharFile); });
  registerCheck("flow/reversed", folder,
                [](Surroundings& s) { ReadStationFile(s.context, "Reversed.txt", kFlowCharFile); });

  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

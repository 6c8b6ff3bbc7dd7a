// The diff of a repair's rewrite on 300,000-line tables: a file reversed (past the edit
// limit: the search runs to its limit, then the whole file is one hunk), a file with two
// neighbouring lines swapped (the usual reorder: two edits), a file with 500 lines changed
// across it (1,000 edits), and the line ends of every line changed (CR LF from LF alone),
// with the count of changed lines the rewrite questions give. "Split" is splitting the
// two files into lines and nothing else, the floor of every diff.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/unified_diff.h"

namespace {

using namespace tarvex;

constexpr std::size_t kLines = 300000;

std::vector<std::string> tableLines(std::string_view end) {
  std::vector<std::string> lines;
  lines.reserve(kLines);
  lines.push_back("Station ID\tQ2\tQ10\tQ25\tQ100" + std::string(end));
  for (std::size_t i = 1; i < kLines; ++i)
    lines.push_back("0" + std::to_string(8000000 + i) + "\t" + std::to_string(i % 997) + "\t" +
                    std::to_string(i % 1999) + "\t" + std::to_string(i % 2999) + "\t" +
                    std::to_string(i % 4999) + std::string(end));
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

struct Pair {
  std::string before, after;
};

Pair pairOf(int kind) {
  std::vector<std::string> lines = tableLines("\r\n");
  Pair pair{joined(lines), {}};
  switch (kind) {
    case 0:
      std::reverse(lines.begin() + 1, lines.end());
      break;
    case 1:
      std::swap(lines[kLines / 2], lines[kLines / 2 + 1]);
      break;
    case 2:
      for (std::size_t i = 1; i < kLines; i += kLines / 500) lines[i] = "changed\r\n";
      break;
    default:
      pair.before = joined(tableLines("\n"));
  }
  pair.after = joined(lines);
  return pair;
}

const Pair& cached(int kind) {
  static std::vector<Pair> pairs = {pairOf(0), pairOf(1), pairOf(2), pairOf(3)};
  return pairs[static_cast<std::size_t>(kind)];
}

void label(benchmark::State& run) {
  static const char* kNames[] = {"reversed", "two lines swapped", "500 lines changed",
                                 "LF to CR LF"};
  run.SetLabel(kNames[run.range(0)]);
}

void BM_UnifiedDiff(benchmark::State& run) {
  const Pair& pair = cached(static_cast<int>(run.range(0)));
  std::size_t bytes = 0;
  for (auto _ : run) bytes = unifiedDiff(pair.before, pair.after, "FlowChar.txt").size();
  run.counters["diff MB"] = static_cast<double>(bytes) / 1e6;
  label(run);
}

void BM_ChangedLines(benchmark::State& run) {
  const Pair& pair = cached(static_cast<int>(run.range(0)));
  std::size_t changed = 0;
  for (auto _ : run) changed = changedLines(pair.before, pair.after);
  run.counters["changed"] = static_cast<double>(changed);
  label(run);
}

// Both files cut into lines: what any line diff does first.
void BM_Split(benchmark::State& run) {
  const Pair& pair = cached(static_cast<int>(run.range(0)));
  for (auto _ : run) {
    std::vector<std::string_view> lines;
    lines.reserve(2 * kLines);
    for (std::string_view text : {std::string_view(pair.before), std::string_view(pair.after)}) {
      std::size_t start = 0;
      for (std::size_t at = text.find('\n'); at != std::string_view::npos;
           at = text.find('\n', start)) {
        lines.push_back(text.substr(start, at + 1 - start));
        start = at + 1;
      }
    }
    benchmark::DoNotOptimize(lines.data());
  }
  label(run);
}

BENCHMARK(BM_Split)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnifiedDiff)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChangedLines)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

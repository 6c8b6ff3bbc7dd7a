// Nanoseconds per 64-bit code:
//   call  - the kernel through the plain host, creating its output each time;
//   fill  - the kernel's routine writing into an output created beforehand;
//   floor - the memory-bandwidth floor: writing the same bytes (a nonzero pattern) with memset
//           for kernels that only write, a memcpy of them for those that read as much as they
//           write (Wenlix, Pirrok);
//   peer  - a peer Sobol engine yielding the same number of codes, stored in the order it
//           yields them into a buffer created beforehand.
// Prints one table.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <boost/random/sobol.hpp>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "loader.h"
#include "sobolbits.h"

namespace {

using hostarray::ArrayPtr;
using hostarray::PlainArray;

struct Shape {
  std::uint32_t n, d;
  std::size_t codes() const { return std::size_t{n} * d; }
  std::string text() const {
    return "2^" + std::to_string(std::bit_width(n) - 1) + " x " + std::to_string(d);
  }
};

constexpr std::size_t kMaxBytes = std::size_t{1} << 30;
// 2^20 x 256 is 2 GiB and skipped; 2^19 x 256 (1 GiB) stands in for it.
const Shape kShapes[] = {{1u << 10, 1},  {1u << 10, 16},  {1u << 10, 256}, {1u << 20, 1},
                         {1u << 20, 16}, {1u << 20, 256}, {1u << 19, 256}};

ArrayPtr doubleScalar(double value) {
  ArrayPtr a = PlainArray::numeric(qvDOUBLE_CLASS, {1, 1});
  a->as<double>()[0] = value;
  return a;
}

ArrayPtr logical(bool value) {
  ArrayPtr a = PlainArray::numeric(qvLOGICAL_CLASS, {1, 1});
  a->as<qvLogical>()[0] = value;
  return a;
}

ArrayPtr randomWords(std::uint32_t rows, std::uint32_t cols, std::uint64_t seed) {
  ArrayPtr a = PlainArray::numeric(qvUINT64_CLASS, {rows, cols});
  std::mt19937_64 random(seed);
  for (std::size_t i = 0; i < a->numberOfElements(); ++i) {
    a->as<std::uint64_t>()[i] = random() >> 11;
  }
  return a;
}

template <class... A>
std::vector<ArrayPtr> arrays(A... a) {
  std::vector<ArrayPtr> v;
  (v.push_back(std::move(a)), ...);
  return v;
}

std::vector<ArrayPtr> withDirections(const Shape& s, std::vector<ArrayPtr> rest) {
  rest.insert(rest.begin(), randomWords(s.d, 53, 1));
  return rest;
}

const std::uint64_t* wordsOf(const ArrayPtr& a) { return a->as<std::uint64_t>(); }

// The routine behind a kernel: inputs as built for the kernel, the output to fill.
using Fill = std::function<void(const std::vector<ArrayPtr>&, const Shape&, std::uint64_t*)>;

struct Variant {
  const char* name;
  const char* kernel;
  const char* floor;  // "memset" or "memcpy"
  std::function<std::vector<ArrayPtr>(const Shape&)> inputs;
  Fill fill;
};

std::vector<ArrayPtr> hestraInputs(const Shape& s, double leap, bool gray) {
  return withDirections(
      s, arrays(doubleScalar(1), doubleScalar(leap), doubleScalar(s.n), logical(gray)));
}

Fill sequence(std::uint64_t leap, bool gray) {
  return [leap, gray](const std::vector<ArrayPtr>& in, const Shape& s, std::uint64_t* out) {
    if (gray && leap == 0) {
      sobolbits::graySequence(1, s.n, s.d, wordsOf(in[0]), out);
    } else {
      sobolbits::sequenceLeap(1, leap, s.n, s.d, wordsOf(in[0]), gray, out);
    }
  };
}

const Variant kVariants[] = {
    {"Ulvane natural", "Ulvane", "memset",
     [](const Shape& s) { return withDirections(s, arrays(doubleScalar(s.n), logical(false))); },
     [](const auto& in, const Shape& s, std::uint64_t* out) {
       sobolbits::netNatural(s.n, s.d, wordsOf(in[0]), out);
     }},
    {"Ulvane Gray", "Ulvane", "memset",
     [](const Shape& s) { return withDirections(s, arrays(doubleScalar(s.n), logical(true))); },
     [](const auto& in, const Shape& s, std::uint64_t* out) {
       sobolbits::netGray(s.n, s.d, wordsOf(in[0]), out);
     }},
    {"Hestra Gray leap 0", "Hestra", "memset",
     [](const Shape& s) { return hestraInputs(s, 0, true); }, sequence(0, true)},
    {"Hestra natural leap 0", "Hestra", "memset",
     [](const Shape& s) { return hestraInputs(s, 0, false); }, sequence(0, false)},
    {"Hestra leap 7", "Hestra", "memset", [](const Shape& s) { return hestraInputs(s, 7, false); },
     sequence(7, false)},
    {"Fjorum random", "Fjorum", "memset",
     [](const Shape& s) {
       ArrayPtr indices = PlainArray::numeric(qvDOUBLE_CLASS, {s.n, 1});
       std::mt19937_64 random(2);
       for (std::uint32_t i = 0; i < s.n; ++i) {
         indices->as<double>()[i] = static_cast<double>(random() >> 34);
       }
       return withDirections(s, arrays(std::move(indices), logical(false)));
     },
     [](const auto& in, const Shape& s, std::uint64_t* out) {
       sobolbits::indexedPoints(in[1]->template as<double>(), s.n, s.d, wordsOf(in[0]), false, out);
     }},
    {"Wenlix", "Wenlix", "memcpy", [](const Shape& s) { return arrays(randomWords(s.n, s.d, 3)); },
     [](const auto& in, const Shape& s, std::uint64_t* out) {
       sobolbits::codesToCoordinates(wordsOf(in[0]), reinterpret_cast<double*>(out), s.codes());
     }},
    {"Pirrok", "Pirrok", "memcpy",
     [](const Shape& s) { return arrays(randomWords(s.n, s.d, 4), randomWords(1, s.d, 5)); },
     [](const auto& in, const Shape& s, std::uint64_t* out) {
       sobolbits::xorColumnsInto(out, wordsOf(in[0]), wordsOf(in[1]), s.n, s.d);
     }},
};

// Collects every run and prints the table at the end; progress goes to standard error.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const double ns = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations) /
                        run.counters.at("codes");
      // The best of the repetitions: other work on the machine only ever adds time.
      const std::string name = run.benchmark_name();
      const std::string key = name.substr(0, name.find("/real_time"));
      results_[key] = results_.contains(key) ? std::min(results_[key], ns) : ns;
      std::fprintf(stderr, "%-44s %8.3f ns/code\n", name.c_str(), ns);
    }
  }
  void Finalize() override {
    std::printf(
        "| kernel | n x d | call | fill | floor | call / floor | peer | peer / call | "
        "peer / fill |\n|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Variant& v : kVariants) {
      for (const Shape& s : kShapes) {
        const double call = result(v.name, "/", s), fill = result(v.name, "/fill/", s);
        if (call == 0) continue;
        const double floor = result(v.floor, "/", s), peer = result("peer", "/", s);
        std::printf("| %s | %s | %s | %s | %s %s | %s | %s | %s | %s |\n", v.name, s.text().c_str(),
                    format(call).c_str(), format(fill).c_str(), format(floor).c_str(), v.floor,
                    format(call / floor).c_str(), format(peer).c_str(), format(peer / call).c_str(),
                    format(fill > 0 ? peer / fill : 0).c_str());
      }
    }
  }

 private:
  // The best time of a benchmark, 0 when it did not run.
  double result(const char* name, const char* kind, const Shape& s) const {
    std::string key = name;
    key += kind;
    key += s.text();
    const auto found = results_.find(key);
    return found == results_.end() ? 0 : found->second;
  }
  static std::string format(double x) {
    if (x == 0 || !std::isfinite(x)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", x);
    return text;
  }
  std::map<std::string, double> results_;
};

void countCodes(benchmark::State& state, const Shape& s) {
  state.counters["codes"] = static_cast<double>(s.codes());
}

void registerShape(const Shape& s,
                   const std::map<std::string, std::shared_ptr<hostarray::KernelModule>>& modules) {
  for (const Variant& v : kVariants) {
    const auto module = modules.at(v.kernel);
    benchmark::RegisterBenchmark((std::string(v.name) + "/" + s.text()).c_str(),
                                 [module, &v, s](benchmark::State& state) {
                                   const std::vector<ArrayPtr> inputs = v.inputs(s);
                                   std::vector<const PlainArray*> handles;
                                   for (const auto& a : inputs) handles.push_back(a.get());
                                   // Untimed: the first call gets fresh pages from the
                                   // system, later ones the memory the host kept.
                                   module->call(handles);
                                   for (auto _ : state) {
                                     auto out = module->call(handles);
                                     benchmark::DoNotOptimize(out[0]->data());
                                   }
                                   countCodes(state, s);
                                 })
        ->UseRealTime();
    if (!v.fill) continue;
    benchmark::RegisterBenchmark(
        (std::string(v.name) + "/fill/" + s.text()).c_str(),
        [&v, s](benchmark::State& state) {
          const std::vector<ArrayPtr> inputs = v.inputs(s);
          // Aligned as the host's outputs are.
          ArrayPtr out = PlainArray::uninitialized(qvUINT64_CLASS, {s.n, s.d});
          v.fill(inputs, s, out->as<std::uint64_t>());  // as above
          for (auto _ : state) {
            v.fill(inputs, s, out->as<std::uint64_t>());
            benchmark::ClobberMemory();
          }
          countCodes(state, s);
        })
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark(("memset/" + s.text()).c_str(), [s](benchmark::State& state) {
    std::vector<std::uint64_t> buffer(s.codes());
    // A nonzero byte: zeros take a faster path on some machines, and codes are not zero.
    for (auto _ : state) {
      std::memset(buffer.data(), 0x5a, s.codes() * 8);
      benchmark::ClobberMemory();
    }
    countCodes(state, s);
  })->UseRealTime();
  benchmark::RegisterBenchmark(("memcpy/" + s.text()).c_str(), [s](benchmark::State& state) {
    std::vector<std::uint64_t> from(s.codes(), 0x5a5a5a5a5a5a5a5a), to(s.codes());
    for (auto _ : state) {
      std::memcpy(to.data(), from.data(), s.codes() * 8);
      benchmark::ClobberMemory();
    }
    countCodes(state, s);
  })->UseRealTime();
  benchmark::RegisterBenchmark(("peer/" + s.text()).c_str(), [s](benchmark::State& state) {
    std::vector<std::uint64_t> buffer(s.codes());
    boost::random::sobol engine(s.d);
    for (auto _ : state) {
      engine.seed();
      for (std::uint64_t& code : buffer) code = engine();
      benchmark::ClobberMemory();
    }
    countCodes(state, s);
  })->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  // A host keeps the memory it frees for its next arrays. Without this every large output
  // would be fresh pages from the system, and the page faults, not the kernel, would be
  // measured; the floor and the peer write into buffers created beforehand too.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
  benchmark::Initialize(&argc, argv);
  std::map<std::string, std::shared_ptr<hostarray::KernelModule>> modules;
  for (const Variant& v : kVariants) {
    if (!modules.contains(v.kernel)) {
      modules[v.kernel] = std::make_shared<hostarray::KernelModule>(v.kernel);
    }
  }
  for (const Shape& s : kShapes) {
    if (s.codes() * sizeof(std::uint64_t) <= kMaxBytes) registerShape(s, modules);
  }
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

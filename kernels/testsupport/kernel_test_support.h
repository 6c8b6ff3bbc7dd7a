// Building plain arrays and calling kernels in tests.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "loader.h"
#include "plain_array.h"

namespace kerneltest {

using hostarray::ArrayPtr;
using Words = std::vector<std::uint64_t>;

ArrayPtr words(std::uint32_t rows, std::uint32_t cols, const Words& data);
ArrayPtr doubles(std::uint32_t rows, std::uint32_t cols, const std::vector<double>& data);
ArrayPtr scalar(double value);
ArrayPtr flag(bool value);
ArrayPtr empty(int classId);
ArrayPtr cells(std::vector<ArrayPtr> elements);  // 1 x n, null elements stay unset
ArrayPtr clone(const ArrayPtr& array);

// A list of arrays from arrays given by value (braced lists cannot hold move-only arrays).
template <class... Arrays>
std::vector<ArrayPtr> list(Arrays... arrays) {
  std::vector<ArrayPtr> result;
  (result.push_back(std::move(arrays)), ...);
  return result;
}

// Loads a kernel once per object and calls it with copies of nothing: inputs stay the test's.
class Kernel {
 public:
  explicit Kernel(const std::string& name) : module_(name) {}
  ArrayPtr call(const std::vector<ArrayPtr>& inputs) const;
  // The identifier the kernel raises, or nullopt when it returns.
  std::optional<std::string> raised(const std::vector<ArrayPtr>& inputs) const;

 private:
  hostarray::KernelModule module_;
};

// Inputs that make a kernel raise stats::sobolseq::<identifier>.
struct RaiseCase {
  const char* name;
  std::vector<ArrayPtr> in;
  const char* identifier;
};
void expectRaises(const Kernel& kernel, const RaiseCase& c);
template <std::size_t N>
void expectRaises(const Kernel& kernel, const RaiseCase (&cases)[N]) {
  for (const auto& c : cases) expectRaises(kernel, c);
}

// Element (r, c) of a column-major uint64 matrix, and a whole row.
std::uint64_t at(const ArrayPtr& a, std::size_t r, std::size_t c);
Words row(const ArrayPtr& a, std::size_t r);
// Every element of a double array.
std::vector<double> doublesOf(const ArrayPtr& a);

// A d x 53 direction matrix with random words below 2^53.
ArrayPtr randomDirections(std::uint32_t d, std::mt19937_64& random);
// Column k of a direction matrix.
Words column(const ArrayPtr& V, std::size_t k);
// The point of code-word w, straight from its definition.
Words referencePoint(const ArrayPtr& V, std::uint64_t w);

// Gormik's inputs for the first `dims` dimensions of the shipped direction-number table.
std::vector<ArrayPtr> tableInputs(std::size_t dims);

}  // namespace kerneltest

#include "kernel_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kerneltest {

ArrayPtr words(std::uint32_t rows, std::uint32_t cols, const Words& data) {
  ArrayPtr a = hostarray::PlainArray::numeric(qvUINT64_CLASS, {rows, cols});
  std::copy(data.begin(), data.end(), a->as<std::uint64_t>());
  return a;
}

ArrayPtr doubles(std::uint32_t rows, std::uint32_t cols, const std::vector<double>& data) {
  ArrayPtr a = hostarray::PlainArray::numeric(qvDOUBLE_CLASS, {rows, cols});
  std::copy(data.begin(), data.end(), a->as<double>());
  return a;
}

ArrayPtr scalar(double value) { return doubles(1, 1, {value}); }

ArrayPtr flag(bool value) {
  ArrayPtr a = hostarray::PlainArray::numeric(qvLOGICAL_CLASS, {1, 1});
  a->as<qvLogical>()[0] = value;
  return a;
}

ArrayPtr empty(int classId) {
  return classId == qvCELL_CLASS ? hostarray::PlainArray::cell({0, 0})
                                 : hostarray::PlainArray::numeric(classId, {0, 0});
}

ArrayPtr cells(std::vector<ArrayPtr> elements) {
  ArrayPtr a = hostarray::PlainArray::cell({1, static_cast<std::uint32_t>(elements.size())});
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (elements[i]) a->setCell(i, std::move(elements[i]));
  }
  return a;
}

ArrayPtr clone(const ArrayPtr& array) { return array->clone(); }

ArrayPtr Kernel::call(const std::vector<ArrayPtr>& inputs) const {
  std::vector<const hostarray::PlainArray*> handles;
  for (const auto& input : inputs) handles.push_back(input.get());
  return std::move(module_.call(handles).at(0));
}

std::optional<std::string> Kernel::raised(const std::vector<ArrayPtr>& inputs) const {
  try {
    call(inputs);
    return std::nullopt;
  } catch (const hostarray::KernelError& e) {
    return e.identifier();
  }
}

void expectRaises(const Kernel& kernel, const RaiseCase& c) {
  EXPECT_EQ(kernel.raised(c.in), std::string("stats::sobolseq::") + c.identifier) << c.name;
}

std::uint64_t at(const ArrayPtr& a, std::size_t r, std::size_t c) {
  return a->as<std::uint64_t>()[c * a->rows() + r];
}

Words row(const ArrayPtr& a, std::size_t r) {
  Words result;
  for (std::size_t c = 0; c < a->columns(); ++c) result.push_back(at(a, r, c));
  return result;
}

std::vector<double> doublesOf(const ArrayPtr& a) {
  return {a->as<double>(), a->as<double>() + a->numberOfElements()};
}

ArrayPtr randomDirections(std::uint32_t d, std::mt19937_64& random) {
  Words data(std::size_t{d} * 53);
  for (auto& w : data) w = random() >> 11;
  return words(d, 53, data);
}

Words column(const ArrayPtr& V, std::size_t k) {
  Words result;
  for (std::size_t j = 0; j < V->rows(); ++j) result.push_back(at(V, j, k));
  return result;
}

Words referencePoint(const ArrayPtr& V, std::uint64_t w) {
  Words point(V->rows(), 0);
  for (std::size_t k = 0; k < 53; ++k) {
    if ((w >> k & 1) == 0) continue;
    for (std::size_t j = 0; j < point.size(); ++j) point[j] ^= at(V, j, k);
  }
  return point;
}

std::vector<ArrayPtr> tableInputs(std::size_t dims) {
  std::ifstream file(KERNELS_DATA_DIR "/sobol_direction_numbers.tsv");
  if (!file) throw std::runtime_error("cannot read the direction-number table");
  std::vector<ArrayPtr> initial = list(doubles(1, 53, std::vector<double>(53, 1.0)));
  std::vector<double> codes{1.0};
  std::string line;
  std::getline(file, line);  // heading
  while (initial.size() < dims && std::getline(file, line)) {
    std::istringstream fields(line);
    std::uint64_t dimension, s, a;
    fields >> dimension >> s >> a;
    std::vector<double> m;
    for (double value; fields >> value;) m.push_back(value);
    // Bit j of the code is the coefficient at lag j; `a` holds lag 1 in its highest bit.
    std::uint64_t code = 1 | std::uint64_t{1} << s;
    for (std::uint64_t j = 1; j < s; ++j) code |= (a >> (s - 1 - j) & 1) << j;
    codes.push_back(static_cast<double>(code));
    initial.push_back(doubles(1, static_cast<std::uint32_t>(m.size()), m));
  }
  return list(cells(std::move(initial)),
              doubles(1, static_cast<std::uint32_t>(codes.size()), codes));
}

}  // namespace kerneltest

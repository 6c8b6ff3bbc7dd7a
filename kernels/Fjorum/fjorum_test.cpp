#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

TEST(Fjorum, ListsOfIndices) {
  std::mt19937_64 random(3);
  const ArrayPtr V = randomDirections(11, random);
  const Kernel fjorum("Fjorum");
  struct Case {
    const char* name;
    std::vector<double> indices;
    bool gray;
  } const cases[] = {
      {"empty list", {}, true},
      {"repeated indices", {5, 5, 9, 5, 5}, false},
      {"repeated indices, Gray", {5, 5, 9, 5, 5}, true},
      {"descending with zero", {1e6, 77, 3, 0, 2}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto n = static_cast<std::uint32_t>(c.indices.size());
    const ArrayPtr out = fjorum.call(list(clone(V), doubles(1, n, c.indices), flag(c.gray)));
    ASSERT_EQ(out->rows(), n);
    ASSERT_EQ(out->columns(), 11u);
    for (std::size_t i = 0; i < n; ++i) {
      const auto index = static_cast<std::uint64_t>(c.indices[i]);
      EXPECT_EQ(row(out, i), referencePoint(V, c.gray ? index ^ (index >> 1) : index));
    }
  }
  // Any shape: a 2 x 2 index matrix gives 4 rows, in element order.
  const ArrayPtr square = fjorum.call(list(clone(V), doubles(2, 2, {4, 3, 2, 1}), flag(false)));
  ASSERT_EQ(square->rows(), 4u);
  EXPECT_EQ(row(square, 3), referencePoint(V, 1));
}

TEST(Fjorum, RaisesInOrder) {
  std::mt19937_64 random(1);
  const ArrayPtr V = randomDirections(3, random);
  const RaiseCase cases[] = {
      {"two inputs", list(clone(V), scalar(1)), "NumInputsFjorum"},
      {"flag of class double, before V", list(empty(qvLOGICAL_CLASS), scalar(1), scalar(1)),
       "InvalidGrayCodeFlag"},
      {"logical directions cannot be read", list(flag(true), scalar(1), flag(true)),
       "InvalidDirectionNumbers"},
      {"52 columns", list(words(3, 52, {}), scalar(1), flag(true)), "InvalidDirectionNumbers"},
  };
  const Kernel fjorum("Fjorum");
  expectRaises(fjorum, cases);
  // V's class is not checked: doubles are read as words.
  EXPECT_EQ(fjorum.raised(list(doubles(3, 53, {}), scalar(1), flag(true))), std::nullopt);
  // Indices of other classes read by value: logical true is index 1.
  const ArrayPtr logical = fjorum.call(list(clone(V), flag(true), flag(false)));
  EXPECT_EQ(row(logical, 0), column(V, 0));
}

}  // namespace

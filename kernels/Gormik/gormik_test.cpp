#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

ArrayPtr row(const std::vector<double>& values) {
  return doubles(1, static_cast<std::uint32_t>(values.size()), values);
}

// Gormik's inputs for one dimension.
std::vector<ArrayPtr> oneDimension(const std::vector<double>& initial, double code) {
  return list(cells(list(row(initial))), scalar(code));
}

TEST(Gormik, DirectionNumbersOfOneDimension) {
  std::vector<double> fiftyThree(53);
  Words fiftyThreeWords(53);
  for (int i = 0; i < 53; ++i) fiftyThree[i] = fiftyThreeWords[i] = 2 * i + 1;
  struct Case {
    const char* name;
    double code;
    std::vector<double> initial;
    Words m;  // expected leading m_i, before the left shift
  } const cases[] = {
      {"P = 7 with 1, 3", 7, {1, 3}, {1, 3, 3, 9}},
      {"code 1 keeps its values, zero after", 1, {1, 3, 5}, {1, 3, 5, 0, 0, 0}},
      {"code 1 with no values is all zero", 1, {}, {0, 0, 0}},
      {"53 values skip the recurrence", 7, fiftyThree, fiftyThreeWords},
      {"x + 1 with m0 = 1 gives 3^k-like values", 3, {1}, {1, 3, 5, 15, 17, 51}},
      {"doubles truncate toward zero", 7.9, {1.7, 3.2}, {1, 3, 3, 9}},
      // Middle coefficients of 0 leave their lag out.
      {"P = 11, lag 2 left out", 11, {1, 3, 5}, {1, 3, 5, 3, 29, 23, 53, 159}},
      {"P = 13, lag 1 left out", 13, {1, 1, 7}, {1, 1, 7, 13, 21, 11, 49, 145}},
  };
  const Kernel gormik("Gormik");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ArrayPtr out = gormik.call(oneDimension(c.initial, c.code));
    ASSERT_EQ(out->classId(), qvUINT64_CLASS);
    ASSERT_EQ(out->rows(), 53u);
    ASSERT_EQ(out->columns(), 1u);
    for (std::size_t i = 0; i < c.m.size(); ++i) {
      EXPECT_EQ(at(out, i, 0), c.m[i] << (52 - i)) << "row " << i;
    }
  }
}

TEST(Gormik, SeveralDimensionsAndZeroDimensions) {
  const Kernel gormik("Gormik");
  const ArrayPtr out =
      gormik.call(list(cells(list(row({1}), doubles(2, 1, {1, 3}))), doubles(2, 1, {3, 7})));
  ASSERT_EQ(out->columns(), 2u);
  EXPECT_EQ(at(out, 1, 0), std::uint64_t{3} << 51);
  EXPECT_EQ(at(out, 3, 1), std::uint64_t{9} << 49);

  const ArrayPtr nothing = gormik.call(list(empty(qvCELL_CLASS), empty(qvDOUBLE_CLASS)));
  EXPECT_EQ(nothing->rows(), 53u);
  EXPECT_EQ(nothing->columns(), 0u);
}

TEST(Gormik, RaisesInOrder) {
  const RaiseCase cases[] = {
      {"one input", list(empty(qvCELL_CLASS)), "NumInputsGormik"},
      {"three inputs", list(cells(list(row({1}))), scalar(3), scalar(3)), "NumInputsGormik"},
      {"sizes before unset cells", list(cells(list(nullptr, nullptr)), scalar(3)),
       "InputSizesGormik"},
      {"unset second cell", list(cells(list(row({1}), nullptr)), row({3, 3})),
       "InvalidInitialMValues"},
      {"values not in a cell array", list(row({1}), scalar(3)), "InvalidInitialMValues"},
      {"code 0", oneDimension({1}, 0), "InvalidInitialMValues"},
      {"negative code", oneDimension({1}, -5), "InvalidInitialMValues"},
      {"fewer values than the degree", oneDimension({1, 3}, 11), "InvalidInitialMValues"},
      {"54 values", oneDimension(std::vector<double>(54, 1), 3), "InvalidInitialMValues"},
  };
  const Kernel gormik("Gormik");
  expectRaises(gormik, cases);
}

// The shipped table gives the published points: first 8 dimensions, Gray-code order.
TEST(Gormik, TableGivesPublishedPoints) {
  const double expected[8][8] = {
      {0, 0, 0, 0, 0, 0, 0, 0},
      {.5, .5, .5, .5, .5, .5, .5, .5},
      {.75, .25, .25, .25, .75, .75, .25, .75},
      {.25, .75, .75, .75, .25, .25, .75, .25},
      {.375, .375, .625, .875, .375, .125, .375, .875},
      {.875, .875, .125, .375, .875, .625, .875, .375},
      {.625, .125, .875, .625, .625, .875, .125, .125},
      {.125, .625, .375, .125, .125, .375, .625, .625},
  };
  const ArrayPtr columns = Kernel("Gormik").call(tableInputs(8));
  // Gormik gives one column per dimension; the point kernels want one row per dimension.
  Words transposed(8 * 53);
  for (std::size_t k = 0; k < 53; ++k) {
    for (std::size_t j = 0; j < 8; ++j) transposed[k * 8 + j] = at(columns, k, j);
  }
  const ArrayPtr points = Kernel("Hestra").call(
      list(words(8, 53, transposed), scalar(0), scalar(0), scalar(8), flag(true)));
  for (std::size_t i = 0; i < 8; ++i) {
    for (std::size_t j = 0; j < 8; ++j) {
      EXPECT_EQ(static_cast<double>(at(points, i, j)) * 0x1p-53, expected[i][j])
          << "point " << i << " dimension " << j;
    }
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

// Index edge cases, through Tavrel and Fjorum alike.
TEST(PointKernels, IndexEdgeCases) {
  std::mt19937_64 random(7);
  const ArrayPtr V = randomDirections(5, random);
  struct Case {
    double index;
    bool gray;
    std::uint64_t word;  // the code-word whose columns make the point
  } const cases[] = {
      {0, false, 0},
      {0, true, 0},
      {1, false, 1},
      {1, true, 1},
      {2, false, 2},
      {2, true, 3},
      {2.9, false, 2},                    // truncated toward zero
      {0x1p53, false, 0},                 // bits from 53 up select no column
      {0x1p53, true, 1ull << 52},         // G(2^53) = 2^53 + 2^52
      {-3, false, (1ull << 53) - 3},      // -3 wraps; bits from 53 up select nothing
      {-3, true, 3},                      // G(2^64 - 3) = 2^63 + 3
      {0x1p70, false, (1ull << 53) - 1},  // beyond 2^64 reads as 2^64 - 1
  };
  const Kernel tavrel("Tavrel"), fjorum("Fjorum");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "index " << c.index << " gray " << c.gray);
    const Words expected = referencePoint(V, c.word);
    const ArrayPtr one = tavrel.call(list(clone(V), scalar(c.index), flag(c.gray)));
    ASSERT_EQ(one->rows(), 1u);
    EXPECT_EQ(row(one, 0), expected);
    const ArrayPtr listed = fjorum.call(list(clone(V), scalar(c.index), flag(c.gray)));
    ASSERT_EQ(listed->rows(), 1u);
    EXPECT_EQ(row(listed, 0), expected);
  }
  EXPECT_EQ(referencePoint(V, 3), [&] {
    Words r = column(V, 0);
    for (std::size_t j = 0; j < r.size(); ++j) r[j] ^= at(V, j, 1);
    return r;
  }());
}

TEST(Tavrel, RaisesInOrder) {
  std::mt19937_64 random(1);
  const ArrayPtr V = randomDirections(3, random);
  const RaiseCase cases[] = {
      {"two inputs", list(clone(V), scalar(1)), "NumInputsTavrel"},
      {"four inputs", list(clone(V), scalar(1), flag(true), flag(true)), "NumInputsTavrel"},
      {"double directions before the flag", list(doubles(3, 53, {}), scalar(1), scalar(1)),
       "InvalidDirectionNumbers"},
      {"52 columns", list(words(3, 52, {}), scalar(1), flag(true)), "InvalidDirectionNumbers"},
      {"flag of class double", list(clone(V), scalar(1), scalar(1)), "InvalidGrayCodeFlag"},
  };
  const Kernel tavrel("Tavrel");
  expectRaises(tavrel, cases);
  // Inputs whose class is not checked still read safely.
  EXPECT_EQ(tavrel.raised(list(clone(V), flag(true), empty(qvLOGICAL_CLASS))), std::nullopt);
  EXPECT_EQ(row(tavrel.call(list(clone(V), empty(qvCELL_CLASS), flag(true))), 0), Words(3, 0));
}

}  // namespace

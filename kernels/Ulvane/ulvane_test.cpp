#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

ArrayPtr net(const Kernel& ulvane, const ArrayPtr& V, double n, bool gray) {
  return ulvane.call(list(clone(V), scalar(n), flag(gray)));
}

TEST(Ulvane, SmallNets) {
  std::mt19937_64 random(21);
  const ArrayPtr V = randomDirections(6, random);
  const Kernel ulvane("Ulvane");
  const Words zero(6, 0);
  struct Case {
    double n;
    bool gray;
    std::vector<std::uint64_t> words;  // code-word of each row
  } const cases[] = {
      {0, false, {}},
      {0, true, {}},
      {1, false, {0}},
      {1, true, {0}},
      {4, false, {0, 1, 2, 3}},
      {4, true, {0, 1, 3, 2}},
      {5, true, {0, 1, 3, 2, 6}},  // row 4 = row 3 XOR column 2
      {5.7, false, {0, 1, 2, 3, 4}},
      {0x1p32 + 3, true, {0, 1, 3}},  // the low 32 bits of the count
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.n << " gray " << c.gray);
    const ArrayPtr out = net(ulvane, V, c.n, c.gray);
    ASSERT_EQ(out->rows(), c.words.size());
    ASSERT_EQ(out->columns(), 6u);
    for (std::size_t i = 0; i < c.words.size(); ++i) {
      EXPECT_EQ(row(out, i), referencePoint(V, c.words[i])) << "row " << i;
    }
  }
}

// Nets across the column chunks: a count that is not a power of two gives the first rows of
// the larger net; Gray rows equal Hestra's, natural rows equal Fjorum's on 0..n-1.
TEST(Ulvane, AgreesWithLargerNetsAndPointKernels) {
  std::mt19937_64 random(22);
  const ArrayPtr V = randomDirections(9, random);
  const Kernel ulvane("Ulvane"), hestra("Hestra"), fjorum("Fjorum");
  const std::uint32_t large = 4096;
  for (bool gray : {false, true}) {
    SCOPED_TRACE(testing::Message() << "gray " << gray);
    const ArrayPtr whole = net(ulvane, V, large, gray);
    std::vector<double> indices(large);
    for (std::uint32_t i = 0; i < large; ++i) indices[i] = i;
    const ArrayPtr reference =
        gray ? hestra.call(list(clone(V), scalar(0), scalar(0), scalar(large), flag(true)))
             : fjorum.call(list(clone(V), doubles(large, 1, indices), flag(false)));
    EXPECT_TRUE(std::equal(whole->as<std::uint64_t>(),
                           whole->as<std::uint64_t>() + std::size_t{large} * 9,
                           reference->as<std::uint64_t>()));
    for (std::uint32_t n : {3u, 511u, 512u, 513u, 1000u, 1537u, 4095u}) {
      const ArrayPtr part = net(ulvane, V, n, gray);
      for (std::uint32_t i = 0; i < n; ++i) ASSERT_EQ(row(part, i), row(whole, i)) << n << ":" << i;
    }
  }
}

TEST(Ulvane, RaisesInOrder) {
  std::mt19937_64 random(1);
  const ArrayPtr V = randomDirections(3, random);
  const RaiseCase cases[] = {
      {"two inputs", list(clone(V), scalar(4)), "NumInputsUlvane"},
      {"four inputs", list(clone(V), scalar(4), flag(true), flag(true)), "NumInputsUlvane"},
      {"double directions", list(doubles(3, 53, {}), scalar(4), scalar(1)),
       "InvalidDirectionNumbers"},
      {"52 columns", list(words(3, 52, {}), scalar(4), flag(true)), "InvalidDirectionNumbers"},
      {"flag of class double", list(clone(V), scalar(4), scalar(1)), "InvalidGrayCodeFlag"},
  };
  const Kernel ulvane("Ulvane");
  expectRaises(ulvane, cases);
}

}  // namespace

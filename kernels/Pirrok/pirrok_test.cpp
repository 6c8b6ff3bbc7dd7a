#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

TEST(Pirrok, XorsColumns) {
  const Kernel pirrok("Pirrok");
  const ArrayPtr A = words(2, 3, {1, 2, 3, 4, 5, 6});
  const ArrayPtr same = pirrok.call(list(clone(A), words(3, 1, {0, 0, 0})));
  EXPECT_EQ(same->dims(), A->dims());
  EXPECT_EQ(row(same, 1), (Words{2, 4, 6}));
  const ArrayPtr mixed = pirrok.call(list(clone(A), words(1, 3, {1, 0, 0xff00})));
  EXPECT_EQ(row(mixed, 0), (Words{0, 3, 0xff05}));
  EXPECT_EQ(row(mixed, 1), (Words{3, 4, 0xff06}));
  const ArrayPtr one = pirrok.call(list(words(4, 1, {1, 2, 3, 4}), words(1, 1, {7})));
  EXPECT_EQ(Words(one->as<std::uint64_t>(), one->as<std::uint64_t>() + 4), (Words{6, 5, 4, 3}));
  // Doubles are read and written as words; the copy keeps the class.
  const ArrayPtr bits = pirrok.call(list(doubles(1, 1, {1.0}), words(1, 1, {1ull << 63})));
  EXPECT_EQ(bits->classId(), qvDOUBLE_CLASS);
  EXPECT_EQ(bits->as<double>()[0], -1.0);
  EXPECT_EQ(pirrok.call(list(words(0, 0, {}), empty(qvUINT64_CLASS)))->numberOfElements(), 0u);
  // More than two dimensions: the columns are every dimension after the first, and the output
  // keeps A's shape.
  ArrayPtr cube = hostarray::PlainArray::numeric(qvUINT64_CLASS, {2, 2, 2});
  for (std::uint64_t i = 0; i < 8; ++i) cube->as<std::uint64_t>()[i] = i;
  const ArrayPtr xored = pirrok.call(list(std::move(cube), words(1, 4, {0, 1, 2, 3})));
  EXPECT_EQ(xored->dims(), (std::vector<std::uint32_t>{2, 2, 2}));
  EXPECT_EQ(Words(xored->as<std::uint64_t>(), xored->as<std::uint64_t>() + 8),
            (Words{0, 1, 3, 2, 6, 7, 5, 4}));
}

TEST(Pirrok, RaisesInOrder) {
  const RaiseCase cases[] = {
      {"one input", list(words(1, 1, {1})), "NumInputsPirrok"},
      {"three inputs", list(words(1, 1, {1}), words(1, 1, {1}), words(1, 1, {1})),
       "NumInputsPirrok"},
      {"s longer than the columns", list(words(2, 1, {1, 2}), words(1, 2, {1, 2})),
       "InputSizesPirrok"},
      {"s shorter than the columns", list(words(1, 3, {1, 2, 3}), words(1, 2, {1, 2})),
       "InputSizesPirrok"},
      // Neither a logical nor a cell array holds 64-bit words.
      {"logical A", list(flag(true), words(1, 1, {1})), "InputSizesPirrok"},
      {"cell s", list(words(1, 1, {1}), cells(list(nullptr))), "InputSizesPirrok"},
  };
  const Kernel pirrok("Pirrok");
  expectRaises(pirrok, cases);
}

}  // namespace

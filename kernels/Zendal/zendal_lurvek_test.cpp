#include <gtest/gtest.h>

#include <cmath>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

TEST(ZendalLurvek, Examples) {
  const Kernel zendal("Zendal"), lurvek("Lurvek");
  struct Case {
    const char* name;
    Words words;
    std::vector<double> bits;  // column-major n x n
  } const cases[] = {
      {"single word 1", {1}, {1}},
      {"words 2 and 1", {2, 1}, {1, 0, 0, 1}},
      {"no words", {}, {}},
      {"three words", {4, 3, 0}, {1, 0, 0, 0, 1, 1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto n = static_cast<std::uint32_t>(c.words.size());
    const ArrayPtr matrix = zendal.call(list(words(1, n, c.words)));
    ASSERT_EQ(matrix->dims(), (std::vector<std::uint32_t>{n, n}));
    EXPECT_EQ(doublesOf(matrix), c.bits);
    const ArrayPtr back = lurvek.call(list(doubles(n, n, c.bits)));
    ASSERT_EQ(back->dims(), (std::vector<std::uint32_t>{n, 1}));
    EXPECT_EQ(Words(back->as<std::uint64_t>(), back->as<std::uint64_t>() + n), c.words);
  }
}

TEST(ZendalLurvek, RoundTripsUpTo64) {
  std::mt19937_64 random(31);
  const Kernel zendal("Zendal"), lurvek("Lurvek");
  for (std::uint32_t n = 1; n <= 64; ++n) {
    Words w(n);
    for (auto& x : w) x = n == 64 ? random() : random() & ((1ull << n) - 1);
    const ArrayPtr back = lurvek.call(list(zendal.call(list(words(n, 1, w)))));
    ASSERT_EQ(Words(back->as<std::uint64_t>(), back->as<std::uint64_t>() + n), w) << "n " << n;
  }
}

TEST(ZendalLurvek, OutsideTheirShapes) {
  const Kernel zendal("Zendal"), lurvek("Lurvek");
  // Bits above 63 read as 0: with 66 words, rows 0 and 1 are zero.
  Words many(66, ~0ull);
  const ArrayPtr wide = zendal.call(list(words(1, 66, many)));
  EXPECT_EQ(wide->as<double>()[0], 0.0);
  EXPECT_EQ(wide->as<double>()[1], 0.0);
  EXPECT_EQ(wide->as<double>()[2], 1.0);
  // Past 64 rows only the last 64 survive; NaN counts as 1; missing columns read as 0.
  std::vector<double> tall(66 * 2, 0.0);
  tall[0] = 1;              // shifted out
  tall[65] = std::nan("");  // bit 0 of word 0
  const ArrayPtr packed = lurvek.call(list(doubles(66, 2, tall)));
  ASSERT_EQ(packed->rows(), 66u);
  EXPECT_EQ(packed->as<std::uint64_t>()[0], 1u);
  EXPECT_EQ(packed->as<std::uint64_t>()[2], 0u);
  // No input: empty results. Other classes read by value.
  EXPECT_EQ(zendal.call({})->numberOfElements(), 0u);
  EXPECT_EQ(lurvek.call({})->dims(), (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(zendal.call(list(flag(true)))->as<double>()[0], 1.0);
  EXPECT_EQ(lurvek.call(list(words(1, 1, {0})))->as<std::uint64_t>()[0], 0u);
  EXPECT_EQ(zendal.call(list(cells(list(nullptr, nullptr))))->as<double>()[3], 0.0);
}

}  // namespace

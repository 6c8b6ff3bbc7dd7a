#include "sobolbits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using Words = std::vector<std::uint64_t>;

TEST(SobolBits, TruncateToWord) {
  const struct {
    double value;
    std::uint64_t word;
  } cases[] = {
      {0, 0},
      {-0.0, 0},
      {0.99, 0},
      {-0.99, 0},
      {7.9, 7},
      {-7.9, 0},
      {0x1p53, 1ull << 53},
      {0x1p63, 1ull << 63},
      {0x1.fffffffffffffp63, 0xfffffffffffff800ull},
      {0x1p64, ~0ull},
      {std::numeric_limits<double>::infinity(), ~0ull},
      {-std::numeric_limits<double>::infinity(), 0},
      {std::nan(""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(sobolbits::truncateToWord(c.value), c.word) << c.value;
}

TEST(SobolBits, BitsOfCode) {
  const struct {
    std::uint64_t value;
    std::uint32_t length;
    std::uint32_t written;
    std::vector<std::uint8_t> table;
  } cases[] = {
      {0, 4, 0, {0, 0, 0, 0}},
      {7, 5, 3, {1, 1, 1, 0, 0}},
      {0b1011, 6, 4, {1, 1, 0, 1, 0, 0}},
      {0b1011, 2, 2, {1, 1}},  // stops at the table's length
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> table(c.length, 9);
    EXPECT_EQ(sobolbits::bitsOfCode(c.value, table.data(), c.length), c.written);
    EXPECT_EQ(table, c.table) << c.value;
  }
  std::vector<std::uint8_t> table(53);
  EXPECT_EQ(sobolbits::bitsOfCode(~0ull, table.data(), 53), 53u);
}

TEST(SobolBits, StridedRowsAndCodes) {
  // d = 2, V columns k hold (k + 1, 100 + k).
  Words V(2 * 53);
  for (std::size_t k = 0; k < 53; ++k) V[2 * k] = k + 1, V[2 * k + 1] = 100 + k;
  Words matrix(3 * 2, 0);  // 3 x 2, a point at stride 3
  sobolbits::applyCode(V.data(), 2, 0b101, matrix.data() + 1, 3);
  EXPECT_EQ(matrix, (Words{0, 1 ^ 3, 0, 0, 100 ^ 102, 0}));

  const Words src{10, 20};
  Words dst(4, 0);
  sobolbits::applyCodeFrom(V.data(), 2, 0, dst.data(), 2, src.data(), 1);
  EXPECT_EQ(dst, (Words{10, 0, 20, 0}));
  // Bits from 53 up select no column: the point is copied, as for the zero difference.
  dst.assign(4, 0);
  sobolbits::applyCodeFrom(V.data(), 2, 3ull << 53, dst.data(), 2, src.data(), 1);
  EXPECT_EQ(dst, (Words{10, 0, 20, 0}));
  sobolbits::applyCodeFrom(V.data(), 2, 0b110 | 1ull << 60, dst.data(), 2, src.data(), 1);
  EXPECT_EQ(dst, (Words{10 ^ 2 ^ 3, 0, 20 ^ 101 ^ 102, 0}));

  Words x{1, 2, 3, 4, 5, 6};  // 3 x 2
  const Words s{0xf0, 0x0f};
  sobolbits::xorColumns(x.data(), s.data(), 3, 2);
  EXPECT_EQ(x, (Words{0xf1, 0xf2, 0xf3, 0x0b, 0x0a, 0x09}));
}

// Runs over many rows and dimensions that are not a multiple of the column block agree with
// points built from their definition.
TEST(SobolBits, LongRunsMatchTheDefinition) {
  std::mt19937_64 random(5);
  for (std::uint32_t d : {1u, 8u, 19u}) {
    Words V(std::size_t{d} * 53);
    for (auto& w : V) w = random() >> 11;
    auto point = [&](std::uint64_t word, std::uint32_t j) {
      std::uint64_t code = 0;
      for (std::uint32_t k = 0; k < 53; ++k) {
        if (word >> k & 1) code ^= V[k * d + j];
      }
      return code;
    };
    const std::uint32_t n = 2500;
    const std::uint64_t first = (1ull << 20) - 37;
    Words gray(std::size_t{n} * d, 0), leap(std::size_t{n} * d, 0);
    sobolbits::graySequence(first, n, d, V.data(), gray.data());
    sobolbits::sequenceLeap(first, 4, n, d, V.data(), false, leap.data());
    for (std::uint32_t i = 0; i < n; ++i) {
      for (std::uint32_t j = 0; j < d; ++j) {
        const std::uint64_t g = first + i, x = first + 5ull * i;
        ASSERT_EQ(gray[std::size_t{j} * n + i], point(g ^ (g >> 1), j)) << i << "," << j;
        ASSERT_EQ(leap[std::size_t{j} * n + i], point(x, j)) << i << "," << j;
      }
    }
  }
}

}  // namespace

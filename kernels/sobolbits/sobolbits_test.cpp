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
      {-7.9, ~0ull - 6},  // -7 as a two's complement word
      {-1, ~0ull},
      {-0x1p63, 1ull << 63},
      {-0x1p70, 1ull << 63},
      {0x1p53, 1ull << 53},
      {0x1p63, 1ull << 63},
      {0x1.fffffffffffffp63, 0xfffffffffffff800ull},
      {0x1p64, ~0ull},
      {std::numeric_limits<double>::infinity(), ~0ull},
      {-std::numeric_limits<double>::infinity(), 1ull << 63},
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

// Runs over many rows, through the column blocks and the chunked runs, agree with points built
// from their definition; near 2^53 and across 2^64 too, where only bits 0..52 take part.
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
    const std::uint32_t n = 1500;
    for (std::uint64_t first : {(1ull << 20) - 37, 0ull, (1ull << 53) - 700, ~0ull - 1000}) {
      struct Run {
        const char* name;
        std::uint64_t step;
        bool gray;
        bool viaGraySequence;
        Words out;
      } runs[] = {{"Gray", 1, true, true, {}},
                  {"natural", 1, false, false, {}},
                  {"leap 4", 5, true, false, {}}};
      for (auto& run : runs) {
        run.out.assign(std::size_t{n} * d, 0);
        if (run.viaGraySequence) {
          sobolbits::graySequence(first, n, d, V.data(), run.out.data());
        } else {
          sobolbits::sequenceLeap(first, run.step - 1, n, d, V.data(), run.gray, run.out.data());
        }
        for (std::uint32_t i = 0; i < n; ++i) {
          const std::uint64_t x = first + run.step * i;
          const std::uint64_t word = run.gray ? x ^ (x >> 1) : x;
          for (std::uint32_t j = 0; j < d; ++j) {
            ASSERT_EQ(run.out[std::size_t{j} * n + i], point(word, j))
                << run.name << " first " << first << " row " << i << " dimension " << j;
          }
        }
      }
    }
  }
}

// Outputs of several MiB go out with streaming stores; an odd row count puts every other
// column off the 16-byte grid. Nets and runs still equal points at listed indices.
TEST(SobolBits, LargeOutputsEqualListedIndices) {
  std::mt19937_64 random(6);
  const std::uint32_t n = (1u << 16) + 37, d = 9;
  Words V(std::size_t{d} * 53);
  for (auto& w : V) w = random() >> 11;
  for (std::uint64_t first : {0ull, 12345ull}) {
    for (bool gray : {false, true}) {
      std::vector<double> indices(n);
      for (std::uint32_t i = 0; i < n; ++i) indices[i] = static_cast<double>(first + i);
      Words listed(std::size_t{n} * d, 0), run(std::size_t{n} * d, 0);
      sobolbits::indexedPoints(indices.data(), n, d, V.data(), gray, listed.data());
      if (first == 0) {
        (gray ? sobolbits::netGray : sobolbits::netNatural)(n, d, V.data(), run.data());
      } else if (gray) {
        sobolbits::graySequence(first, n, d, V.data(), run.data());
      } else {
        sobolbits::sequenceLeap(first, 0, n, d, V.data(), false, run.data());
      }
      EXPECT_TRUE(run == listed) << "first " << first << " gray " << gray;
    }
  }
}

}  // namespace

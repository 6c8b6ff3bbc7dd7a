#include "sobolbits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using Words = std::vector<std::uint64_t>;
using sobolbits::Isa;

// What an output holds before a routine writes it: never what the routine should write.
constexpr std::uint64_t kGarbage = 0xa5a5a5a5a5a5a5a5;

// Every instruction set this processor runs; the routines must agree on all of them.
std::vector<Isa> isas() {
  std::vector<Isa> result{Isa::kScalar};
  if (sobolbits::hostIsa() != Isa::kScalar) result.push_back(Isa::kAvx2);
  if (sobolbits::hostIsa() == Isa::kAvx512) result.push_back(Isa::kAvx512);
  return result;
}

const char* nameOf(Isa isa) {
  return isa == Isa::kAvx512 ? "AVX-512" : isa == Isa::kAvx2 ? "AVX2" : "scalar";
}

Words randomDirections(std::uint32_t d, std::mt19937_64& random) {
  Words V(std::size_t{d} * 53);
  for (auto& w : V) w = random() >> 11;
  return V;
}

// The point of a code-word of V (d x 53) in dimension j, from its definition.
std::uint64_t pointOf(const Words& V, std::uint32_t d, std::uint64_t word, std::uint32_t j) {
  std::uint64_t code = 0;
  for (std::uint32_t k = 0; k < 53; ++k) {
    if (word >> k & 1) code ^= V[std::size_t{k} * d + j];
  }
  return code;
}

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

// A count below 1 is no rows, however it would wrap as a word; a count keeps its low 32 bits.
TEST(SobolBits, TruncateToCount) {
  const struct {
    double value;
    std::uint32_t count;
  } cases[] = {
      {0.99, 0},         {0, 0}, {-0.5, 0}, {-1, 0},         {-0x1p40, 0},
      {std::nan(""), 0}, {1, 1}, {7.9, 7},  {0x1p32 + 3, 3}, {0x1p32, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(sobolbits::truncateToCount(c.value), c.count) << c.value;
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
    const Words V = randomDirections(d, random);
    auto point = [&](std::uint64_t word, std::uint32_t j) { return pointOf(V, d, word, j); };
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
        run.out.assign(std::size_t{n} * d, kGarbage);
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
// column off the 64-byte grid. Nets and runs still equal points at listed indices, whatever
// instruction set lists them.
TEST(SobolBits, LargeOutputsEqualListedIndices) {
  std::mt19937_64 random(6);
  const std::uint32_t n = (1u << 16) + 37, d = 9;
  const Words V = randomDirections(d, random);
  for (std::uint64_t first : {0ull, 12345ull}) {
    for (bool gray : {false, true}) {
      std::vector<double> indices(n);
      for (std::uint32_t i = 0; i < n; ++i) indices[i] = static_cast<double>(first + i);
      Words run(std::size_t{n} * d, kGarbage);
      if (first == 0) {
        (gray ? sobolbits::netGray : sobolbits::netNatural)(n, d, V.data(), run.data());
      } else if (gray) {
        sobolbits::graySequence(first, n, d, V.data(), run.data());
      } else {
        sobolbits::sequenceLeap(first, 0, n, d, V.data(), false, run.data());
      }
      for (Isa isa : isas()) {
        Words listed(std::size_t{n} * d, kGarbage);
        sobolbits::indexedPoints(indices.data(), n, d, V.data(), gray, listed.data(), isa);
        EXPECT_TRUE(run == listed) << "first " << first << " gray " << gray << " " << nameOf(isa);
      }
    }
  }
}

// Blocks of words of every spread: the bits that vary decide how many tables a block needs and
// the bits they all share go into the base. Each row must equal base XOR the point of its word,
// and nothing outside the block may be written.
TEST(SobolBits, PointsOfWordsByTable) {
  std::mt19937_64 random(7);
  const std::uint32_t d = 5, rows = 1100, offset = 3;
  const Words V = randomDirections(d, random);
  const struct Case {
    const char* name;
    std::size_t count;
    std::uint64_t common, varying;  // word = common ^ (random & varying)
  } cases[] = {
      {"one word repeated", 9, 0x1234567, 0},
      {"one row", 1, 0x0f0f0f, 0xffff},
      {"four low bits", 7, 0, 0xf},
      {"low bits under common high ones", 100, 0x5ull << 40, 0xfff},
      {"bit 52 alone", 17, 0x123, 1ull << 52},
      {"all 53 bits, a scalar byte-table block", 513, 0, (1ull << 53) - 1},
      {"bits from 53 up take no part", 300, 0x7ull << 53, ~0ull},
      {"a tail after whole vectors", 259, 1ull << 30, 0x3fff},
  };
  const Words base = [&] {
    Words b(3 * d);
    for (auto& w : b) w = random();
    return b;
  }();
  for (const Case& c : cases) {
    Words words(c.count);
    for (auto& w : words) w = c.common ^ (random() & c.varying);
    for (Isa isa : isas()) {
      for (int baseKind : {0, 1, 2}) {  // none, a separate point at stride 3, row 0 of the block
        SCOPED_TRACE(testing::Message() << c.name << ", " << nameOf(isa) << ", base " << baseKind);
        Words out(std::size_t{rows} * d, kGarbage);
        std::uint64_t* block = out.data() + offset;
        Words expectedBase(d, 0);
        const std::uint64_t* basePoint = nullptr;
        std::size_t baseStride = 0;
        Words blockWords = words;
        if (baseKind == 1) {
          basePoint = base.data(), baseStride = 3;
          for (std::uint32_t j = 0; j < d; ++j) expectedBase[j] = base[3 * j];
        } else if (baseKind == 2) {
          for (std::uint32_t j = 0; j < d; ++j) block[j * rows] = expectedBase[j] = base[j];
          basePoint = block, baseStride = rows;
          blockWords[0] = 0;  // row 0 stays itself
        }
        sobolbits::pointsOfWords(blockWords.data(), c.count, d, V.data(), basePoint, baseStride,
                                 block, rows, isa);
        for (std::uint32_t j = 0; j < d; ++j) {
          for (std::size_t r = 0; r < rows; ++r) {
            const std::uint64_t got = out[j * rows + r];
            if (r < offset || r >= offset + c.count) {
              ASSERT_EQ(got, kGarbage) << "written outside the block: dimension " << j;
            } else {
              const std::uint64_t word = blockWords[r - offset];
              ASSERT_EQ(got, expectedBase[j] ^ pointOf(V, d, word, j)) << "row " << r - offset;
            }
          }
        }
      }
    }
  }
}

// Indices are truncated as truncateToWord does, lane by lane too: NaN, infinities, negatives
// that wrap, values from 2^64 up.
TEST(SobolBits, ListedIndicesOfEveryKind) {
  std::mt19937_64 random(8);
  const std::uint32_t d = 3;
  const Words V = randomDirections(d, random);
  std::vector<double> indices = {0,
                                 -0.0,
                                 0.5,
                                 -0.5,
                                 7.9,
                                 -1,
                                 -7.9,
                                 0x1p52,
                                 0x1p53,
                                 0x1p63,
                                 0x1p64,
                                 1e300,
                                 -1e300,
                                 -0x1p63,
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 std::nan("")};
  for (int i = 0; i < 200; ++i) {
    indices.push_back(std::ldexp(static_cast<double>(random() >> 11), -(int)(random() % 40)) *
                      (random() % 2 ? 1 : -1));
  }
  const auto n = static_cast<std::uint32_t>(indices.size());
  for (bool gray : {false, true}) {
    for (Isa isa : isas()) {
      Words out(std::size_t{n} * d, kGarbage);
      sobolbits::indexedPoints(indices.data(), n, d, V.data(), gray, out.data(), isa);
      for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t index = sobolbits::truncateToWord(indices[i]);
        const std::uint64_t word = gray ? sobolbits::grayCode(index) : index;
        for (std::uint32_t j = 0; j < d; ++j) {
          ASSERT_EQ(out[std::size_t{j} * n + i], pointOf(V, d, word, j))
              << indices[i] << " gray " << gray << " " << nameOf(isa);
        }
      }
    }
  }
}

// Today's conversion, written out: the low 63 bits rounded once, 2^63 added and rounded again.
double coordinateOf(std::uint64_t code) {
  double value = static_cast<double>(static_cast<std::int64_t>(code & ~(1ull << 63)));
  if (code >> 63) value += 0x1p63;
  return value * 0x1p-53;
}

// Every instruction set gives the same bits as the scalar conversion for every code: exact
// below 2^53, the same two roundings above (ties included), on heads and tails around whole
// vectors, large outputs streamed, and converted in place.
TEST(SobolBits, CodesToCoordinatesAgreeBitForBit) {
  const struct {
    std::uint64_t code;
    double value;
  } edges[] = {
      {0, 0.0},
      {1, 0x1p-53},
      {1ull << 52, 0.5},
      {(1ull << 53) - 1, 1 - 0x1p-53},
      {1ull << 53, 1.0},
      {(1ull << 53) + 1, 1.0},  // a tie, to even
      {(1ull << 53) + 3, 1 + 0x1p-51},
      {~0ull >> 1, 1024.0},
      {1ull << 63, 1024.0},
      {~0ull, 2048.0},
      // Two roundings differ from one: 2^62 + 1025 rounds to 2^62 + 1024, then the tie at
      // 2^63 + 2^62 + 1024 rounds to even.
      {(1ull << 63) | ((1ull << 62) + 1025), 0x1.8p10},
  };
  Words codes;
  std::vector<double> expected;
  for (const auto& e : edges) {
    ASSERT_EQ(coordinateOf(e.code), e.value) << e.code;
    codes.push_back(e.code);
  }
  std::mt19937_64 random(9);
  for (std::size_t i = 0; i < (std::size_t{1} << 20); ++i) {
    const std::uint64_t bits = random() % 64;  // every magnitude
    std::uint64_t code = random() >> bits;
    if (i % 7 == 0) code |= 1ull << 63;
    if (i % 11 == 0) code = (code & ~0x7ffull) | 0x400;  // ties above 2^53
    codes.push_back(code);
  }
  for (std::uint64_t code : codes) expected.push_back(coordinateOf(code));
  for (Isa isa : isas()) {
    SCOPED_TRACE(nameOf(isa));
    std::vector<double> out(codes.size());
    sobolbits::codesToCoordinates(codes.data(), out.data(), codes.size(), isa);
    ASSERT_EQ(std::memcmp(out.data(), expected.data(), out.size() * sizeof(double)), 0);
    for (std::size_t offset = 1; offset < 9; ++offset) {
      const std::size_t count = 13 + 8 * offset;
      std::vector<double> part(count + offset, -1);
      sobolbits::codesToCoordinates(codes.data(), part.data() + offset, count, isa);
      ASSERT_EQ(part[offset - 1], -1) << offset;
      ASSERT_EQ(std::memcmp(part.data() + offset, expected.data(), count * sizeof(double)), 0)
          << offset;
    }
    Words inPlace = codes;
    auto* asDoubles = reinterpret_cast<double*>(inPlace.data());
    sobolbits::codesToCoordinates(inPlace.data(), asDoubles, inPlace.size(), isa);
    ASSERT_EQ(std::memcmp(asDoubles, expected.data(), inPlace.size() * sizeof(double)), 0);
  }
}

TEST(SobolBits, XorColumnsIntoANewArray) {
  std::mt19937_64 random(10);
  // Small, then large enough to stream with columns off the 64-byte grid.
  for (const auto& [m, n] : {std::pair<std::size_t, std::size_t>{3, 2}, {(1u << 16) + 5, 9}}) {
    Words src(m * n), s(n);
    for (auto& w : src) w = random();
    for (auto& w : s) w = random();
    Words expected = src;
    sobolbits::xorColumns(expected.data(), s.data(), static_cast<std::uint32_t>(m),
                          static_cast<std::uint32_t>(n));
    for (Isa isa : isas()) {
      Words dst(m * n, kGarbage);
      sobolbits::xorColumnsInto(dst.data(), src.data(), s.data(), m, n, isa);
      EXPECT_TRUE(dst == expected) << m << " x " << n << " " << nameOf(isa);
    }
  }
}

}  // namespace

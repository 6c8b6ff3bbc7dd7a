#include "sobol_engine.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Words = std::vector<std::uint64_t>;
using sobolbits::Isa;
constexpr std::uint32_t kWords = sobolbits::kEngineWords;

std::vector<Isa> isas() {
  std::vector<Isa> result{Isa::kScalar};
  if (sobolbits::hostIsa() != Isa::kScalar) result.push_back(Isa::kAvx2);
  if (sobolbits::hostIsa() == Isa::kAvx512) result.push_back(Isa::kAvx512);
  return result;
}

// Words of d dimensions with random digits in the top `bits` of each.
Words randomWords(std::size_t d, std::uint32_t bits, std::mt19937_64& random) {
  Words words(d * kWords);
  for (auto& w : words) w = random() >> (64 - bits) << (64 - bits);
  return words;
}

// The code of an index from its definition: the words of the set bits of its Gray code-word.
std::uint64_t codeAt(const std::uint64_t* v, std::uint64_t index) {
  const std::uint64_t word = index ^ (index >> 1);
  std::uint64_t code = 0;
  for (std::uint32_t c = 0; c < kWords; ++c) {
    if (word >> c & 1) code ^= v[c];
  }
  return code;
}

std::vector<double> points(const Words& words, std::size_t d, sobolbits::EngineScramble scramble,
                           std::uint64_t first, std::size_t n, Isa isa) {
  std::vector<double> out(n * d, -1.0);
  sobolbits::enginePoints(words.data(), d, scramble, first, n, out.data(), isa);
  return out;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Runs from anywhere (inside a block, across blocks, at the end of the index range) equal their
// definition, converted by the compiler's own rounding, on every instruction set.
TEST(SobolEngine, PointsMatchTheDefinition) {
  std::mt19937_64 random(3);
  const std::size_t d = 3;
  const Words words = randomWords(d, 64, random);
  const Words shift{random(), random(), 0};
  const struct {
    std::uint64_t first;
    std::size_t n;
  } runs[] = {{0, 1},
              {0, 1500},
              {5, 7},
              {509, 9},
              {1023, 1025},
              {(1ull << 40) + 77, 600},
              {~0ull - 999, 1000}};
  for (const auto& run : runs) {
    for (const Isa isa : isas()) {
      const auto got = points(words, d, {shift.data(), nullptr}, run.first, run.n, isa);
      for (std::size_t j = 0; j < d; ++j) {
        for (std::size_t r = 0; r < run.n; ++r) {
          const std::uint64_t code = codeAt(&words[j * kWords], run.first + r) ^ shift[j];
          ASSERT_EQ(got[j * run.n + r], static_cast<double>(code) * 0x1p-64)
              << "first " << run.first << " row " << r << " dimension " << j;
        }
      }
    }
  }
}

// Every path gives the same bits, plain, shifted and nested-scrambled, and a nested scramble is
// owenScramble of the plain code, its top 52 digits kept.
TEST(SobolEngine, InstructionSetsAgree) {
  std::mt19937_64 random(11);
  const std::size_t d = 5, n = 2000;
  const Words words = randomWords(d, 53, random);
  Words shift(d), seeds(d);
  for (std::size_t j = 0; j < d; ++j) shift[j] = random(), seeds[j] = random();
  const sobolbits::EngineScramble scrambles[] = {
      {nullptr, nullptr}, {shift.data(), nullptr}, {nullptr, seeds.data()}};
  for (const auto& scramble : scrambles) {
    for (const std::uint64_t first : {0ull, 3ull, 1ull << 33}) {
      const auto expected = points(words, d, scramble, first, n, Isa::kScalar);
      for (const Isa isa : isas()) {
        EXPECT_TRUE(sameBits(points(words, d, scramble, first, n, isa), expected))
            << "first " << first << " isa " << static_cast<int>(isa);
      }
    }
  }
  const auto owen = points(words, d, scrambles[2], 100, 64, sobolbits::hostIsa());
  for (std::size_t j = 0; j < d; ++j) {
    for (std::size_t r = 0; r < 64; ++r) {
      const std::uint64_t x =
          sobolbits::owenScramble(codeAt(&words[j * kWords], 100 + r), seeds[j]);
      ASSERT_EQ(owen[j * 64 + r], static_cast<double>(x >> 12) * 0x1p-52);
    }
  }
}

// A nested scramble flips digit k by the digits before it alone: inputs that differ first at
// digit k give outputs that differ first at digit k.
TEST(SobolEngine, OwenScrambleIsNested) {
  std::mt19937_64 random(17);
  for (int trial = 0; trial < 2000; ++trial) {
    const std::uint64_t x = random(), seed = random();
    const int k = static_cast<int>(random() % 64);
    const std::uint64_t later = k == 63 ? 0 : random() >> (k + 1);  // any digits after k
    const std::uint64_t y = x ^ 1ull << (63 - k) ^ later;
    const std::uint64_t difference =
        sobolbits::owenScramble(x, seed) ^ sobolbits::owenScramble(y, seed);
    ASSERT_EQ(std::countl_zero(difference), k) << "x " << x << " seed " << seed;
  }
  // The top digit is flipped by the seed alone: half the seeds flip it.
  int flipped = 0;
  for (int s = 0; s < 1000; ++s)
    flipped += static_cast<int>(sobolbits::owenScramble(0, random()) >> 63);
  EXPECT_NEAR(flipped, 500, 60);
}

// Digit p of L v is the parity of row p with v; words from `bits` on are cleared.
TEST(SobolEngine, LinearScramble) {
  const std::uint64_t top = 1ull << 63;
  // Two dimensions of 3 bits: the identity, and L = [1; 1 1; 1 0 1].
  const Words rows{top, top >> 1, top >> 2, top, top | top >> 1, top | top >> 2};
  Words words(2 * kWords, 0);
  for (std::size_t j = 0; j < 2; ++j) {
    words[j * kWords + 0] = top;             // digits 100
    words[j * kWords + 1] = top >> 1;        // 010
    words[j * kWords + 2] = top | top >> 2;  // 101
    words[j * kWords + 3] = ~0ull;           // a word past the bits
  }
  sobolbits::scrambleLinear(words.data(), 2, rows.data(), 3);
  const std::uint64_t d100 = top, d010 = top >> 1, d001 = top >> 2;
  EXPECT_EQ(words[0], d100);
  EXPECT_EQ(words[1], d010);
  EXPECT_EQ(words[2], d100 | d001);
  EXPECT_EQ(words[3], 0u);
  EXPECT_EQ(words[kWords + 0], d100 | d010 | d001);  // 100 -> 1, 1, 1
  EXPECT_EQ(words[kWords + 1], d010);                // 010 -> 0, 1, 0
  EXPECT_EQ(words[kWords + 2], d100 | d010);         // 101 -> 1, 1, 1 ^ 1
  EXPECT_EQ(words[kWords + 3], 0u);
}

}  // namespace

// Engine points a column at a time: the codes of a block of 512 indices from a multiple H of 512
// are the codes of indices 0..511 (a table in L1) XOR the code of H, since the Gray code-words of
// H and of an index below 512 share no bit. The loop over a block is left to the compiler's
// vectorizer, built once per instruction set; every path computes the same expressions, so the
// results do not depend on the path. Nested scrambling has a hand-written path where the
// processor reverses bits in one instruction (GFNI), which the vectorizer does not use.
#include <algorithm>
#include <bit>

#include "sobol_engine.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define ENGINE_AVX2 __attribute__((target("avx2")))
#define ENGINE_AVX512 __attribute__((target("avx512f,avx512dq,avx512bw,avx512vl")))
#define ENGINE_GFNI __attribute__((target("avx512f,avx512dq,avx512bw,avx512vl,gfni")))
#endif

namespace sobolbits {
namespace {

constexpr std::size_t kBlock = 512;

[[gnu::always_inline]] inline std::uint64_t reverseBits(std::uint64_t x) {
  x = __builtin_bswap64(x);
  x = (x >> 4 & 0x0f0f0f0f0f0f0f0f) | (x & 0x0f0f0f0f0f0f0f0f) << 4;
  x = (x >> 2 & 0x3333333333333333) | (x & 0x3333333333333333) << 2;
  return (x >> 1 & 0x5555555555555555) | (x & 0x5555555555555555) << 1;
}

constexpr std::uint64_t kScrambleFactors[] = {0x6a09e6676c50b47c, 0xbb67ae85b82f1e52,
                                              0x3c6ef372c7afe638, 0xa54ff53a8d22f6e6};

// The published 32-bit hash for hash-based Owen scrambling, on the reversed code, widened to 64
// bits: an addition and products with even constants change a bit only by the bits beneath it,
// which are the digits before it in the code. The low halves of the constants are the published
// ones, so the first 32 digits are scrambled as there; the high halves are the fractional bits
// of the square roots of 2, 3, 5 and 7.
[[gnu::always_inline]] inline std::uint64_t scrambleReversed(std::uint64_t r, std::uint64_t seed) {
  r += seed;
  for (const std::uint64_t factor : kScrambleFactors) r ^= r * factor;
  return r;
}

// code times 2^-64 rounded once to nearest: both halves convert exactly through the mantissa of
// a power of two, and their sum rounds once. Vectorizes without 64-bit integer conversions.
[[gnu::always_inline]] inline double coordinateOf(std::uint64_t code) {
  const double high = std::bit_cast<double>(0x4530000000000000 | code >> 32) - 0x1p84;
  const double low = std::bit_cast<double>(0x4330000000000000 | (code & 0xffffffff)) - 0x1p52;
  return (high + low) * 0x1p-64;
}

// The top 52 digits as a double in [1, 2), less 1: exact, and below 1 whatever the digits.
[[gnu::always_inline]] inline double topDigitsOf(std::uint64_t code) {
  return std::bit_cast<double>(0x3ff0000000000000 | code >> 12) - 1.0;
}

std::uint64_t codeOf(const std::uint64_t* v, std::uint64_t word) {
  std::uint64_t code = 0;
  for (; word != 0; word &= word - 1) code ^= v[std::countr_zero(word)];
  return code;
}

struct Column {
  const std::uint64_t* v;
  std::uint64_t shift;
  std::uint64_t seed;
  bool owen;
};

#if defined(__x86_64__)
ENGINE_GFNI inline __m512i word(std::uint64_t w) {
  return _mm512_set1_epi64(static_cast<long long>(w));
}

// The nested scramble of blockInto eight points at a time: GFNI reverses the bits of each byte,
// a byte shuffle the bytes of each word.
ENGINE_GFNI void gfniOwenBlock(const std::uint64_t* table, std::uint64_t base, std::uint64_t seed,
                               double* out, std::size_t count) {
  const __m512i reverseBytes = _mm512_set_epi8(
      56, 57, 58, 59, 60, 61, 62, 63, 48, 49, 50, 51, 52, 53, 54, 55, 40, 41, 42, 43, 44, 45, 46,
      47, 32, 33, 34, 35, 36, 37, 38, 39, 24, 25, 26, 27, 28, 29, 30, 31, 16, 17, 18, 19, 20, 21,
      22, 23, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
  const __m512i reverseEachByte = word(0x8040201008040201);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m512i x = _mm512_xor_si512(_mm512_loadu_si512(table + i), word(base));
    x = _mm512_add_epi64(x, word(seed));
    for (const std::uint64_t factor : kScrambleFactors) {
      x = _mm512_xor_si512(x, _mm512_mullo_epi64(x, word(factor)));
    }
    x = _mm512_shuffle_epi8(_mm512_gf2p8affine_epi64_epi8(x, reverseEachByte, 0), reverseBytes);
    // The masked shift: the plain one trips a false warning of GCC 12 in its own header.
    x = _mm512_or_si512(_mm512_maskz_srli_epi64(0xff, x, 12), word(0x3ff0000000000000));
    _mm512_storeu_pd(out + i, _mm512_sub_pd(_mm512_castsi512_pd(x), _mm512_set1_pd(1.0)));
  }
  for (; i < count; ++i) {
    out[i] = topDigitsOf(reverseBits(scrambleReversed(table[i] ^ base, seed)));
  }
}
#endif

template <bool kOwen, bool kGfni = false>
[[gnu::always_inline]] inline void blockInto(const std::uint64_t* table, std::uint64_t base,
                                             std::uint64_t seed, double* out, std::size_t count) {
#if defined(__x86_64__)
  if constexpr (kGfni) return gfniOwenBlock(table, base, seed, out, count);
#endif
  for (std::size_t i = 0; i < count; ++i) {
    if constexpr (kOwen) {
      out[i] = topDigitsOf(reverseBits(scrambleReversed(table[i] ^ base, seed)));
    } else {
      out[i] = coordinateOf(table[i] ^ base);
    }
  }
}

// A nested scramble works on reversed codes: reversal commutes with XOR, so the table and the
// block's base are reversed once and each point only on its way out.
template <bool kOwen, bool kGfni = false>
[[gnu::always_inline]] inline void columnInto(const Column& c, std::uint64_t first, std::size_t n,
                                              double* out) {
  alignas(64) std::uint64_t table[kBlock];
  table[0] = 0;
  for (std::size_t i = 1; i < kBlock; ++i) table[i] = table[i - 1] ^ c.v[std::countr_zero(i)];
  if constexpr (kOwen) {
    for (auto& code : table) code = reverseBits(code);
  }
  for (std::size_t done = 0; done < n;) {
    const std::uint64_t index = first + done;
    const std::uint64_t high = index & ~std::uint64_t{kBlock - 1};
    const std::size_t low = index - high, count = std::min(kBlock - low, n - done);
    const std::uint64_t code = codeOf(c.v, grayCode(high));
    const std::uint64_t base = kOwen ? reverseBits(code) : code ^ c.shift;
    blockInto<kOwen, kGfni>(table + low, base, c.seed, out + done, count);
    done += count;
  }
}

void scalarColumn(const Column& c, std::uint64_t first, std::size_t n, double* out) {
  c.owen ? columnInto<true>(c, first, n, out) : columnInto<false>(c, first, n, out);
}

#if defined(__x86_64__)
ENGINE_AVX2 void avx2Column(const Column& c, std::uint64_t first, std::size_t n, double* out) {
  c.owen ? columnInto<true>(c, first, n, out) : columnInto<false>(c, first, n, out);
}

ENGINE_AVX512 void avx512Column(const Column& c, std::uint64_t first, std::size_t n, double* out) {
  c.owen ? columnInto<true>(c, first, n, out) : columnInto<false>(c, first, n, out);
}

void gfniOwenColumn(const Column& c, std::uint64_t first, std::size_t n, double* out) {
  columnInto<true, true>(c, first, n, out);
}

// The AVX-512 paths also want byte shuffles of whole registers (BW).
bool hasAvx512Bytes() {
  static const bool bytes =
      __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
  return bytes;
}

bool hasGfni() {
  static const bool gfni = __builtin_cpu_supports("gfni");
  return gfni;
}
#endif

}  // namespace

std::uint64_t owenScramble(std::uint64_t code, std::uint64_t seed) {
  return reverseBits(scrambleReversed(reverseBits(code), seed));
}

void enginePoints(const std::uint64_t* words, std::size_t d, EngineScramble scramble,
                  std::uint64_t first, std::size_t n, double* out, Isa isa) {
  for (std::size_t j = 0; j < d; ++j) {
    const Column c{words + j * kEngineWords, scramble.shift ? scramble.shift[j] : 0,
                   scramble.owenSeeds ? scramble.owenSeeds[j] : 0, scramble.owenSeeds != nullptr};
    double* column = out + j * n;
#if defined(__x86_64__)
    if (isa == Isa::kAvx512 && hasAvx512Bytes()) {
      c.owen&& hasGfni() ? gfniOwenColumn(c, first, n, column) : avx512Column(c, first, n, column);
      continue;
    }
    if (isa != Isa::kScalar) {
      avx2Column(c, first, n, column);
      continue;
    }
#endif
    (void)isa;
    scalarColumn(c, first, n, column);
  }
}

}  // namespace sobolbits

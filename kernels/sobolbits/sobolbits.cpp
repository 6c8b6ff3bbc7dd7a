#include "sobolbits.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "sobolbits_detail.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sobolbits {
namespace {

using detail::largeOutput;
using detail::pointsByBlocks;

std::uint64_t wordOf(std::uint64_t index, bool gray) { return gray ? grayCode(index) : index; }

// Column t of V, or none when t is 53 or more: the Gray step of an index whose lowest zero bit
// is above bit 52 changes no bit that takes part.
const std::uint64_t* grayStepColumn(const std::uint64_t* V, std::uint32_t d, std::uint64_t index) {
  const int t = std::countr_one(index);
  return t < static_cast<int>(kDirectionColumns) ? V + static_cast<std::size_t>(t) * d : nullptr;
}

constexpr std::size_t kChunk = 512;
// Large runs stream their stores out where the machine has AVX2 (32-byte stores; 16-byte ones
// left the routines about 10% above the memset floor at 2^19 x 256) or AVX-512 (whole lines).
// Other machines store normally.
bool streams(std::uint32_t n, std::uint32_t d) {
  return largeOutput(std::size_t{n} * d) && hostIsa() != Isa::kScalar;
}

// XOR of v_k (v at stride d) over the bits k of word below 53.
std::uint64_t columnsOf(const std::uint64_t* v, std::uint32_t d, std::uint64_t word) {
  std::uint64_t code = 0;
  for (std::uint64_t w = word & kCodeWordMask; w != 0; w &= w - 1) {
    code ^= v[static_cast<std::size_t>(std::countr_zero(w)) * d];
  }
  return code;
}

#if defined(__x86_64__)
// The streamed part of xorTwoBases: whole groups of four rows from row 0, dst 32-byte
// aligned, split at most count. A group across the split is put together from both bases,
// so no line is written both ways. Returns the rows written.
__attribute__((target("avx2"))) std::size_t streamGroups(std::uint64_t* dst,
                                                         const std::uint64_t* src,
                                                         std::size_t count, std::size_t split,
                                                         std::uint64_t a, std::uint64_t b) {
  const __m256i va = _mm256_set1_epi64x(static_cast<long long>(a));
  const __m256i vb = _mm256_set1_epi64x(static_cast<long long>(b));
  std::size_t r = 0;
  for (; r + 4 <= split; r += 4) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + r));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + r), _mm256_xor_si256(va, x));
  }
  if (r < split) {
    if (r + 4 > count) return r;
    long long base[4];
    for (std::size_t k = 0; k < 4; ++k) base[k] = static_cast<long long>(r + k < split ? a : b);
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + r));
    const __m256i mixed = _mm256_set_epi64x(base[3], base[2], base[1], base[0]);
    _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + r), _mm256_xor_si256(mixed, x));
    r += 4;
  }
  for (; r + 4 <= count; r += 4) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + r));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + r), _mm256_xor_si256(vb, x));
  }
  return r;
}

// The same a whole 64-byte line at a time, dst on a line, with streaming or normal stores.
__attribute__((target("avx512f"))) std::size_t xorLines(std::uint64_t* dst,
                                                        const std::uint64_t* src, std::size_t count,
                                                        std::size_t split, std::uint64_t a,
                                                        std::uint64_t b, bool stream) {
  const __m512i va = _mm512_set1_epi64(static_cast<long long>(a));
  const __m512i vb = _mm512_set1_epi64(static_cast<long long>(b));
  std::size_t r = 0;
  for (; r + 8 <= count; r += 8) {
    const auto lanesOfA = static_cast<__mmask8>(r + 8 <= split ? 0xff
                                                : r >= split   ? 0
                                                               : (1u << (split - r)) - 1);
    const __m512i x =
        _mm512_xor_si512(_mm512_loadu_si512(src + r), _mm512_mask_blend_epi64(lanesOfA, vb, va));
    if (stream) {
      _mm512_stream_si512(reinterpret_cast<__m512i*>(dst + r), x);
    } else {
      _mm512_store_si512(dst + r, x);
    }
  }
  return r;
}
#endif

// dst[r] = src[r] ^ (r < split ? a : b) for r below count. With AVX-512 whole lines go out as
// vectors, streamed or not (a run that stays in the cache is written twice as fast as by the
// compiler's 16-byte loop); elsewhere, when streaming, dst is 32-byte aligned and whole groups
// go out as streaming stores.
void xorTwoBases(std::uint64_t* __restrict dst, const std::uint64_t* __restrict src,
                 std::size_t count, std::size_t split, std::uint64_t a, std::uint64_t b,
                 bool stream) {
  split = std::min(split, count);
  std::size_t r = 0;
#if defined(__x86_64__)
  if (hostIsa() == Isa::kAvx512 && reinterpret_cast<std::uintptr_t>(dst) % 64 == 0) {
    r = xorLines(dst, src, count, split, a, b, stream);
  } else if (stream) {
    r = streamGroups(dst, src, count, split, a, b);
  }
#endif
  for (; r < split; ++r) dst[r] = src[r] ^ a;
  for (; r < count; ++r) dst[r] = src[r] ^ b;
}

// Makes streamed stores visible before the routine returns.
void endStreaming(bool stream) {
#if defined(__x86_64__)
  if (stream) _mm_sfence();
#endif
  (void)stream;
}

// The first m points of one dimension (stride d in V) by the net rule: point i is point
// i - 2^b (natural) or 2^(b+1) - 1 - i (Gray) XOR v_b, b the top bit of i. points[0] is 0.
template <bool Gray>
void netHead(const std::uint64_t* v, std::uint32_t d, std::uint64_t* points, std::size_t m) {
  for (std::size_t b = 0, low = 1; low < m; ++b, low *= 2) {
    const std::size_t high = std::min(2 * low, m);
    const std::uint64_t vb = v[b * d];
    for (std::size_t i = low; i < high; ++i) {
      points[i] = points[Gray ? 2 * low - 1 - i : i - low] ^ vb;
    }
  }
}

// Rows of consecutive indices first, first + 1, ..., one column at a time; row 0 must be in
// place. The code-words of a multiple H of kChunk and of L below it share no bit, in Gray-code
// order too (G(H + L) = G(H) ^ G(L)), so the point of H + L is the point of H (the chunk's base)
// XOR the point of L, from a table of the first kChunk points that stays in L1. Rows go out in
// blocks of kChunk that start on a cache line; a block spans the end of one chunk and the start
// of the next, so it takes two bases. The base of each next chunk comes from the last point of
// the one before: no index arithmetic per row, and nothing is read back from the output.
template <bool Gray>
void consecutiveRun(std::uint64_t first, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                    std::uint64_t* out) {
  const bool stream = streams(n, d);
  auto word = [](std::uint64_t x) { return wordOf(x, Gray); };
  alignas(64) std::uint64_t table[kChunk];
  alignas(64) std::uint64_t rotated[kChunk];
  for (std::uint32_t j = 0; j < d; ++j) {
    std::uint64_t* column = out + std::size_t{j} * n;
    const std::uint64_t* v = V + j;
    // Step row by row up to the first row on a cache line.
    const std::size_t misalign = reinterpret_cast<std::uintptr_t>(column + 1) % 64;
    const std::size_t start = std::min<std::size_t>(1 + (64 - misalign) % 64 / 8, n);
    for (std::size_t i = 1; i < start; ++i) {
      column[i] = column[i - 1] ^ columnsOf(v, d, word(first + i - 1) ^ word(first + i));
    }
    if (start == n) continue;
    const std::uint64_t x = first + start;
    const std::size_t offset = x % kChunk;
    const std::size_t rows = std::min<std::size_t>(kChunk, n - start);
    table[0] = 0;
    netHead<Gray>(v, d, table, std::min(kChunk, offset + rows));
    for (std::size_t r = 0; r < rows; ++r) rotated[r] = table[(offset + r) % kChunk];
    // Base of the chunk holding x, and of the chunk after it.
    std::uint64_t base = column[start - 1] ^ columnsOf(v, d, word(x - 1) ^ word(x)) ^ table[offset];
    std::uint64_t chunk = x - offset + kChunk;
    auto nextBase = [&] {
      return base ^ table[kChunk - 1] ^ columnsOf(v, d, word(chunk - 1) ^ word(chunk));
    };
    std::uint64_t next = offset + (n - start) > kChunk ? nextBase() : 0;
    for (std::size_t i = start; i < n; i += kChunk) {
      const std::size_t count = std::min<std::size_t>(kChunk, n - i);
      xorTwoBases(column + i, rotated, count, kChunk - offset, base, next, stream);
      if (i + count >= n) break;
      base = next;
      chunk += kChunk;
      next = nextBase();
    }
  }
  endStreaming(stream);
}

// Rows 1..n-1 of an n x d matrix whose row 0 is in place: row i is row 0 XOR the point of
// wordOf(i), with wordOf(0) = 0 (row 0 is written again, as it is).
template <class WordOf>
void runFromRowZero(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* matrix,
                    WordOf wordOf) {
  pointsByBlocks(n, d, V, matrix, matrix,
                 [&](std::size_t first, std::size_t count, std::uint64_t* words) {
                   for (std::size_t r = 0; r < count; ++r) words[r] = wordOf(first + r);
                 });
}

// Row 0 of an n x d matrix set to the zero point.
void zeroRow(std::uint32_t n, std::uint32_t d, std::uint64_t* out) {
  for (std::uint32_t j = 0; j < d; ++j) out[std::size_t{j} * n] = 0;
}

}  // namespace

std::uint64_t truncateToWord(double value) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  constexpr double kTwoTo64 = 18446744073709551616.0;
  if (std::isnan(value)) return 0;
  if (value >= kTwoTo64) return ~std::uint64_t{0};
  if (value >= 0) return static_cast<std::uint64_t>(value);
  // A negative integer wraps as a 64-bit two's complement word, so a leap of -2 steps back.
  if (value <= -kTwoTo63) return std::uint64_t{1} << 63;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
}

std::uint32_t truncateToCount(double value) {
  return value < 1 ? 0 : static_cast<std::uint32_t>(truncateToWord(value));
}

std::uint32_t bitsOfCode(std::uint64_t value, std::uint8_t* table, std::uint32_t length) {
  std::uint32_t written = 0;
  for (; value != 0 && written < length; ++written, value >>= 1) table[written] = value & 1;
  std::fill(table + written, table + length, std::uint8_t{0});
  return written;
}

std::uint64_t grayCode(std::uint64_t value) { return value ^ (value >> 1); }

void xorRows(std::uint64_t* dst, const std::uint64_t* a, const std::uint64_t* b,
             std::uint32_t count, std::uint32_t dstStride, std::uint32_t aStride) {
  for (std::size_t i = 0; i < count; ++i) dst[i * dstStride] = a[i * aStride] ^ b[i];
}

void applyCode(const std::uint64_t* V, std::uint32_t d, std::uint64_t codeWord,
               std::uint64_t* point, std::uint32_t pointStride) {
  for (std::uint64_t w = codeWord & kCodeWordMask; w != 0; w &= w - 1) {
    const std::size_t k = std::countr_zero(w);
    xorRows(point, point, V + k * d, d, pointStride, pointStride);
  }
}

// A difference with no bit below 53 copies src, as the zero difference does: such bits select
// no column.
void applyCodeFrom(const std::uint64_t* V, std::uint32_t d, std::uint64_t difference,
                   std::uint64_t* dst, std::uint32_t dstStride, const std::uint64_t* src,
                   std::uint32_t srcStride) {
  const std::uint64_t w = difference & kCodeWordMask;
  if (w == 0) {
    for (std::size_t i = 0; i < d; ++i) dst[i * dstStride] = src[i * srcStride];
    return;
  }
  const std::size_t k = std::countr_zero(w);
  xorRows(dst, src, V + k * d, d, dstStride, srcStride);
  applyCode(V, d, w & (w - 1), dst, dstStride);
}

void pointAtIndex(std::uint64_t index, std::uint32_t d, const std::uint64_t* V, bool gray,
                  std::uint64_t* point) {
  applyCode(V, d, wordOf(index, gray), point, 1);
}

void leapRun(std::uint64_t start, std::uint64_t step, std::uint32_t n, std::uint32_t d,
             const std::uint64_t* V, bool gray, std::uint64_t* out, std::uint64_t previousWord) {
  if (n < 2) return;
  if (step == 1 && previousWord == wordOf(start - 1, gray) && n >= kChunk) {
    if (gray) return consecutiveRun<true>(start - 1, n, d, V, out - 1);
    return consecutiveRun<false>(start - 1, n, d, V, out - 1);
  }
  // Row i differs from row 0 by the point of c(x_i) XOR the previous word: the point is linear
  // in the word, so every row comes straight from row 0.
  runFromRowZero(n, d, V, out - 1, [&](std::size_t i) {
    return i == 0 ? 0 : wordOf(start + (i - 1) * step, gray) ^ previousWord;
  });
}

void sequenceLeap(std::uint64_t first, std::uint64_t leap, std::uint32_t n, std::uint32_t d,
                  const std::uint64_t* V, bool gray, std::uint64_t* out) {
  if (n == 0) return;
  const std::uint64_t step = leap + 1;
  zeroRow(n, d, out);
  applyCode(V, d, wordOf(first, gray), out, n);
  leapRun(first + step, step, n, d, V, gray, out + 1, wordOf(first, gray));
}

void sequenceLeapFromLast(std::uint64_t first, std::uint64_t leap, std::uint32_t n, std::uint32_t d,
                          const std::uint64_t* V, bool gray, std::uint64_t* out,
                          const std::uint64_t* last) {
  if (n == 0) return;
  const std::uint64_t step = leap + 1;
  applyCodeFrom(V, d, wordOf(first, gray) ^ wordOf(first - step, gray), out, n, last, 1);
  leapRun(first + step, step, n, d, V, gray, out + 1, wordOf(first, gray));
}

void grayRun(std::uint64_t start, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
             std::uint64_t* out) {
  if (n < 2) return;
  if (n >= kChunk) return consecutiveRun<true>(start - 1, n, d, V, out - 1);
  const std::uint64_t previousWord = grayCode(start - 1);
  runFromRowZero(n, d, V, out - 1,
                 [&](std::size_t i) { return grayCode(start - 1 + i) ^ previousWord; });
}

void graySequence(std::uint64_t first, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                  std::uint64_t* out) {
  if (n == 0) return;
  zeroRow(n, d, out);
  applyCode(V, d, grayCode(first), out, n);
  grayRun(first + 1, n, d, V, out + 1);
}

void graySequenceFromLast(std::uint64_t first, std::uint32_t n, std::uint32_t d,
                          const std::uint64_t* V, std::uint64_t* out, const std::uint64_t* last) {
  if (n == 0) return;
  if (const std::uint64_t* column = grayStepColumn(V, d, first - 1)) {
    xorRows(out, last, column, d, n, 1);
  } else {
    applyCodeFrom(V, d, 0, out, n, last, 1);
  }
  grayRun(first + 1, n, d, V, out + 1);
}

void indexedPoints(const double* indices, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                   bool gray, std::uint64_t* out, Isa isa) {
  pointsByBlocks(
      n, d, V, nullptr, out,
      [&](std::size_t first, std::size_t count, std::uint64_t* words) {
        detail::indexWords(indices + first, count, gray, words, isa);
      },
      isa);
}

// A net is the run from index 0, whose row 0 is the zero point. One that fits the caches is
// written by the net rule in place, column by column.
template <bool Gray>
void net(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  if (n == 0) return;
  zeroRow(n, d, out);
  if (n > kChunk && largeOutput(std::size_t{n} * d)) return consecutiveRun<Gray>(0, n, d, V, out);
  for (std::uint32_t j = 0; j < d; ++j) netHead<Gray>(V + j, d, out + std::size_t{j} * n, n);
}

void netNatural(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  net<false>(n, d, V, out);
}

void netGray(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  net<true>(n, d, V, out);
}

void xorColumns(std::uint64_t* X, const std::uint64_t* s, std::uint32_t m, std::uint32_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t* column = X + i * m;
    const std::uint64_t word = s[i];
    for (std::size_t j = 0; j < m; ++j) column[j] ^= word;
  }
}

}  // namespace sobolbits

#include "sobolbits.h"

#include <algorithm>
#include <bit>

#include "column_walk.h"

namespace sobolbits {
namespace {

using detail::walkRows;

std::uint64_t wordOf(std::uint64_t index, bool gray) { return gray ? grayCode(index) : index; }

// Column t of V, or none when t is 53 or more: the Gray step of an index whose lowest zero bit
// is above bit 52 changes no bit that takes part.
const std::uint64_t* grayStepColumn(const std::uint64_t* V, std::uint32_t d, std::uint64_t index) {
  const int t = std::countr_one(index);
  return t < static_cast<int>(kDirectionColumns) ? V + static_cast<std::size_t>(t) * d : nullptr;
}

// Code-word differences of a Gray-code run whose previous row has index `index`.
struct GraySteps {
  std::uint64_t index;
  std::uint64_t operator()() {
    const int t = std::countr_one(index++);
    return t < static_cast<int>(kDirectionColumns) ? std::uint64_t{1} << t : 0;
  }
};

// dst[r] = value ^ src[r]; the two ranges never overlap.
void xorBroadcast(std::uint64_t* __restrict dst, const std::uint64_t* __restrict src,
                  std::uint64_t value, std::size_t count) {
  for (std::size_t r = 0; r < count; ++r) dst[r] = value ^ src[r];
}

// Rows of a net: row i is row i - 2^b (natural) or row 2^(b+1) - 1 - i (Gray) XOR v_b, b the
// top bit of i. Column by column, the first kChunk rows follow that rule; every later row
// h + r (h a multiple of kChunk, r below it) is row h XOR row r, since the code-words of h and
// r share no bit, in Gray-code order too: G(h + r) = G(h) ^ G(r). The head of the column stays
// in L1 while the rest streams out.
template <bool Gray>
void netColumns(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  constexpr std::size_t kChunk = 512;
  const std::size_t head = std::min<std::size_t>(n, kChunk);
  auto source = [](std::size_t i, std::size_t low) { return Gray ? 2 * low - 1 - i : i - low; };
  for (std::uint32_t j = 0; j < d; ++j) {
    std::uint64_t* column = out + std::size_t{j} * n;
    const std::uint64_t* v = V + j;  // v_b of this dimension is v[b * d]
    for (std::size_t b = 0, low = 1; low < head; ++b, low *= 2) {
      const std::size_t high = std::min(2 * low, head);
      for (std::size_t i = low; i < high; ++i) column[i] = column[source(i, low)] ^ v[b * d];
    }
    for (std::size_t h = kChunk; h < n; h += kChunk) {
      const std::size_t b = std::bit_width(h) - 1;
      const std::uint64_t rowH = column[source(h, std::size_t{1} << b)] ^ v[b * d];
      xorBroadcast(column + h, column, rowH, std::min<std::size_t>(kChunk, n - h));
    }
  }
}

}  // namespace

std::uint64_t truncateToWord(double value) {
  constexpr double kTwoTo64 = 18446744073709551616.0;
  if (!(value > -1.0)) return 0;  // NaN and negatives
  if (value >= kTwoTo64) return ~std::uint64_t{0};
  return value < 1.0 ? 0 : static_cast<std::uint64_t>(value);
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
  walkRows(V, d, out - 1, n, 1, n, [x = start, step, gray, previous = previousWord]() mutable {
    const std::uint64_t word = wordOf(x, gray);
    const std::uint64_t difference = word ^ previous;
    previous = word;
    x += step;
    return difference;
  });
}

void sequenceLeap(std::uint64_t first, std::uint64_t leap, std::uint32_t n, std::uint32_t d,
                  const std::uint64_t* V, bool gray, std::uint64_t* out) {
  if (n == 0) return;
  const std::uint64_t step = leap + 1;
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
  walkRows(V, d, out - 1, n, 1, n, GraySteps{start - 1});
}

void graySequence(std::uint64_t first, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                  std::uint64_t* out) {
  if (n == 0) return;
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
                   bool gray, std::uint64_t* out) {
  detail::indexedPointsBy([indices](std::size_t i) { return indices[i]; }, n, d, V, gray, out);
}

void netNatural(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  netColumns<false>(n, d, V, out);
}

void netGray(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out) {
  netColumns<true>(n, d, V, out);
}

void xorColumns(std::uint64_t* X, const std::uint64_t* s, std::uint32_t m, std::uint32_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t* column = X + i * m;
    const std::uint64_t word = s[i];
    for (std::size_t j = 0; j < m; ++j) column[j] ^= word;
  }
}

}  // namespace sobolbits

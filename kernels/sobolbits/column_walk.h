// Runs of points written column by column. A point matrix is column-major, so a run is walked
// over blocks of up to eight dimensions at a time: each step XORs whole cache lines of V into
// running codes and the stores stream down a few columns, instead of touching d columns per
// row.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "sobolbits.h"

namespace sobolbits::detail {

inline constexpr std::uint32_t kBlock = 8;

// Rows [from, to) of dimensions j0 .. j0+W-1; row `from` starts from row from-1, or from the
// zero point when from is 0. nextDifference() gives the code-word difference to the next row.
template <std::uint32_t W, class Differences>
void walkBlock(const std::uint64_t* V, std::uint32_t d, std::uint32_t j0, std::uint64_t* out,
               std::size_t rows, std::size_t from, std::size_t to, Differences nextDifference) {
  std::uint64_t* column[W];
  std::uint64_t code[W];
  for (std::uint32_t c = 0; c < W; ++c) {
    column[c] = out + (std::size_t{j0} + c) * rows;
    code[c] = from == 0 ? 0 : column[c][from - 1];
  }
  for (std::size_t i = from; i < to; ++i) {
    for (std::uint64_t w = nextDifference() & kCodeWordMask; w != 0; w &= w - 1) {
      const std::uint64_t* v = V + static_cast<std::size_t>(std::countr_zero(w)) * d + j0;
      for (std::uint32_t c = 0; c < W; ++c) code[c] ^= v[c];
    }
    for (std::uint32_t c = 0; c < W; ++c) column[c][i] = code[c];
  }
}

// Every dimension; each block replays the differences from a fresh copy of the generator.
template <class Differences>
void walkRows(const std::uint64_t* V, std::uint32_t d, std::uint64_t* out, std::size_t rows,
              std::size_t from, std::size_t to, const Differences& nextDifference) {
  if (from >= to) return;
  std::uint32_t j = 0;
  for (; d - j >= kBlock; j += kBlock)
    walkBlock<kBlock>(V, d, j, out, rows, from, to, nextDifference);
  for (; j < d; ++j) walkBlock<1>(V, d, j, out, rows, from, to, nextDifference);
}

// Points at listed indices; indexAt(i) reads index i as a double.
template <class IndexAt>
void indexedPointsBy(IndexAt indexAt, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                     bool gray, std::uint64_t* out) {
  walkRows(V, d, out, n, 0, n,
           [indexAt, gray, i = std::size_t{0}, previous = std::uint64_t{0}]() mutable {
             const std::uint64_t index = truncateToWord(indexAt(i++));
             const std::uint64_t word = gray ? grayCode(index) : index;
             const std::uint64_t difference = word ^ previous;
             previous = word;
             return difference;
           });
}

}  // namespace sobolbits::detail

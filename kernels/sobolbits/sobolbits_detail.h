// Shared by the bit routines and the kernels that hand them listed indices: how large outputs
// are written, and runs of points built block by block from their code-words.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "sobolbits.h"

namespace sobolbits::detail {

// Outputs of this size and more go out with streaming stores: they would only evict the cache,
// and such stores need not read the lines they fill.
inline constexpr std::size_t kStreamBytes = std::size_t{4} << 20;

inline bool largeOutput(std::size_t elements) {
  return elements >= kStreamBytes / sizeof(std::uint64_t);
}

inline bool onLine(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 64 == 0; }

// Elements until p reaches a 64-byte line (p 8-byte aligned), at most count.
inline std::size_t elementsToLine(const void* p, std::size_t count) {
  const std::size_t bytes = (64 - reinterpret_cast<std::uintptr_t>(p) % 64) % 64;
  return bytes / 8 < count ? bytes / 8 : count;
}

// words[r] = the code-word of the index indices[r] (truncated as truncateToWord does; Gray-code
// order with the flag).
void indexWords(const double* indices, std::size_t count, bool gray, std::uint64_t* words, Isa isa);

inline constexpr std::size_t kWordBlock = 512;

// Rows 0..n-1 of an n x d point matrix, a block of rows at a time: fill(first, count, words)
// writes the code-words of rows first..first+count-1, and each row becomes base (a point at
// stride n, or zero when null) XOR the point of its word.
template <class FillWords>
void pointsByBlocks(std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                    const std::uint64_t* base, std::uint64_t* out, FillWords fill,
                    Isa isa = hostIsa()) {
  alignas(64) std::uint64_t words[kWordBlock];
  for (std::size_t first = 0; first < n; first += kWordBlock) {
    const std::size_t count = std::min<std::size_t>(kWordBlock, n - first);
    fill(first, count, words);
    pointsOfWords(words, count, d, V, base, n, out + first, n, isa);
  }
}

// Points at listed indices; indexAt(i) reads index i as a double.
template <class IndexAt>
void indexedPointsBy(IndexAt indexAt, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                     bool gray, std::uint64_t* out) {
  pointsByBlocks(n, d, V, nullptr, out,
                 [&](std::size_t first, std::size_t count, std::uint64_t* words) {
                   for (std::size_t r = 0; r < count; ++r) {
                     const std::uint64_t index = truncateToWord(indexAt(first + r));
                     words[r] = gray ? grayCode(index) : index;
                   }
                 });
}

}  // namespace sobolbits::detail

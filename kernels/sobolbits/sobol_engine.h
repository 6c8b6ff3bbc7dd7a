// Points of a Sobol sequence for a sampling engine: up to 64 direction bits, a linear matrix
// scramble with a digital shift or a nested (Owen) scramble, from any index on, in Gray-code
// order.
//
// A dimension's sequence has 64 direction words left-justified in 64 bits: word c holds the
// direction number m_c times 2^(63 - c), so that a sequence of B bits uses words 0..B-1 and its
// codes sit in the top B bits. Digits are counted from the top: digit p is bit 63 - p.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sobolbits.h"

namespace sobolbits {

inline constexpr std::uint32_t kEngineWords = 64;

// Left linear matrix scramble of d dimensions (words: d x 64, one dimension after another). Row
// p of a dimension's lower-triangular matrix L is a mask of digits (bit 63 - q for L[p][q]);
// rows holds `bits` rows per dimension. Word c below `bits` becomes L v_c: digit p the parity of
// row p with v_c. Words from `bits` on become zero, as a sequence of that many bits has none.
void scrambleLinear(std::uint64_t* words, std::size_t d, const std::uint64_t* rows,
                    std::uint32_t bits);

// Nested scramble of a code: each digit is flipped by a function of the seed and the digits
// before it, so the scramble maps every elementary interval onto one of the same size.
std::uint64_t owenScramble(std::uint64_t code, std::uint64_t seed);

// How the codes of each dimension become coordinates: XOR shift[j] and convert (times 2^-64,
// rounded to nearest as one conversion), or, with owenSeeds, owenScramble with owenSeeds[j]
// (no shift) and keep the top 52 digits, so that every coordinate is below 1.
struct EngineScramble {
  const std::uint64_t* shift = nullptr;      // d words, or none for no shift
  const std::uint64_t* owenSeeds = nullptr;  // d words, or none for no nested scramble
};

// Points first..first+n-1 of d dimensions into out (n x d doubles, column-major). The caller
// keeps first + n - 1 within the sequence's bits.
void enginePoints(const std::uint64_t* words, std::size_t d, EngineScramble scramble,
                  std::uint64_t first, std::size_t n, double* out, Isa isa = hostIsa());

}  // namespace sobolbits

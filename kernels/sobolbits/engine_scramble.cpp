// The left linear matrix scramble of engine direction words.
#include <bit>

#include "sobol_engine.h"

namespace sobolbits {

void scrambleLinear(std::uint64_t* words, std::size_t d, const std::uint64_t* rows,
                    std::uint32_t bits) {
  for (std::size_t j = 0; j < d; ++j) {
    std::uint64_t* v = words + j * kEngineWords;
    const std::uint64_t* L = rows + j * bits;
    for (std::uint32_t c = 0; c < kEngineWords; ++c) {
      std::uint64_t scrambled = 0;
      for (std::uint32_t p = 0; c < bits && p < bits; ++p) {
        scrambled |= static_cast<std::uint64_t>(std::popcount(L[p] & v[c]) & 1) << (63 - p);
      }
      v[c] = scrambled;
    }
  }
}

}  // namespace sobolbits

// Points of listed code-words by table lookup. The point of a word w is the XOR of the columns
// of V named by its set bits; grouping the bits, it is the XOR of one table entry per group,
// where the table of a group holds the XOR of every subset of that group's columns. Bits that
// no word of the block changes are folded into the base once per dimension.
#include <array>
#include <bit>
#include <utility>

#include "sobolbits.h"
#include "sobolbits_detail.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sobolbits {
namespace {

// Column k of V for dimension j; columns from 53 up are zero, so that tables whose group
// reaches past bit 52 need no mask on the words.
std::uint64_t columnAt(const std::uint64_t* V, std::uint32_t d, std::uint32_t j, std::uint32_t k) {
  return k < kDirectionColumns ? V[std::size_t{k} * d + j] : 0;
}

// The lookups cover bits below `cover` (a whole number of groups of `groupBits`); every word
// of the block has the bits `high` above it.
struct Spread {
  std::uint32_t groups;
  std::uint64_t high;
};

Spread spreadOf(const std::uint64_t* words, std::size_t count, std::uint32_t groupBits) {
  std::uint64_t any = 0, all = kCodeWordMask;
  for (std::size_t r = 0; r < count; ++r) {
    any |= words[r] & kCodeWordMask;
    all &= words[r];
  }
  const auto groups =
      static_cast<std::uint32_t>((std::bit_width(any ^ all) + groupBits - 1) / groupBits);
  const std::uint32_t cover = groups * groupBits;
  const std::uint64_t high = cover >= 64 ? 0 : all & ~((std::uint64_t{1} << cover) - 1);
  return {groups, high};
}

// The base of dimension j for the block: the given base XOR the point of the common high bits.
std::uint64_t baseOf(const std::uint64_t* V, std::uint32_t d, std::uint32_t j,
                     const std::uint64_t* base, std::size_t baseStride, std::uint64_t high) {
  std::uint64_t code = base ? base[j * baseStride] : 0;
  for (std::uint64_t w = high; w != 0; w &= w - 1) {
    code ^= V[static_cast<std::size_t>(std::countr_zero(w)) * d + j];
  }
  return code;
}

template <std::uint32_t Bits>
void scalarRows(const std::uint64_t* words, std::size_t count, std::uint32_t d,
                const std::uint64_t* V, const std::uint64_t* base, std::size_t baseStride,
                std::uint64_t* out, std::size_t rows) {
  constexpr std::uint32_t kEntries = 1u << Bits;
  constexpr std::uint32_t kMaxGroups = (kDirectionColumns + Bits - 1) / Bits;
  const Spread spread = spreadOf(words, count, Bits);
  std::array<std::array<std::uint64_t, kEntries>, kMaxGroups> tables;
  for (std::uint32_t j = 0; j < d; ++j) {
    const std::uint64_t b = baseOf(V, d, j, base, baseStride, spread.high);
    for (std::uint32_t g = 0; g < spread.groups; ++g) {
      auto& table = tables[g];
      table[0] = 0;
      for (std::uint32_t e = 1; e < kEntries; ++e) {
        table[e] = table[e & (e - 1)] ^ columnAt(V, d, j, g * Bits + std::countr_zero(e));
      }
    }
    std::uint64_t* column = out + j * rows;
    for (std::size_t r = 0; r < count; ++r) {
      std::uint64_t code = b;
      for (std::uint32_t g = 0; g < spread.groups; ++g) {
        code ^= tables[g][(words[r] >> (g * Bits)) & (kEntries - 1)];
      }
      column[r] = code;
    }
  }
}

#if defined(__x86_64__)
#define SOBOLBITS_AVX512 __attribute__((target("avx512f,avx512dq")))

constexpr std::uint32_t kNibbleGroups = (kDirectionColumns + 3) / 4;

// A 16-entry table in two registers: entries 0-7 and 8-15. vpermt2q picks by the low 4 bits of
// each index lane, which are exactly the group's bits of the shifted word.
struct NibbleTable {
  __m512i low, high;
};

// The codes of eight words; the base is folded into group 0's table.
template <std::uint32_t Groups>
SOBOLBITS_AVX512 inline __m512i codesOf(__m512i w, const NibbleTable* t, __m512i base) {
  if constexpr (Groups == 0) {
    return base;
  } else {
    __m512i code = _mm512_permutex2var_epi64(t[0].low, w, t[0].high);
#pragma GCC unroll 16
    for (std::uint32_t g = 1; g < Groups; ++g) {
      const __m512i index = _mm512_maskz_srli_epi64(0xff, w, 4 * g);
      code = _mm512_xor_si512(code, _mm512_permutex2var_epi64(t[g].low, index, t[g].high));
    }
    return code;
  }
}

// One column of the block with `Groups` lookups per word.
template <std::uint32_t Groups>
SOBOLBITS_AVX512 void lookupColumn(const std::uint64_t* words, std::size_t count,
                                   const NibbleTable* given, std::uint64_t base,
                                   std::uint64_t* column, bool stream) {
  // Copied so that the tables live in registers through the loop.
  NibbleTable t[Groups > 0 ? Groups : 1];
#pragma GCC unroll 16
  for (std::uint32_t g = 0; g < Groups; ++g) t[g] = given[g];
  const __m512i b = _mm512_set1_epi64(static_cast<long long>(base));
  std::size_t r = 0;
  if (stream && detail::onLine(column)) {
    for (; r + 8 <= count; r += 8) {
      const __m512i w = _mm512_loadu_si512(words + r);
      _mm512_stream_si512(reinterpret_cast<__m512i*>(column + r), codesOf<Groups>(w, t, b));
    }
  } else {
    for (; r + 8 <= count; r += 8) {
      _mm512_storeu_si512(column + r, codesOf<Groups>(_mm512_loadu_si512(words + r), t, b));
    }
  }
  if (r < count) {
    const auto lanes = static_cast<__mmask8>((1u << (count - r)) - 1);
    const __m512i w = _mm512_maskz_loadu_epi64(lanes, words + r);
    _mm512_mask_storeu_epi64(column + r, lanes, codesOf<Groups>(w, t, b));
  }
}

using LookupColumn = void (*)(const std::uint64_t*, std::size_t, const NibbleTable*, std::uint64_t,
                              std::uint64_t*, bool);

template <std::size_t... G>
constexpr std::array<LookupColumn, sizeof...(G)> lookupsFor(std::index_sequence<G...>) {
  return {&lookupColumn<G>...};
}
constexpr auto kLookups = lookupsFor(std::make_index_sequence<kNibbleGroups + 1>());

SOBOLBITS_AVX512 NibbleTable nibbleTable(const std::uint64_t* V, std::uint32_t d, std::uint32_t j,
                                         std::uint32_t group, std::uint64_t base) {
  __m512i column[4];
  for (std::uint32_t t = 0; t < 4; ++t) {
    column[t] = _mm512_set1_epi64(static_cast<long long>(columnAt(V, d, j, 4 * group + t)));
  }
  // Lane e of the low half holds the columns of bits 0-2 of e; the high half adds bit 3's.
  __m512i low = _mm512_set1_epi64(static_cast<long long>(base));
  low = _mm512_mask_xor_epi64(low, 0xaa, low, column[0]);
  low = _mm512_mask_xor_epi64(low, 0xcc, low, column[1]);
  low = _mm512_mask_xor_epi64(low, 0xf0, low, column[2]);
  return {low, _mm512_xor_si512(low, column[3])};
}

SOBOLBITS_AVX512 void avx512Rows(const std::uint64_t* words, std::size_t count, std::uint32_t d,
                                 const std::uint64_t* V, const std::uint64_t* base,
                                 std::size_t baseStride, std::uint64_t* out, std::size_t rows) {
  const Spread spread = spreadOf(words, count, 4);
  const bool stream = detail::largeOutput(rows * d);
  const LookupColumn lookup = kLookups[spread.groups];
  NibbleTable tables[kNibbleGroups];
  for (std::uint32_t j = 0; j < d; ++j) {
    const std::uint64_t b = baseOf(V, d, j, base, baseStride, spread.high);
    for (std::uint32_t g = 0; g < spread.groups; ++g) {
      tables[g] = nibbleTable(V, d, j, g, g == 0 ? b : 0);
    }
    lookup(words, count, tables, b, out + j * rows, stream);
  }
  if (stream) _mm_sfence();
}
#endif

}  // namespace

Isa hostIsa() {
#if defined(__x86_64__)
  static const Isa isa = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")
                             ? Isa::kAvx512
                         : __builtin_cpu_supports("avx2") ? Isa::kAvx2
                                                          : Isa::kScalar;
  return isa;
#else
  return Isa::kScalar;
#endif
}

void pointsOfWords(const std::uint64_t* words, std::size_t count, std::uint32_t d,
                   const std::uint64_t* V, const std::uint64_t* base, std::size_t baseStride,
                   std::uint64_t* out, std::size_t rows, Isa isa) {
  if (count == 0) return;
#if defined(__x86_64__)
  if (isa == Isa::kAvx512) return avx512Rows(words, count, d, V, base, baseStride, out, rows);
#endif
  (void)isa;
  // 8-bit tables cost 256 entries each to build: worth it over enough rows.
  if (count >= 256) return scalarRows<8>(words, count, d, V, base, baseStride, out, rows);
  scalarRows<4>(words, count, d, V, base, baseStride, out, rows);
}

}  // namespace sobolbits

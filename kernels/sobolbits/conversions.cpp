// Element-wise passes over whole arrays: codes to coordinates, column XOR into a new array,
// indices to code-words. Vector paths give the scalar results bit for bit.
#include <cmath>

#include "sobolbits.h"
#include "sobolbits_detail.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define SOBOLBITS_AVX2 __attribute__((target("avx2")))
#define SOBOLBITS_AVX512 __attribute__((target("avx512f,avx512dq")))
#endif

namespace sobolbits {
namespace {

using detail::elementsToLine;
using detail::largeOutput;

constexpr std::uint64_t kLow63 = ~(std::uint64_t{1} << 63);

// The low 63 bits as a signed integer, then 2^63 for the top bit: the two roundings are part
// of the result for codes from 2^63 up.
double coordinate(std::uint64_t code) {
  double value = static_cast<double>(static_cast<std::int64_t>(code & kLow63));
  if (code >> 63) value += 0x1p63;
  return value * 0x1p-53;
}

void scalarCoordinates(const std::uint64_t* codes, double* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out[i] = coordinate(codes[i]);
}

#if defined(__x86_64__)
// AVX-512 DQ converts 64-bit integers directly, rounding to nearest as the scalar conversion.
SOBOLBITS_AVX512 inline __m512d coordinates8(__m512i code) {
  const __m512i low = _mm512_and_si512(code, _mm512_set1_epi64(static_cast<long long>(kLow63)));
  __m512d value = _mm512_cvtepi64_pd(low);
  value = _mm512_mask_add_pd(value, _mm512_movepi64_mask(code), value, _mm512_set1_pd(0x1p63));
  return _mm512_mul_pd(value, _mm512_set1_pd(0x1p-53));
}

SOBOLBITS_AVX512 void avx512Coordinates(const std::uint64_t* codes, double* out,
                                        std::size_t count) {
  const bool stream = largeOutput(count);
  std::size_t i = elementsToLine(out, count);
  scalarCoordinates(codes, out, i);
  for (; i + 8 <= count; i += 8) {
    const __m512d value = coordinates8(_mm512_loadu_si512(codes + i));
    if (stream) {
      _mm512_stream_pd(out + i, value);
    } else {
      _mm512_store_pd(out + i, value);
    }
  }
  if (i < count) {
    const auto lanes = static_cast<__mmask8>((1u << (count - i)) - 1);
    _mm512_mask_storeu_pd(out + i, lanes, coordinates8(_mm512_maskz_loadu_epi64(lanes, codes + i)));
  }
  if (stream) _mm_sfence();
}

// AVX2 has no 64-bit integer conversion. The low 63 bits split as hi * 2^32 + lo; both halves
// become exact doubles by placing them in the mantissas of 2^84 and 2^52, and one addition
// rounds their sum once, to nearest, as the direct conversion does.
SOBOLBITS_AVX2 inline __m256d coordinates4(__m256i code) {
  const __m256i low63 = _mm256_and_si256(code, _mm256_set1_epi64x(static_cast<long long>(kLow63)));
  const __m256i hiBits = _mm256_or_si256(_mm256_srli_epi64(low63, 32),
                                         _mm256_set1_epi64x(0x4530000000000000));  // 2^84
  const __m256i loBits = _mm256_blend_epi32(low63, _mm256_set1_epi64x(0x4330000000000000),
                                            0xaa);  // 2^52
  const __m256d hi = _mm256_sub_pd(_mm256_castsi256_pd(hiBits), _mm256_set1_pd(0x1p84 + 0x1p52));
  __m256d value = _mm256_add_pd(hi, _mm256_castsi256_pd(loBits));
  const __m256i top = _mm256_cmpgt_epi64(_mm256_setzero_si256(), code);
  value = _mm256_add_pd(value, _mm256_and_pd(_mm256_castsi256_pd(top), _mm256_set1_pd(0x1p63)));
  return _mm256_mul_pd(value, _mm256_set1_pd(0x1p-53));
}

SOBOLBITS_AVX2 void avx2Coordinates(const std::uint64_t* codes, double* out, std::size_t count) {
  const bool stream = largeOutput(count);
  std::size_t i = elementsToLine(out, count);
  scalarCoordinates(codes, out, i);
  for (; i + 4 <= count; i += 4) {
    const __m256d value =
        coordinates4(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(codes + i)));
    if (stream) {
      _mm256_stream_pd(out + i, value);
    } else {
      _mm256_store_pd(out + i, value);
    }
  }
  scalarCoordinates(codes + i, out + i, count - i);
  if (stream) _mm_sfence();
}

// One column of dst = src ^ word: the head up to a line, whole lines streamed, the tail.
SOBOLBITS_AVX512 void avx512XorColumn(std::uint64_t* dst, const std::uint64_t* src, std::size_t m,
                                      std::uint64_t word) {
  std::size_t j = elementsToLine(dst, m);
  for (std::size_t k = 0; k < j; ++k) dst[k] = src[k] ^ word;
  const __m512i w = _mm512_set1_epi64(static_cast<long long>(word));
  for (; j + 8 <= m; j += 8) {
    _mm512_stream_si512(reinterpret_cast<__m512i*>(dst + j),
                        _mm512_xor_si512(_mm512_loadu_si512(src + j), w));
  }
  for (; j < m; ++j) dst[j] = src[j] ^ word;
}

SOBOLBITS_AVX2 void avx2XorColumn(std::uint64_t* dst, const std::uint64_t* src, std::size_t m,
                                  std::uint64_t word) {
  std::size_t j = elementsToLine(dst, m);
  for (std::size_t k = 0; k < j; ++k) dst[k] = src[k] ^ word;
  const __m256i w = _mm256_set1_epi64x(static_cast<long long>(word));
  for (; j + 4 <= m; j += 4) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + j));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + j), _mm256_xor_si256(x, w));
  }
  for (; j < m; ++j) dst[j] = src[j] ^ word;
}

// Indices to code-words eight at a time. Non-negative values convert unsigned (from 2^64 up to
// all ones), negative ones signed (from -2^63 down to 2^63, the signed overflow value); NaN
// gives 0. That is truncateToWord, lane by lane.
SOBOLBITS_AVX512 inline __m512i indexWords8(__m512d x, bool gray) {
  const __mmask8 negative = _mm512_cmp_pd_mask(x, _mm512_setzero_pd(), _CMP_LT_OQ);
  const __mmask8 number = _mm512_cmp_pd_mask(x, x, _CMP_ORD_Q);
  __m512i w = _mm512_mask_mov_epi64(_mm512_cvttpd_epu64(x), negative, _mm512_cvttpd_epi64(x));
  w = _mm512_maskz_mov_epi64(number, w);
  return gray ? _mm512_xor_si512(w, _mm512_maskz_srli_epi64(0xff, w, 1)) : w;
}

SOBOLBITS_AVX512 void avx512IndexWords(const double* indices, std::size_t count, bool gray,
                                       std::uint64_t* words) {
  std::size_t r = 0;
  for (; r + 8 <= count; r += 8) {
    _mm512_storeu_si512(words + r, indexWords8(_mm512_loadu_pd(indices + r), gray));
  }
  if (r < count) {
    const auto lanes = static_cast<__mmask8>((1u << (count - r)) - 1);
    const __m512d x = _mm512_maskz_loadu_pd(lanes, indices + r);
    _mm512_mask_storeu_epi64(words + r, lanes, indexWords8(x, gray));
  }
}
#endif

}  // namespace

void codesToCoordinates(const std::uint64_t* codes, double* out, std::size_t count, Isa isa) {
#if defined(__x86_64__)
  if (isa == Isa::kAvx512) return avx512Coordinates(codes, out, count);
  if (isa == Isa::kAvx2) return avx2Coordinates(codes, out, count);
#endif
  (void)isa;
  scalarCoordinates(codes, out, count);
}

void xorColumnsInto(std::uint64_t* dst, const std::uint64_t* src, const std::uint64_t* s,
                    std::size_t m, std::size_t n, Isa isa) {
  const bool stream = largeOutput(m * n) && isa != Isa::kScalar;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t* column = dst + i * m;
    const std::uint64_t* from = src + i * m;
#if defined(__x86_64__)
    if (stream) {
      if (isa == Isa::kAvx512) {
        avx512XorColumn(column, from, m, s[i]);
      } else {
        avx2XorColumn(column, from, m, s[i]);
      }
      continue;
    }
#endif
    for (std::size_t j = 0; j < m; ++j) column[j] = from[j] ^ s[i];
  }
#if defined(__x86_64__)
  if (stream) _mm_sfence();
#endif
}

namespace detail {

void indexWords(const double* indices, std::size_t count, bool gray, std::uint64_t* words,
                Isa isa) {
#if defined(__x86_64__)
  if (isa == Isa::kAvx512) return avx512IndexWords(indices, count, gray, words);
#endif
  (void)isa;
  for (std::size_t r = 0; r < count; ++r) {
    const std::uint64_t index = truncateToWord(indices[r]);
    words[r] = gray ? grayCode(index) : index;
  }
}

}  // namespace detail
}  // namespace sobolbits

// Bit routines shared by every kernel: direction-number bits, Sobol points from a direction
// matrix, runs, nets and column XOR.
//
// V is a d x 53 direction matrix (column-major, column k holds v_k of every dimension). A point
// matrix is n x d, column-major; a point inside it has its codes at stride n. Only bits 0..52 of a
// code-word take part: a bit from 53 up selects no column.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sobolbits {

inline constexpr std::uint32_t kDirectionColumns = 53;
inline constexpr std::uint64_t kCodeWordMask = (std::uint64_t{1} << kDirectionColumns) - 1;

// Instruction sets the routines choose between; results never depend on the choice.
enum class Isa { kScalar, kAvx2, kAvx512 };
// The widest this processor runs (AVX-512 means its F and DQ parts).
Isa hostIsa();

// Truncates toward zero to a 64-bit integer; negatives wrap as two's complement words.
// Doubles without such a value answer safely: NaN gives 0, values from 2^64 up 2^64 - 1,
// values from -2^63 down 2^63.
std::uint64_t truncateToWord(double value);

// A point count: its low 32 bits, and 0 for a count below 1.
std::uint32_t truncateToCount(double value);

// Writes bit 0, 1, ... of value into table as 0/1 until no set bit is left or length entries
// are written, zero-fills the rest; returns the entries written (the bit length, capped).
std::uint32_t bitsOfCode(std::uint64_t value, std::uint8_t* table, std::uint32_t length);

std::uint64_t grayCode(std::uint64_t value);

// dst[i * dstStride] = a[i * aStride] ^ b[i] for i below count.
void xorRows(std::uint64_t* dst, const std::uint64_t* a, const std::uint64_t* b,
             std::uint32_t count, std::uint32_t dstStride, std::uint32_t aStride);

// XORs column k of V into the point for each set bit k of codeWord below 53.
void applyCode(const std::uint64_t* V, std::uint32_t d, std::uint64_t codeWord,
               std::uint64_t* point, std::uint32_t pointStride);

// dst = src XOR the columns of V named by the bits of difference below 53.
void applyCodeFrom(const std::uint64_t* V, std::uint32_t d, std::uint64_t difference,
                   std::uint64_t* dst, std::uint32_t dstStride, const std::uint64_t* src,
                   std::uint32_t srcStride);

// XORs the point of the index (Gray-code order with the flag) into a zero point at stride 1.
void pointAtIndex(std::uint64_t index, std::uint32_t d, const std::uint64_t* V, bool gray,
                  std::uint64_t* point);

// Run routines over an n x d point matrix. `out` is row 0, except for leapRun and grayRun,
// which get row 1 and fill rows 1..n-1 from row 0.
void leapRun(std::uint64_t start, std::uint64_t step, std::uint32_t n, std::uint32_t d,
             const std::uint64_t* V, bool gray, std::uint64_t* out, std::uint64_t previousWord);
void sequenceLeap(std::uint64_t first, std::uint64_t leap, std::uint32_t n, std::uint32_t d,
                  const std::uint64_t* V, bool gray, std::uint64_t* out);
void sequenceLeapFromLast(std::uint64_t first, std::uint64_t leap, std::uint32_t n, std::uint32_t d,
                          const std::uint64_t* V, bool gray, std::uint64_t* out,
                          const std::uint64_t* last);
void grayRun(std::uint64_t start, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
             std::uint64_t* out);
void graySequence(std::uint64_t first, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                  std::uint64_t* out);
void graySequenceFromLast(std::uint64_t first, std::uint32_t n, std::uint32_t d,
                          const std::uint64_t* V, std::uint64_t* out, const std::uint64_t* last);
void indexedPoints(const double* indices, std::uint32_t n, std::uint32_t d, const std::uint64_t* V,
                   bool gray, std::uint64_t* out, Isa isa = hostIsa());

// Points of listed code-words by table: row r of `out` (a block of `count` rows inside a matrix
// whose columns are `rows` apart) becomes base XOR the point of words[r], base being a point at
// stride baseStride (it may be row 0 of that same block) or the zero point when null. Each
// dimension looks up the bits that vary among the words in tables of its columns of V, 4 bits
// at a time (8 in the scalar path for longer blocks), instead of one XOR per set bit.
void pointsOfWords(const std::uint64_t* words, std::size_t count, std::uint32_t d,
                   const std::uint64_t* V, const std::uint64_t* base, std::size_t baseStride,
                   std::uint64_t* out, std::size_t rows, Isa isa = hostIsa());

// The first n points into an n x d matrix; row 0, the zero point, is written too.
void netNatural(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out);
void netGray(std::uint32_t n, std::uint32_t d, const std::uint64_t* V, std::uint64_t* out);

// X[i * m + j] ^= s[i] for every column i below n and row j below m.
void xorColumns(std::uint64_t* X, const std::uint64_t* s, std::uint32_t m, std::uint32_t n);
// The same from a source into a separate output in one pass: dst[i * m + j] = src[i * m + j] ^
// s[i].
void xorColumnsInto(std::uint64_t* dst, const std::uint64_t* src, const std::uint64_t* s,
                    std::size_t m, std::size_t n, Isa isa = hostIsa());

// Point codes to coordinates: out[i] = codes[i] times 2^-53, the code converted as its low 63
// bits (one rounding) plus 2^63 for the top bit (a second rounding), so exact below 2^53. out
// may be codes itself: each element is read before it is written.
void codesToCoordinates(const std::uint64_t* codes, double* out, std::size_t count,
                        Isa isa = hostIsa());

}  // namespace sobolbits

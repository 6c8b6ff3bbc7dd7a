// Gormik: direction numbers from polynomial codes and initial values.
// Inputs: cell array of initial values (one cell per dimension), polynomial codes.
// Output: 53 x d, column b the direction numbers of dimension b, left-justified in 53 bits.
#include <algorithm>

#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

namespace {

using namespace kernelinputs;
using namespace stats::sobolseq;
constexpr std::uint32_t kRows = sobolbits::kDirectionColumns;

// m holds c initial values and zeros below; extends them by the recurrence of a polynomial
// of degree s with coefficient table a, then left-justifies every value.
void directionNumbers(std::uint64_t* m, std::size_t c, const std::uint8_t* a, std::uint32_t s) {
  for (std::size_t k = c; k < kRows; ++k) {
    std::uint64_t value = m[k - s];
    for (std::uint32_t j = 1; j <= s; ++j) {
      if (a[j]) value ^= m[k - j] << j;
    }
    m[k] = value;
  }
  for (std::uint32_t i = 0; i < kRows; ++i) m[i] <<= kRows - 1 - i;
}

}  // namespace

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 2) raise<NumInputsGormik>();
  const qvArray_tag* initialValues = prhs[0];
  const qvArray_tag* codes = prhs[1];
  const std::size_t d = qvGetNumberOfElements(initialValues);
  if (qvGetNumberOfElements(codes) != d) raise<InputSizesGormik>();
  // Every column is written whole: the initial values, then the recurrence.
  plhs[0] = qvCreateUninitNumericMatrix(kRows, d, qvUINT64_CLASS, qvREAL);
  std::uint64_t* out = wordsOf(plhs[0]);
  // Anything but a cell array has no initial values: every dimension counts as unset.
  const bool isCell = qvGetClassID(initialValues) == qvCELL_CLASS;
  for (std::size_t b = 0; b < d; ++b) {
    const qvArray_tag* cell = isCell ? qvGetCell(initialValues, b) : nullptr;
    if (!cell) raise<InvalidInitialMValues>();
    std::uint8_t a[kRows];
    const std::uint32_t bits =
        sobolbits::bitsOfCode(sobolbits::truncateToWord(doubleAt(codes, b)), a, kRows);
    const std::size_t c = qvGetNumberOfElements(cell);
    // A code of 0 has no degree, more than 53 values do not fit the column, and fewer values
    // than the degree would make the recurrence read above row 0.
    if (bits == 0 || c > kRows || c < bits - 1) raise<InvalidInitialMValues>();
    std::uint64_t* m = out + b * kRows;
    for (std::size_t i = 0; i < c; ++i) m[i] = sobolbits::truncateToWord(doubleAt(cell, i));
    // The rows below start at zero: a code of degree 0 reads its own row.
    std::fill(m + c, m + kRows, std::uint64_t{0});
    directionNumbers(m, c, a, bits - 1);
  }
}

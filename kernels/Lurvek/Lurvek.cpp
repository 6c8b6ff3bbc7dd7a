// Lurvek: an n-row 0/1 matrix back to n words; word k packs column k, row 0 highest.
// Input: B (doubles, n rows, n columns read). Output: n x 1 words. Checks nothing and raises
// nothing.
#include <algorithm>

#include "kernel_inputs.h"

using namespace kernelinputs;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  // Without an input the result is 0 x 1.
  const qvArray_tag* B = nrhs >= 1 ? prhs[0] : nullptr;
  const std::size_t n = B ? rowsOf(B) : 0;
  plhs[0] = qvCreateNumericMatrix(n, 1, qvUINT64_CLASS, qvREAL);
  std::uint64_t* out = wordsOf(plhs[0]);
  // Columns B does not have read as zero; elements are read by their class.
  const std::size_t columns = n == 0 ? 0 : std::min(n, qvGetN(B));
  for (std::size_t k = 0; k < columns; ++k) {
    std::uint64_t word = 0;
    for (std::size_t r = 0; r < n; ++r) word = word << 1 | (doubleAt(B, k * n + r) != 0.0);
    out[k] = word;
  }
}

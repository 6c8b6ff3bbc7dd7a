// Pirrok: a copy of A with word s[i] XORed into every element of column i.
// Inputs: A (M x N words), s (N words, any shape). Output: same class and shape as A.
#include <algorithm>
#include <limits>

#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 2) raise<NumInputsPirrok>();
  const qvArray_tag* A = prhs[0];
  const qvArray_tag* s = prhs[1];
  const std::uint32_t m = rowsOf(A);
  const std::size_t n = qvGetN(A);
  // Classes are not checked, but both are read and written as 64-bit words: arrays of
  // narrower elements (logicals) or of handles (cells) do not have the size that needs.
  if (qvGetNumberOfElements(s) != n || !holdsWords(A) || !holdsWords(s)) {
    raise<InputSizesPirrok>();
  }
  plhs[0] = qvDuplicateArray(A);
  std::uint64_t* out = wordsOf(plhs[0]);
  const std::uint64_t* words = wordsOf(s);
  constexpr std::size_t kMaxColumns = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t i = 0; i < n; i += kMaxColumns) {
    const auto columns = static_cast<std::uint32_t>(std::min(kMaxColumns, n - i));
    sobolbits::xorColumns(out + i * m, words + i, m, columns);
  }
}

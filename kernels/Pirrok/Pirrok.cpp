// Pirrok: a copy of A with word s[i] XORed into every element of column i.
// Inputs: A (M x N words), s (N words, any shape). Output: same class and shape as A.
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
  // A XOR s in one pass into a new array of A's class and shape, instead of a copy then XOR.
  plhs[0] = qvCreateUninitNumericArray(A->get_number_of_dimensions(), A->get_dimensions(),
                                       qvGetClassID(A), qvREAL);
  sobolbits::xorColumnsInto(wordsOf(plhs[0]), wordsOf(A), wordsOf(s), m, n);
}

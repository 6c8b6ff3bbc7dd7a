// Zendal: n words to an n x n 0/1 matrix; column k holds word k, row r its bit n - 1 - r.
// Input: w (n words, any shape). Checks nothing and raises nothing.
#include "kernel_inputs.h"

using namespace kernelinputs;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  // Without an input there are no words: the result is 0 x 0.
  const qvArray_tag* w = nrhs >= 1 ? prhs[0] : nullptr;
  const std::size_t n = w ? qvGetNumberOfElements(w) : 0;
  plhs[0] = qvCreateDoubleMatrix(n, n, qvREAL);
  auto* out = static_cast<double*>(qvGetData(plhs[0]));
  for (std::size_t k = n; k-- > 0;) {
    const std::uint64_t word = wordAt(w, k);  // logicals by value, cells as 0
    double* column = out + k * n;
    for (std::size_t b = 0; b < n && b < 64; ++b) column[n - 1 - b] = (word >> b) & 1;
  }
}

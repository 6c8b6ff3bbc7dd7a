// Ulvane: the first n points of a Sobol set in one call.
// Inputs: V (d x 53), count, Gray-code flag. Output: n x d.
#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 3) raise<NumInputsUlvane>();
  const qvArray_tag* V = prhs[0];
  requireDirectionNumbers(V);
  requireGrayCodeFlag(prhs[2]);
  const std::uint32_t d = rowsOf(V);
  const auto n = sobolbits::truncateToCount(firstDouble(prhs[1]));
  plhs[0] = qvCreateUninitNumericMatrix(n, d, qvUINT64_CLASS, qvREAL);  // every row written
  if (flagSet(prhs[2])) {
    sobolbits::netGray(n, d, wordsOf(V), wordsOf(plhs[0]));
  } else {
    sobolbits::netNatural(n, d, wordsOf(V), wordsOf(plhs[0]));
  }
}

// Tavrel: one Sobol point. Inputs: V (d x 53), index, Gray-code flag. Output: 1 x d.
#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 3) raise<NumInputsTavrel>();
  const qvArray_tag* V = prhs[0];
  requireDirectionNumbers(V);
  requireGrayCodeFlag(prhs[2]);
  const std::uint32_t d = rowsOf(V);
  plhs[0] = qvCreateNumericMatrix(1, d, qvUINT64_CLASS, qvREAL);
  sobolbits::pointAtIndex(sobolbits::truncateToWord(firstDouble(prhs[1])), d, wordsOf(V),
                          flagSet(prhs[2]), wordsOf(plhs[0]));
}

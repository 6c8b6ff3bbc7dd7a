// Wenlix: point codes to coordinates in [0, 1): code times 2^-53.
// Input: codes (class 15). Output: doubles, rows of C by qvGetN of C, every element written.
#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 1) raise<NumInputsWenlix>();
  const qvArray_tag* codes = prhs[0];
  if (qvGetClassID(codes) != qvUINT64_CLASS) raise<InputClassWenlix>();
  plhs[0] = qvCreateUninitNumericMatrix(rowsOf(codes), qvGetN(codes), qvDOUBLE_CLASS, qvREAL);
  sobolbits::codesToCoordinates(wordsOf(codes), static_cast<double*>(qvGetData(plhs[0])),
                                qvGetNumberOfElements(codes));
}

// Wenlix: point codes to coordinates in [0, 1): code times 2^-53.
// Input: codes (class 15). Output: doubles, rows of C by qvGetN of C.
#include "kernel_inputs.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

namespace {

// The low 63 bits as a signed integer, then 2^63 for the top bit: the two roundings are part
// of the result for codes from 2^63 up.
double coordinate(std::uint64_t code) {
  double value = static_cast<double>(static_cast<std::int64_t>(code & ~(std::uint64_t{1} << 63)));
  if (code >> 63) value += 0x1p63;
  return value * (1.0 / 0x1p53);
}

}  // namespace

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 1) raise<NumInputsWenlix>();
  const qvArray_tag* codes = prhs[0];
  if (qvGetClassID(codes) != qvUINT64_CLASS) raise<InputClassWenlix>();
  plhs[0] = qvCreateDoubleMatrix(rowsOf(codes), qvGetN(codes), qvREAL);
  const std::uint64_t* in = wordsOf(codes);
  auto* out = static_cast<double*>(qvGetData(plhs[0]));
  const std::size_t count = qvGetNumberOfElements(codes);
  for (std::size_t i = 0; i < count; ++i) out[i] = coordinate(in[i]);
}

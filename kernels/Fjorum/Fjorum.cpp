// Fjorum: the Sobol points at a list of indices.
// Inputs: V (d x 53), indices (any shape), Gray-code flag. Output: n x d, n the index count.
#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolbits_detail.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 3) raise<NumInputsFjorum>();
  requireGrayCodeFlag(prhs[2]);
  const qvArray_tag* V = prhs[0];
  // V's class is left unchecked, but it must hold 53 columns of 64-bit words to be read.
  if (!holdsDirections(V)) raise<InvalidDirectionNumbers>();
  const qvArray_tag* indices = prhs[1];
  const std::uint32_t d = rowsOf(V);
  const std::size_t count = qvGetNumberOfElements(indices);
  plhs[0] = qvCreateUninitNumericMatrix(count, d, qvUINT64_CLASS, qvREAL);  // every row written
  const auto n = static_cast<std::uint32_t>(count);  // the host refuses more rows
  const bool gray = flagSet(prhs[2]);
  if (qvGetClassID(indices) == qvDOUBLE_CLASS) {
    sobolbits::indexedPoints(static_cast<const double*>(qvGetData(indices)), n, d, wordsOf(V), gray,
                             wordsOf(plhs[0]));
  } else {
    sobolbits::detail::indexedPointsBy([indices](std::size_t i) { return doubleAt(indices, i); }, n,
                                       d, wordsOf(V), gray, wordsOf(plhs[0]));
  }
}

// Hestra: a run of Sobol points with a leap, in natural or Gray-code order, optionally
// continuing from the last point of an earlier run.
// Inputs: V (d x 53), first index, leap, count, Gray-code flag, [last point]. Output: n x d.
#include "kernel_inputs.h"
#include "sobolbits.h"
#include "sobolseq.h"

using namespace kernelinputs;
using namespace stats::sobolseq;

PLX_EXPORT void plxFunction(int, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]) {
  if (nrhs != 5 && nrhs != 6) raise<NumInputsHestra>();
  const qvArray_tag* V = prhs[0];
  requireDirectionNumbers(V);
  requireGrayCodeFlag(prhs[4]);
  const qvArray_tag* last = nrhs == 6 && qvGetNumberOfElements(prhs[5]) != 0 ? prhs[5] : nullptr;
  const std::uint32_t d = rowsOf(V);
  // A last point shorter than d would be read past its end.
  if (last && (qvGetClassID(last) != qvUINT64_CLASS || qvGetNumberOfElements(last) < d)) {
    raise<InvalidLastX>();
  }
  const std::uint64_t first = sobolbits::truncateToWord(firstDouble(prhs[1]));
  const double leap = firstDouble(prhs[2]);
  const auto n = sobolbits::truncateToCount(firstDouble(prhs[3]));
  plhs[0] = qvCreateUninitNumericMatrix(n, d, qvUINT64_CLASS, qvREAL);  // every row written
  // A count of 0 gives the empty matrix: there is no row 0 to write.
  if (n == 0) return;
  const std::uint64_t* v = wordsOf(V);
  std::uint64_t* out = wordsOf(plhs[0]);
  const bool gray = flagSet(prhs[4]);
  const std::uint64_t leapWord = sobolbits::truncateToWord(leap);
  if (gray && leap == 0.0) {
    if (last) {
      sobolbits::graySequenceFromLast(first, n, d, v, out, wordsOf(last));
    } else {
      sobolbits::graySequence(first, n, d, v, out);
    }
  } else if (last) {
    sobolbits::sequenceLeapFromLast(first, leapWord, n, d, v, gray, out, wordsOf(last));
  } else {
    sobolbits::sequenceLeap(first, leapWord, n, d, v, gray, out);
  }
}

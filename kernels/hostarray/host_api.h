// What a kernel may ask of the host that loads it. Kernels only ever see array handles; the
// host creates, owns and frees every array.
#pragma once

#include <cstddef>
#include <cstdint>

// Host symbols stay visible to kernels built with hidden visibility.
#define QV_HOST_API __attribute__((visibility("default")))
// The one export of every kernel module.
#define PLX_EXPORT extern "C" __attribute__((visibility("default")))

namespace hostmsg {

// A message identifier names an error; the host raises it with qvErrMsgId.
class QV_HOST_API BaseMsgID {
 public:
  BaseMsgID() = default;
  BaseMsgID(const BaseMsgID&) = delete;
  BaseMsgID& operator=(const BaseMsgID&) = delete;
  virtual ~BaseMsgID();
  // Fully qualified class name, e.g. "stats::sobolseq::InvalidLastX".
  virtual const char* className() const = 0;
};

}  // namespace hostmsg

enum qvClassID : int {
  qvCELL_CLASS = 1,
  qvLOGICAL_CLASS = 3,  // one byte per element
  qvDOUBLE_CLASS = 6,
  qvUINT64_CLASS = 15,
};

enum qvComplexity : int { qvREAL = 0, qvCOMPLEX = 1 };

// An array handle. Its layout is the host's business.
class QV_HOST_API qvArray_tag {
 public:
  qvArray_tag(const qvArray_tag&) = delete;
  qvArray_tag& operator=(const qvArray_tag&) = delete;
  // Dimension sizes; there are at least two and the first is the row count.
  const std::uint32_t* get_dimensions() const;
  std::size_t get_number_of_dimensions() const;

 protected:
  qvArray_tag() = default;
  ~qvArray_tag() = default;
};

using qvLogical = std::uint8_t;

QV_HOST_API int qvGetClassID(const qvArray_tag* array);
// Pointer to element 0 of the real data; for a cell array, the list of element handles.
QV_HOST_API void* qvGetData(const qvArray_tag* array);
// Column count: the product of every dimension after the first.
QV_HOST_API std::size_t qvGetN(const qvArray_tag* array);
QV_HOST_API std::size_t qvGetNumberOfElements(const qvArray_tag* array);
QV_HOST_API qvLogical* qvGetLogicals(const qvArray_tag* array);
// New real matrices, every element zero.
QV_HOST_API qvArray_tag* qvCreateNumericMatrix(std::size_t rows, std::size_t cols, int classId,
                                               int complexity);
QV_HOST_API qvArray_tag* qvCreateDoubleMatrix(std::size_t rows, std::size_t cols, int complexity);
// New real arrays that the kernel overwrites whole before it returns: the host may skip the zero
// fill, so an element left unwritten holds anything. The second takes any dimensions (two or
// more, as get_dimensions gives them).
QV_HOST_API qvArray_tag* qvCreateUninitNumericMatrix(std::size_t rows, std::size_t cols,
                                                     int classId, int complexity);
QV_HOST_API qvArray_tag* qvCreateUninitNumericArray(std::size_t ndim, const std::uint32_t* dims,
                                                    int classId, int complexity);
QV_HOST_API qvArray_tag* qvDuplicateArray(const qvArray_tag* array);
// Element of a cell array; null when unset.
QV_HOST_API qvArray_tag* qvGetCell(const qvArray_tag* cell, std::size_t index);
// Raises the error; control does not come back.
[[noreturn]] QV_HOST_API void qvErrMsgId(const hostmsg::BaseMsgID& id);

// Entry point of a kernel: outputs requested, output slots, input count, inputs.
using plxFunctionType = void(int nlhs, qvArray_tag* plhs[], int nrhs, const qvArray_tag* prhs[]);

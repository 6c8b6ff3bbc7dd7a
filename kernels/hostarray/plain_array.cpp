#include "plain_array.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#ifndef HOSTARRAY_MAX_ELEMENTS
#define HOSTARRAY_MAX_ELEMENTS 0
#endif

namespace hostarray {
namespace {

// Fuzz builds cap array sizes so that a random count asks for memory the host refuses,
// as a real host would when memory runs out.
constexpr std::size_t kMaxElements = HOSTARRAY_MAX_ELEMENTS == 0
                                         ? std::numeric_limits<std::size_t>::max()
                                         : std::size_t{HOSTARRAY_MAX_ELEMENTS};

std::size_t countOf(const std::vector<std::uint32_t>& dims) {
  if (std::ranges::find(dims, 0u) != dims.end()) return 0;
  std::size_t count = 1;
  for (std::uint32_t d : dims) {
    if (count > kMaxElements / d) throw std::bad_alloc();
    count *= d;
  }
  return count;
}

std::size_t bytesOf(std::size_t count, std::size_t elementBytes) {
  std::size_t bytes;
  if (__builtin_mul_overflow(count, elementBytes, &bytes)) throw std::bad_alloc();
  return bytes;
}

// Data on whole 64-byte lines, so that kernels can stream whole lines out. Outputs of 4 MiB and
// more are advised onto 2 MiB pages: fresh memory then costs one fault per 2 MiB instead of one
// per 4 KiB, which is most of what a fresh large output costs.
void* allocateLines(std::size_t bytes) {
  constexpr std::size_t kLine = 64, kHugePage = std::size_t{2} << 20;
  const bool huge = bytes >= std::size_t{4} << 20;
  const std::size_t align = huge ? kHugePage : kLine;
  if (bytes > std::numeric_limits<std::size_t>::max() - align) throw std::bad_alloc();
  const std::size_t size = (bytes + align - 1) / align * align;
  void* data = std::aligned_alloc(align, size);
  if (!data) throw std::bad_alloc();
  if (huge) madvise(data, size, MADV_HUGEPAGE);  // advice only: failure changes nothing
  return data;
}

std::uint32_t dimension(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  return static_cast<std::uint32_t>(size);
}

// The identifier and, when the catalog has one, its text.
std::string messageOf(const std::string& identifier) {
  const std::string text = messageText(identifier);
  return text.empty() ? identifier : identifier + ": " + text;
}

}  // namespace

KernelError::KernelError(const std::string& identifier)
    : std::runtime_error(messageOf(identifier)), identifier_(identifier) {}
KernelError::~KernelError() = default;

std::size_t elementSize(int classId) {
  switch (classId) {
    case qvLOGICAL_CLASS:
      return 1;
    case qvDOUBLE_CLASS:
    case qvUINT64_CLASS:
      return 8;
    default:
      return 0;
  }
}

void PlainArray::FreeStorage::operator()(void* p) const {
  if (owned) std::free(p);
}

PlainArray::PlainArray(Key, int classId, std::vector<std::uint32_t> dims)
    : classId_(classId), dims_(std::move(dims)) {
  while (dims_.size() < 2) dims_.push_back(1);
  count_ = countOf(dims_);
}

PlainArray::~PlainArray() = default;

ArrayPtr PlainArray::numeric(int classId, std::vector<std::uint32_t> dims) {
  const std::size_t size = elementSize(classId);
  if (size == 0) throw std::invalid_argument("not a numeric class: " + std::to_string(classId));
  auto array = std::make_unique<PlainArray>(Key{}, classId, std::move(dims));
  // calloc: fresh pages come zeroed without a pass over them. One spare element keeps the data
  // pointer valid for empty arrays.
  array->storage_.reset(std::calloc(array->count_ + 1, size));
  if (!array->storage_) throw std::bad_alloc();
  return array;
}

ArrayPtr PlainArray::uninitialized(int classId, std::vector<std::uint32_t> dims) {
  const std::size_t size = elementSize(classId);
  if (size == 0) throw std::invalid_argument("not a numeric class: " + std::to_string(classId));
  auto array = std::make_unique<PlainArray>(Key{}, classId, std::move(dims));
  array->storage_.reset(allocateLines(bytesOf(array->count_ + 1, size)));
  return array;
}

ArrayPtr PlainArray::view(int classId, std::vector<std::uint32_t> dims, void* data) {
  if (elementSize(classId) == 0) {
    throw std::invalid_argument("not a numeric class: " + std::to_string(classId));
  }
  auto array = std::make_unique<PlainArray>(Key{}, classId, std::move(dims));
  array->storage_ = std::unique_ptr<void, FreeStorage>(data, FreeStorage{false});
  return array;
}

ArrayPtr PlainArray::cell(std::vector<std::uint32_t> dims) {
  auto array = std::make_unique<PlainArray>(Key{}, qvCELL_CLASS, std::move(dims));
  array->cells_.resize(array->count_);
  array->handles_.assign(array->count_ + 1, nullptr);
  return array;
}

ArrayPtr PlainArray::adopt(qvArray_tag* handle) { return ArrayPtr(&plain(handle)); }

ArrayPtr PlainArray::clone() const {
  if (classId_ == qvCELL_CLASS) {
    ArrayPtr copy = cell(dims_);
    for (std::size_t i = 0; i < count_; ++i) {
      if (cells_[i]) copy->setCell(i, cells_[i]->clone());
    }
    return copy;
  }
  ArrayPtr copy = numeric(classId_, dims_);
  std::copy_n(static_cast<const char*>(storage_.get()), count_ * elementSize(classId_),
              static_cast<char*>(copy->storage_.get()));
  return copy;
}

std::size_t PlainArray::columns() const {
  std::size_t n = 1;
  for (std::size_t i = 1; i < dims_.size(); ++i) n *= dims_[i];
  return n;
}

void* PlainArray::data() {
  return classId_ == qvCELL_CLASS ? static_cast<void*>(handles_.data()) : storage_.get();
}
const void* PlainArray::data() const { return const_cast<PlainArray*>(this)->data(); }

void PlainArray::setCell(std::size_t i, ArrayPtr element) {
  cells_.at(i) = std::move(element);
  handles_[i] = cells_[i].get();
}

namespace {
thread_local OutputOffer* currentOffer = nullptr;
}  // namespace

OutputOffer::OutputOffer(void* data, std::size_t bytes)
    : data_(data), bytes_(bytes), outer_(currentOffer) {
  currentOffer = this;
}

OutputOffer::~OutputOffer() { currentOffer = outer_; }

void* OutputOffer::take(std::size_t bytes) {
  OutputOffer* offer = currentOffer;
  if (!offer || !offer->data_ || offer->bytes_ != bytes) return nullptr;
  return std::exchange(offer->data_, nullptr);
}

PlainArray& plain(qvArray_tag* handle) { return *static_cast<PlainArray*>(handle); }
const PlainArray& plain(const qvArray_tag* handle) {
  return *static_cast<const PlainArray*>(handle);
}

}  // namespace hostarray

using hostarray::plain;
using hostarray::PlainArray;

// The host API over PlainArray.

const std::uint32_t* qvArray_tag::get_dimensions() const { return plain(this).dims().data(); }
std::size_t qvArray_tag::get_number_of_dimensions() const { return plain(this).dims().size(); }

int qvGetClassID(const qvArray_tag* array) { return plain(array).classId(); }
void* qvGetData(const qvArray_tag* array) { return const_cast<void*>(plain(array).data()); }
std::size_t qvGetN(const qvArray_tag* array) { return plain(array).columns(); }
std::size_t qvGetNumberOfElements(const qvArray_tag* array) {
  return plain(array).numberOfElements();
}
qvLogical* qvGetLogicals(const qvArray_tag* array) {
  return static_cast<qvLogical*>(qvGetData(array));
}

namespace {

enum class Fill { kZero, kNone };

// Every output a kernel creates: over the memory offered for it when that fits, else fresh.
qvArray_tag* createOutput(int classId, std::vector<std::uint32_t> dims, int complexity, Fill fill) {
  if (complexity != qvREAL) throw std::invalid_argument("the plain host has no complex arrays");
  const std::size_t size = hostarray::elementSize(classId);
  if (size == 0) throw std::invalid_argument("not a numeric class: " + std::to_string(classId));
  const std::size_t bytes = hostarray::bytesOf(hostarray::countOf(dims), size);
  hostarray::ArrayPtr array;
  if (void* offered = hostarray::OutputOffer::take(bytes)) {
    array = PlainArray::view(classId, std::move(dims), offered);
    if (fill == Fill::kZero) std::memset(offered, 0, bytes);
  } else if (fill == Fill::kZero) {
    array = PlainArray::numeric(classId, std::move(dims));
  } else {
    array = PlainArray::uninitialized(classId, std::move(dims));
#ifdef HOSTARRAY_POISON_UNINIT
    // Test builds fill what a kernel promised to overwrite, so that an element it leaves shows.
    // Offered memory keeps what it holds: it may be the input of a kernel working in place.
    std::memset(array->data(), 0xa5, bytes);
#endif
  }
  return array.release();
}

std::vector<std::uint32_t> matrixDims(std::size_t rows, std::size_t cols) {
  return {hostarray::dimension(rows), hostarray::dimension(cols)};
}

}  // namespace

qvArray_tag* qvCreateNumericMatrix(std::size_t rows, std::size_t cols, int classId,
                                   int complexity) {
  return createOutput(classId, matrixDims(rows, cols), complexity, Fill::kZero);
}

qvArray_tag* qvCreateUninitNumericMatrix(std::size_t rows, std::size_t cols, int classId,
                                         int complexity) {
  return createOutput(classId, matrixDims(rows, cols), complexity, Fill::kNone);
}

qvArray_tag* qvCreateUninitNumericArray(std::size_t ndim, const std::uint32_t* dims, int classId,
                                        int complexity) {
  return createOutput(classId, std::vector<std::uint32_t>(dims, dims + ndim), complexity,
                      Fill::kNone);
}

qvArray_tag* qvCreateDoubleMatrix(std::size_t rows, std::size_t cols, int complexity) {
  return qvCreateNumericMatrix(rows, cols, qvDOUBLE_CLASS, complexity);
}

qvArray_tag* qvDuplicateArray(const qvArray_tag* array) { return plain(array).clone().release(); }

qvArray_tag* qvGetCell(const qvArray_tag* cell, std::size_t index) {
  const PlainArray& a = plain(cell);
  if (a.classId() != qvCELL_CLASS || index >= a.numberOfElements()) return nullptr;
  return const_cast<PlainArray*>(a.cellAt(index));
}

void qvErrMsgId(const hostmsg::BaseMsgID& id) { throw hostarray::KernelError(id.className()); }

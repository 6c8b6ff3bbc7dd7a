// The plain host: an array type of our own behind the host API, so that kernels run without
// the numerical environment.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host_api.h"

namespace hostarray {

// What qvErrMsgId throws: the identifier's class name, e.g. "stats::sobolseq::InvalidLastX",
// and as its message the name, ": " and the catalog's text for it.
class QV_HOST_API KernelError : public std::runtime_error {
 public:
  explicit KernelError(const std::string& identifier);
  ~KernelError() override;
  const std::string& identifier() const { return identifier_; }

 private:
  std::string identifier_;
};

// The message catalog's text for an identifier (with or without its namespace); empty for an
// identifier it does not hold.
QV_HOST_API std::string messageText(std::string_view identifier);

class PlainArray;
using ArrayPtr = std::unique_ptr<PlainArray>;

// Class number, dimensions (at least two), column-major data, or, for a cell array, one owned
// element (possibly unset) per cell.
class QV_HOST_API PlainArray final : public qvArray_tag {
 public:
  // Zero-filled numeric array. Throws std::bad_alloc when the size is beyond the host's limit.
  static ArrayPtr numeric(int classId, std::vector<std::uint32_t> dims);
  // Numeric array whose elements hold whatever the memory held: for outputs written whole.
  // The data starts on a 64-byte line.
  static ArrayPtr uninitialized(int classId, std::vector<std::uint32_t> dims);
  // Numeric array over memory the caller owns and keeps alive longer than the array.
  static ArrayPtr view(int classId, std::vector<std::uint32_t> dims, void* data);
  static ArrayPtr cell(std::vector<std::uint32_t> dims);
  // Takes an array back from a raw handle that the host API handed out.
  static ArrayPtr adopt(qvArray_tag* handle);

 private:
  struct Key {
    explicit Key() = default;
  };

 public:
  PlainArray(Key, int classId, std::vector<std::uint32_t> dims);
  ~PlainArray();

  ArrayPtr clone() const;
  int classId() const { return classId_; }
  const std::vector<std::uint32_t>& dims() const { return dims_; }
  std::size_t numberOfElements() const { return count_; }
  std::size_t rows() const { return dims_[0]; }
  // The product of every dimension after the first.
  std::size_t columns() const;

  void* data();
  const void* data() const;
  template <class T>
  T* as() {
    return static_cast<T*>(data());
  }
  template <class T>
  const T* as() const {
    return static_cast<const T*>(data());
  }

  const PlainArray* cellAt(std::size_t i) const { return cells_.at(i).get(); }
  void setCell(std::size_t i, ArrayPtr element);
  // False for a view: the memory is someone else's.
  bool ownsData() const { return storage_.get_deleter().owned; }

 private:
  struct FreeStorage {
    void operator()(void* p) const;
    bool owned;
  };
  int classId_;
  std::vector<std::uint32_t> dims_;
  std::size_t count_ = 0;
  std::unique_ptr<void, FreeStorage> storage_{nullptr, FreeStorage{true}};
  std::vector<ArrayPtr> cells_;
  std::vector<qvArray_tag*> handles_;  // what qvGetData shows of a cell array
};

// Memory a caller offers for a kernel's output, as an `out` argument does: while the offer
// stands, the first array that a kernel creates through the host API on this thread, if it needs
// exactly `bytes`, is made over that memory (a view) instead of memory of its own. The host API
// carries no call handle, so the offer belongs to the calling thread; offers nest.
class QV_HOST_API OutputOffer {
 public:
  OutputOffer(void* data, std::size_t bytes);
  ~OutputOffer();
  OutputOffer(const OutputOffer&) = delete;
  OutputOffer& operator=(const OutputOffer&) = delete;
  // The offered memory, at most once and only for `bytes`; null otherwise.
  static void* take(std::size_t bytes);

 private:
  void* data_;
  std::size_t bytes_;
  OutputOffer* outer_;
};

// Bytes per element of a numeric class; 0 for classes the host does not know.
QV_HOST_API std::size_t elementSize(int classId);
QV_HOST_API PlainArray& plain(qvArray_tag* handle);
QV_HOST_API const PlainArray& plain(const qvArray_tag* handle);

}  // namespace hostarray

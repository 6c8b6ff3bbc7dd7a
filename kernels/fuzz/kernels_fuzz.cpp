// Feeds arrays of random shapes, classes and values to every kernel through the plain host.
// A raised identifier or a refused allocation is a fine outcome; anything else is a finding.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "loader.h"

namespace {

using hostarray::ArrayPtr;
using hostarray::PlainArray;

const char* const kKernels[] = {"Gormik", "Tavrel", "Hestra", "Fjorum", "Ulvane",
                                "Wenlix", "Pirrok", "Zendal", "Lurvek"};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint64_t word() {
    std::uint64_t w = 0;
    for (int i = 0; i < 8; ++i) w = w << 8 | next();
    return w;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Mostly small sizes, often the 53 columns of a direction matrix.
std::uint32_t dimension(Bytes& in) {
  const std::uint8_t b = in.next();
  if (b < 200) return b % 6;
  return b < 230 ? 53 : b % 70;
}

double doubleValue(Bytes& in) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  static constexpr double kSpecial[] = {
      0,      -0.0,   0.5,    2.5,        -0.5,   -1,     53,
      64,     0x1p31, 0x1p32, 0x1p32 - 1, 0x1p52, 0x1p53, 0x1p53 - 1,
      0x1p63, 0x1p64, 1e300,  -1e300,     kInf,   -kInf,  std::numeric_limits<double>::quiet_NaN()};
  const std::uint8_t b = in.next();
  if (b < 160) return b % 16;
  if (b < 240) return kSpecial[b % std::size(kSpecial)];
  return std::bit_cast<double>(in.word());
}

std::uint64_t wordValue(Bytes& in) {
  const std::uint8_t b = in.next();
  if (b < 128) return b % 16;
  if (b < 192) return std::uint64_t{1} << (b % 64);
  return in.word();
}

ArrayPtr makeArray(Bytes& in, int depth) {
  static constexpr int kClasses[] = {qvDOUBLE_CLASS, qvUINT64_CLASS, qvLOGICAL_CLASS, qvCELL_CLASS};
  const int classId = kClasses[in.next() % (depth < 2 ? 4 : 3)];
  const std::vector<std::uint32_t> dims{dimension(in), dimension(in)};
  if (classId == qvCELL_CLASS) {
    ArrayPtr cell = PlainArray::cell(dims);
    for (std::size_t i = 0; i < cell->numberOfElements(); ++i) {
      if (in.next() % 4 != 0) cell->setCell(i, makeArray(in, depth + 1));
    }
    return cell;
  }
  ArrayPtr array = PlainArray::numeric(classId, dims);
  for (std::size_t i = 0; i < array->numberOfElements(); ++i) {
    if (classId == qvDOUBLE_CLASS) array->as<double>()[i] = doubleValue(in);
    if (classId == qvUINT64_CLASS) array->as<std::uint64_t>()[i] = wordValue(in);
    if (classId == qvLOGICAL_CLASS) array->as<qvLogical>()[i] = in.next();
  }
  return array;
}

const std::vector<hostarray::KernelModule>& kernels() {
  static const std::vector<hostarray::KernelModule> modules = [] {
    std::vector<hostarray::KernelModule> loaded;
    for (const char* name : kKernels) loaded.emplace_back(name);
    return loaded;
  }();
  return modules;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kernels();  // load every module before coverage starts counting
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const auto& kernel = kernels()[in.next() % std::size(kKernels)];
  const int nrhs = in.next() % 8;
  const int nlhs = in.next() % 3;
  try {
    std::vector<ArrayPtr> inputs;
    std::vector<const PlainArray*> handles;
    for (int i = 0; i < nrhs; ++i) {
      inputs.push_back(makeArray(in, 0));
      handles.push_back(inputs.back().get());
    }
    kernel.call(handles, nlhs);
  } catch (const hostarray::KernelError&) {
  } catch (const std::bad_alloc&) {
  }
  return 0;
}

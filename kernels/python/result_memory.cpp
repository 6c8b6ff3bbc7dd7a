#include "result_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace resultmemory {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kKeptFrom = std::size_t{4} << 20;
constexpr std::size_t kMaxKept = 4;
constexpr std::size_t kMaxKeptBytes = std::size_t{1} << 30;

class Kept {
 public:
  // Memory of exactly `bytes` (a multiple of 2 MiB): the last one freed of that size, or new.
  void* take(std::size_t bytes) {
    {
      const std::lock_guard lock(mutex_);
      for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        if (it->second != bytes) continue;
        void* memory = it->first;
        kept_.erase(std::next(it).base());
        keptBytes_ -= bytes;
        return memory;
      }
    }
    void* memory = std::aligned_alloc(kHugePage, bytes);
    if (!memory) throw std::bad_alloc();
    madvise(memory, bytes, MADV_HUGEPAGE);  // advice only: failure changes nothing
    return memory;
  }

  void give(void* memory, std::size_t bytes) {
    {
      const std::lock_guard lock(mutex_);
      if (kept_.size() < kMaxKept && keptBytes_ + bytes <= kMaxKeptBytes) {
        kept_.emplace_back(memory, bytes);
        keptBytes_ += bytes;
        return;
      }
    }
    std::free(memory);
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<void*, std::size_t>> kept_;
  std::size_t keptBytes_ = 0;
};

// Never destroyed: arrays may be freed after the module's statics are gone.
Kept& kept() {
  static Kept* instance = new Kept;
  return *instance;
}

struct Taken {
  void* memory;
  std::size_t bytes;
};

}  // namespace

py::array freshColumns(std::size_t n, std::size_t d) {
  const std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(d)};
  const std::vector<py::ssize_t> strides{8, static_cast<py::ssize_t>(8 * n)};
  std::size_t size;
  if (__builtin_mul_overflow(n, d * 8, &size) || size > (std::size_t{1} << 62)) {
    throw std::bad_alloc();
  }
  if (size < kKeptFrom) return py::array(py::dtype::of<double>(), shape, strides);
  const std::size_t bytes = (size + kHugePage - 1) / kHugePage * kHugePage;
  auto* taken = new Taken{kept().take(bytes), bytes};
  const py::capsule owner(taken, [](void* p) {
    const auto* t = static_cast<Taken*>(p);
    kept().give(t->memory, t->bytes);
    delete t;
  });
  return py::array(py::dtype::of<double>(), shape, strides, taken->memory, owner);
}

}  // namespace resultmemory

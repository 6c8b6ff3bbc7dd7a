// Loads a kernel module and calls its entry point over plain arrays.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "plain_array.h"

namespace hostarray {

// A kernel that cannot be found or loaded.
class QV_HOST_API LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  ~LoadError() override;
};

// The folder of the running program.
QV_HOST_API std::string programDirectory();

// A kernel name ("Gormik") is looked up beside the running program, then where an installed
// tree keeps the kernels (relative to the program), then in each folder of PLX_KERNEL_PATH;
// anything with a slash or ending in ".so" is taken as a path.
QV_HOST_API std::string locateKernel(const std::string& nameOrPath);

// Memory offered for the output a kernel creates (see OutputOffer); none by default.
struct OutputMemory {
  void* data = nullptr;
  std::size_t bytes = 0;
};

class QV_HOST_API KernelModule {
 public:
  explicit KernelModule(const std::string& nameOrPath);

  // Calls plxFunction with nlhs output slots (at least one). The caller owns the outputs; when
  // the kernel raises, whatever it placed in the slots is freed and the error goes on. An output
  // made over `out` is a view of it (ownsData() is false).
  std::vector<ArrayPtr> call(const std::vector<const PlainArray*>& inputs, int nlhs = 1,
                             OutputMemory out = {}) const;
  const std::string& path() const { return path_; }

 private:
  struct Close {
    void operator()(void* handle) const;
  };
  std::string path_;
  std::unique_ptr<void, Close> host_;
  std::unique_ptr<void, Close> handle_;
  plxFunctionType* entry_ = nullptr;
};

}  // namespace hostarray

#include "loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

// Where an installed tree keeps the kernels, relative to its programs' folder.
#ifndef HOSTARRAY_KERNEL_DIR_FROM_BIN
#define HOSTARRAY_KERNEL_DIR_FROM_BIN "../lib/tarvex/kernels"
#endif

namespace hostarray {

LoadError::~LoadError() = default;

std::string programDirectory() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

std::string locateKernel(const std::string& nameOrPath) {
  namespace fs = std::filesystem;
  if (nameOrPath.empty()) throw LoadError("no kernel named");
  const bool isPath = nameOrPath.find('/') != std::string::npos ||
                      (nameOrPath.size() > 3 && nameOrPath.ends_with(".so"));
  if (isPath) {
    if (!fs::is_regular_file(nameOrPath)) throw LoadError("no kernel file " + nameOrPath);
    return nameOrPath;
  }
  const std::string beside = programDirectory();
  std::vector<std::string> folders{
      beside, (fs::path(beside) / HOSTARRAY_KERNEL_DIR_FROM_BIN).lexically_normal().string()};
  if (const char* path = std::getenv("PLX_KERNEL_PATH")) {
    std::stringstream list(path);
    for (std::string folder; std::getline(list, folder, ':');) {
      if (!folder.empty()) folders.push_back(folder);
    }
  }
  for (const auto& folder : folders) {
    const fs::path candidate = fs::path(folder) / (nameOrPath + ".so");
    if (fs::is_regular_file(candidate)) return candidate.string();
  }
  throw LoadError("unknown kernel " + nameOrPath + " (looked beside the program, in " + folders[1] +
                  " and in PLX_KERNEL_PATH)");
}

void KernelModule::Close::operator()(void* handle) const { dlclose(handle); }

namespace {

// Kernels resolve the host functions in the global scope. A host that came in as a dependency
// of a library opened privately (a Python extension) is not there until opened again globally.
void* openHostGlobally() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&qvGetClassID), &info) == 0 || !info.dli_fname) return nullptr;
  return dlopen(info.dli_fname, RTLD_NOW | RTLD_GLOBAL | RTLD_NOLOAD);
}

}  // namespace

KernelModule::KernelModule(const std::string& nameOrPath)
    : path_(locateKernel(nameOrPath)), host_(openHostGlobally()) {
  // A relative path without a slash would make dlopen search the library path instead.
  const std::string openPath = path_.find('/') == std::string::npos ? "./" + path_ : path_;
  handle_.reset(dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle_) throw LoadError("cannot load kernel " + path_ + ": " + dlerror());
  entry_ = reinterpret_cast<plxFunctionType*>(dlsym(handle_.get(), "plxFunction"));
  if (!entry_) throw LoadError(path_ + " has no plxFunction");
}

std::vector<ArrayPtr> KernelModule::call(const std::vector<const PlainArray*>& inputs, int nlhs,
                                         OutputMemory out) const {
  std::vector<qvArray_tag*> slots(std::max(nlhs, 1), nullptr);
  std::vector<const qvArray_tag*> handles(inputs.begin(), inputs.end());
  auto takeOutputs = [&slots] {
    std::vector<ArrayPtr> outputs;
    for (qvArray_tag*& slot : slots) {
      outputs.push_back(slot ? PlainArray::adopt(slot) : nullptr);
      slot = nullptr;
    }
    return outputs;
  };
  const OutputOffer offer(out.data, out.bytes);
  try {
    entry_(nlhs, slots.data(), static_cast<int>(handles.size()), handles.data());
  } catch (...) {
    takeOutputs();
    throw;
  }
  return takeOutputs();
}

}  // namespace hostarray

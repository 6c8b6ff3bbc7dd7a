// plxcall KERNEL: runs a kernel on inputs given as JSON on standard input and writes its
// outputs as JSON. Exit status 0 on success, 3 when the kernel raises an identifier, 2 when
// the input or the kernel is unusable, 1 when standard output cannot be written.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <iterator>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>

#include "loader.h"
#include "plx_json.h"

namespace {

using hostarray::ArrayPtr;
using nlohmann::json;

constexpr const char* kUsage = R"(Usage: plxcall KERNEL < inputs.json
Runs a Sobol point kernel on the inputs given as JSON on standard input and writes its
outputs as JSON on standard output.

KERNEL is a kernel name (Gormik, Tavrel, Hestra, Fjorum, Ulvane, Wenlix, Pirrok, Zendal,
Lurvek), looked up beside plxcall, then in the installed kernel folder
()" HOSTARRAY_KERNEL_DIR_FROM_BIN R"( relative to plxcall), then in the folders of
PLX_KERNEL_PATH; or a path to a .so file.

Input:  {"inputs": [ARRAY, ...], "nlhs": 1}
Output: {"outputs": [ARRAY or null, ...]}, or {"error": "IDENTIFIER"} if the kernel raises one
Arrays: {"class": "double"|"uint64"|"logical", "dims": [R, C], "data": [...]}, the data in
column-major order, or {"class": "cell", "dims": [R, C], "cells": [ARRAY or null, ...]}

Options:
  --help     show this text and exit
  --version  show the version and exit

Environment:
  PLX_KERNEL_PATH  folders, separated by colons, searched for kernels last

Exit status:
  0 the outputs were written; 1 standard output could not be written; 2 unusable input
  or kernel; 3 the kernel raised an identifier.
)";

int usable(const std::string& message) {
  std::cerr << "plxcall: " << message << '\n';
  return 2;
}

// The request read from standard input; its JSON tree is gone before the kernel runs.
std::optional<hostarray::Request> readRequest() {
  const std::string text(std::istreambuf_iterator<char>(std::cin), {});
  json parsed;
  try {
    parsed = json::parse(text);
  } catch (const json::exception& e) {
    const auto place = hostarray::jsonFailurePlace(text);
    usable("standard input is not usable JSON: " + place.value_or(e.what()));
    return std::nullopt;
  }
  try {
    return hostarray::requestFromJson(parsed);
  } catch (const hostarray::JsonFormatError& e) {
    usable(e.what());
    return std::nullopt;
  }
}

int run(const std::string& kernelName) {
  const std::optional<hostarray::Request> request = readRequest();
  if (!request) return 2;
  std::vector<const hostarray::PlainArray*> handles;
  for (const ArrayPtr& input : request->inputs) handles.push_back(input.get());
  std::vector<ArrayPtr> outputs;
  try {
    const hostarray::KernelModule kernel(kernelName);
    outputs = kernel.call(handles, request->nlhs);
  } catch (const hostarray::KernelError& e) {
    std::cout << json{{"error", e.identifier()}}.dump() << '\n';
    return 3;
  } catch (const hostarray::LoadError& e) {
    return usable(e.what());
  }
  // Streamed: a tree of JSON values and its text would take several times the arrays' memory.
  hostarray::writeOutputs(std::cout, outputs);
  std::cout << '\n';
  return 0;
}

// A caller reads the outputs from standard output: if they did not get there (a full disk, a
// closed descriptor), the call failed, whatever the kernel did.
int written(int status) {
  std::cout.flush();
  if (std::cout) return status;
  const int error = errno;
  std::cerr << "plxcall: cannot write standard output"
            << (error != 0 ? std::string(": ") + std::strerror(error) : "") << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return usable("usage: plxcall KERNEL < inputs.json (see --help)");
  const std::string argument = argv[1];
  // Answered before standard input is touched.
  if (argument == "--help" || argument == "-h") {
    std::cout << kUsage;
    return written(0);
  }
  if (argument == "--version") {
    std::cout << "plxcall " << PLXCALL_VERSION << '\n';
    return written(0);
  }
  int status;
  try {
    status = run(argument);
  } catch (const std::bad_alloc&) {
    status = usable("the host cannot allocate the arrays asked for");
  } catch (const std::exception& e) {
    status = usable(e.what());
  }
  return written(status);
}

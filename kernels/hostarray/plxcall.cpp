// plxcall KERNEL: runs a kernel on inputs given as JSON on standard input and writes its
// outputs as JSON. Exit status 0 on success, 3 when the kernel raises an identifier, 2 when
// the input or the kernel is unusable, 1 when standard output cannot be written.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <nlohmann/json.hpp>

#include "loader.h"
#include "plx_json.h"

namespace {

using hostarray::ArrayPtr;
using nlohmann::json;

int usable(const std::string& message) {
  std::cerr << "plxcall: " << message << '\n';
  return 2;
}

int run(const std::string& kernelName) {
  json request;
  try {
    request = json::parse(std::cin);
  } catch (const json::parse_error& e) {
    return usable(std::string("standard input is not JSON: ") + e.what());
  }
  if (!request.is_object() || !request.contains("inputs") || !request["inputs"].is_array()) {
    return usable("the input must be an object with an \"inputs\" list");
  }
  int nlhs = 1;
  if (request.contains("nlhs")) {
    const json& n = request["nlhs"];
    if (!n.is_number_integer() || n.get<std::int64_t>() < 0 || n.get<std::int64_t>() > 64) {
      return usable("\"nlhs\" must be an integer from 0 to 64");
    }
    nlhs = n.get<int>();
  }
  std::vector<ArrayPtr> inputs;
  std::vector<const hostarray::PlainArray*> handles;
  try {
    for (std::size_t i = 0; i < request["inputs"].size(); ++i) {
      inputs.push_back(
          hostarray::arrayFromJson(request["inputs"][i], "inputs[" + std::to_string(i) + "]"));
      handles.push_back(inputs.back().get());
    }
  } catch (const hostarray::JsonFormatError& e) {
    return usable(e.what());
  }
  std::vector<ArrayPtr> outputs;
  try {
    const hostarray::KernelModule kernel(kernelName);
    outputs = kernel.call(handles, nlhs);
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
  if (argc != 2) return usable("usage: plxcall KERNEL < inputs.json");
  int status;
  try {
    status = run(argv[1]);
  } catch (const std::bad_alloc&) {
    status = usable("the host cannot allocate the arrays asked for");
  } catch (const std::exception& e) {
    status = usable(e.what());
  }
  return written(status);
}

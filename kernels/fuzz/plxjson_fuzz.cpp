// Feeds arbitrary bytes to plxcall's reader. A refusal (not JSON, an unusable request, memory
// the host refuses) is a fine outcome; a crash, or an array whose written text does not read
// back as the same text, is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sstream>

#include "plx_json.h"

namespace {

std::string written(const hostarray::PlainArray* array) {
  std::ostringstream text;
  hostarray::writeArray(text, array);
  return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parsed = nlohmann::json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) return 0;
  hostarray::Request request;
  try {
    request = hostarray::requestFromJson(parsed);
  } catch (const hostarray::JsonFormatError&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
  for (const hostarray::ArrayPtr& input : request.inputs) {
    const std::string text = written(input.get());
    const auto again = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (again.is_discarded()) std::abort();
    // Throws, and so fails the run, if the written text is not a readable array.
    if (written(hostarray::arrayFromJson(again, "written").get()) != text) std::abort();
  }
  return 0;
}

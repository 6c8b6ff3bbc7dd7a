// Feeds random bytes to the script reader and the transcript's text rules. A refused
// script (ScriptError) is a fine outcome; a crash, a leak or undefined behaviour is a
// finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/scripted/script.h"
#include "platform/scripted/transcript_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tarvex::Script script = tarvex::Script::parse(text);
  try {
    tarvex::checkVerbs(script);
  } catch (const tarvex::ScriptError&) {
  }
  while (!script.atEnd()) {
    const tarvex::ScriptLine& line = script.take();
    const tarvex::Verb verb = tarvex::splitVerb(line.text);
    if (const auto formLine = tarvex::splitFormLine(line.text)) tarvex::splitVerb(formLine->line);
    tarvex::describe(line);
    static_cast<void>(verb);
  }
  tarvex::transcriptText(text);
  tarvex::transcriptQuoted(text);
  tarvex::transcriptLine(text);
  return 0;
}

#include "platform/scripted/transcript_text.h"

namespace tarvex {

namespace {

// A byte no text may show as it is: a control character (tab aside) or DEL.
bool needsEscape(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

void appendEscaped(std::string& out, char c) {
  if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else {
    static constexpr char kHex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
  }
}

// Text on one line; in a quoted field, quotes and backslashes get a backslash too.
void appendVisible(std::string& out, std::string_view text, bool quoted) {
  for (char c : text) {
    if (quoted && (c == '"' || c == '\\'))
      (out += '\\') += c;
    else if (needsEscape(c))
      appendEscaped(out, c);
    else
      out += c;
  }
}

}  // namespace

std::string transcriptQuoted(std::string_view text) {
  std::string out = "\"";
  appendVisible(out, text, true);
  return out + "\"";
}

std::string transcriptText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool lineStart = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // A text line must not pass for an event or an answer of the transcript.
    if (lineStart && (text.substr(i).starts_with("== ") || text.substr(i).starts_with("-> ")))
      out += '\\';
    lineStart = false;
    if (c == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lineStart = true;
    } else if (needsEscape(c)) {
      appendEscaped(out, c);
    } else {
      out += c;
    }
  }
  return out;
}

std::string transcriptLine(std::string_view text) {
  std::string out;
  appendVisible(out, text, false);
  return out;
}

}  // namespace tarvex

#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// How texts appear in a transcript, so that no text can forge an event line.

// A message or a control's text: every CR LF (or lone CR) becomes a line break. Other
// control characters (tab aside) are written escaped (\n, \r, \xNN), and a line that
// would begin with "== " or "-> " gets a backslash in front.
std::string transcriptText(std::string_view text);

// A quoted field of an event line, quotes included: quotes and backslashes get a
// backslash in front and control characters are escaped.
std::string transcriptQuoted(std::string_view text);

// A text on one line: control characters escaped.
std::string transcriptLine(std::string_view text);

}  // namespace tarvex

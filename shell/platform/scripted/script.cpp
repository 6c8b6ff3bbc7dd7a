#include "platform/scripted/script.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/run_time_error.h"
#include "platform/scripted/transcript_text.h"
#include "platform/text_file.h"

namespace tarvex {

Script Script::parse(std::string_view text) {
  // Editors may put a byte-order mark in front and end lines with CR LF, LF or CR alone.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  Script script;
  int number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    ++number;
    std::string line = trimBlanks(raw);
    while (!line.empty() && line.back() == '\t') line.pop_back();
    if (!line.empty() && line.front() != '#') script.lines_.push_back({number, line});
    if (end == text.size()) break;
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return script;
}

Script Script::load(const std::string& path) {
  // Only a regular file of sensible size is a script: a folder reads as nothing, and a
  // device or a huge file would be read without end.
  std::string text;
  try {
    text = readFileBytes(path, kMaxBytes);
  } catch (const RunTimeError& e) {
    if (e.number() == err::kOutOfMemory)
      throw ScriptError("script " + path + " is larger than " + std::to_string(kMaxBytes >> 20) +
                        " MiB");
    if (e.number() == err::kPathFileAccess)
      throw ScriptError("cannot read script " + path + ": it is not a regular file");
    throw ScriptError("cannot read script " + path + ": " + e.description());
  }
  if (text.find('\0') != std::string::npos)
    throw ScriptError("script " + path + " is not a text file");
  return parse(text);
}

Verb splitVerb(std::string_view line) {
  const auto blank = line.find(' ');
  if (blank == std::string_view::npos) return {line, {}};
  return {line.substr(0, blank), line.substr(blank + 1)};
}

std::optional<FormLine> splitFormLine(std::string_view line) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::string_view form = line.substr(0, colon);
  if (form.find(' ') != std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(colon + 1);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return FormLine{form, rest};
}

namespace {

constexpr std::array<std::string_view, 12> kVerbs = {"click",  "tick",  "untick", "select",
                                                     "answer", "input", "open",   "save",
                                                     "cancel", "show",  "state",  "wait"};

void checkVerb(const ScriptLine& line, std::string_view text) {
  const Verb verb = splitVerb(text);
  if (std::find(kVerbs.begin(), kVerbs.end(), verb.word) == kVerbs.end())
    throw ScriptError(describe(line) + ": unknown verb \"" + std::string(verb.word) + "\"");
  if (verb.word == "answer" && verb.rest != "yes" && verb.rest != "no")
    throw ScriptError(describe(line) + ": answer takes yes or no");
}

}  // namespace

void checkVerbs(const Script& script) {
  Script copy = script;
  while (!copy.atEnd()) {
    const ScriptLine& line = copy.take();
    if (auto formLine = splitFormLine(line.text))
      checkVerb(line, formLine->line);
    else
      checkVerb(line, line.text);
  }
}

std::string describe(const ScriptLine& line) {
  return "line " + std::to_string(line.number) + " " + transcriptQuoted(line.text);
}

}  // namespace tarvex

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// A script that cannot be run: unreadable, an unknown verb, a control that does not
// exist. The message names the line. Not a std::exception, so that no error trap of
// the shell mistakes it for a failure of the shell.
class ScriptError {
 public:
  explicit ScriptError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept { return message_.c_str(); }

 private:
  std::string message_;
};

struct ScriptLine {
  int number = 0;  // 1-based line number in the file
  std::string text;
};

// The lines of a script with a read position. Blank lines and '#' lines are dropped
// when the script is parsed, so every line here is an action or an answer.
class Script {
 public:
  // Scripts are small; anything larger is refused unread.
  static constexpr std::size_t kMaxBytes = std::size_t{4} << 20;

  static Script parse(std::string_view text);
  // Reads a script file: a ScriptError when it is not a regular text file of at most
  // kMaxBytes.
  static Script load(const std::string& path);

  bool atEnd() const { return position_ >= lines_.size(); }
  const ScriptLine* peek() const { return atEnd() ? nullptr : &lines_[position_]; }
  const ScriptLine& take() { return lines_.at(position_++); }

 private:
  std::vector<ScriptLine> lines_;
  std::size_t position_ = 0;
};

// The first word of a line and the rest after one blank.
struct Verb {
  std::string_view word;
  std::string_view rest;
};
Verb splitVerb(std::string_view line);

// "frmWait: wait" -> form "frmWait", line "wait". Nothing when the line is not for a form.
struct FormLine {
  std::string_view form;
  std::string_view line;
};
std::optional<FormLine> splitFormLine(std::string_view line);

// Throws ScriptError for a line whose verb the driver does not know.
void checkVerbs(const Script& script);

std::string describe(const ScriptLine& line);

}  // namespace tarvex

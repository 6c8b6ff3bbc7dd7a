#pragma once

#include <optional>
#include <string>

namespace tarvex {

// How a problem was counted: in ErrorCount, in WarningCount, or not at all.
enum class Severity { Error, Warning, Note };

// One problem a check reported, recorded when it was found. `text` is the report line
// exactly as the check shows it, without its line break.
struct Finding {
  std::string file;                    // the file's name as the check was given it
  std::optional<long> line;            // the line number the text gives
  std::optional<std::string> station;  // the station number as read
  std::optional<int> field;            // the field (column) number, counted from 1
  Severity severity = Severity::Error;
  std::string text;
};

}  // namespace tarvex

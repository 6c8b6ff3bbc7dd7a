#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvex {

// How a problem was counted: in ErrorCount, in WarningCount, or not at all.
enum class Severity { Error, Warning, Note };

// One line of a problem that spans many lines of a file (a block of lines counted once).
struct FindingItem {
  std::optional<long> line;             // the line of the file (1: its first line)
  std::optional<std::string> station;   // the station the line gives
  std::optional<std::string> expected;  // the station that belongs on that line
  std::string text;                     // the report's line for it
};

// One problem a check reported, recorded when it was found, and counted once as its
// severity says. `text` is the report line exactly as the check shows it, without its line
// break.
struct Finding {
  std::string file;                    // the file's name as the check was given it
  std::optional<long> line;            // the line of the file: 1 is its first (heading) line
  std::optional<std::string> station;  // the station number as read
  std::optional<int> field;            // the field (column) at fault, counted from 1
  Severity severity = Severity::Error;
  std::string text;
  std::string code = {};                     // a stable kebab-case name of the kind of problem
  std::optional<std::string> expected = {};  // what the check wanted there, where it knows
  std::vector<FindingItem> items = {};       // the lines of a block counted as one problem
};

}  // namespace tarvex

#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "checks/check_context.h"
#include "state/shell_state.h"

namespace tarvex {

// What a batch check found, as its reports show it: rendered from the findings, so that
// every report counts what the others count.
struct BatchResult {
  std::filesystem::path folder;
  const ShellState& state;
  const FileChanges& changes;
  std::vector<std::pair<std::string, std::string>> files;  // key, name (empty: not checked)
  std::vector<std::string> hints;                          // what the user could do next
};

// Text as valid UTF-8: UTF-8 stays as it is; other bytes are read as Latin-1, the tables'
// own code page, so that nothing is dropped.
std::string utf8Text(std::string_view bytes);

// The JSON report.
nlohmann::ordered_json jsonReport(const BatchResult& result);

// Every finding as "FILE:LINE: severity [code] message" (the message on one line), the
// lines of a block below it, then the summary line and the hints.
std::string textReport(const BatchResult& result);

// The findings as tab-separated values with a heading row, one row per finding and one per
// line of a block ("item"), for a spreadsheet.
std::string tsvReport(const BatchResult& result);

// Every rewrite the repairs would make, as a unified diff, then the summary line.
std::string diffReport(const BatchResult& result);

// "region: 12 stations, 0 errors, 2 warnings".
std::string summaryLine(const BatchResult& result);

}  // namespace tarvex

#pragma once

#include <string>
#include <vector>

#include "state/finding.h"

namespace tarvex::testing {

// A finding on one line, to compare whole records at once:
// "file|line|station|field|E, W or N|text", an empty part where there is none.
inline std::string findingText(const Finding& finding) {
  const auto part = [](const auto& value) {
    return value ? std::string("|") + std::to_string(*value) : std::string("|");
  };
  const char severity[] = {'E', 'W', 'N'};
  return finding.file + part(finding.line) + "|" + finding.station.value_or("") +
         part(finding.field) + "|" + severity[static_cast<int>(finding.severity)] + "|" +
         finding.text;
}

inline std::vector<std::string> findingTexts(const std::vector<Finding>& findings) {
  std::vector<std::string> texts;
  for (const Finding& finding : findings) texts.push_back(findingText(finding));
  return texts;
}

}  // namespace tarvex::testing

#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "state/finding.h"

namespace tarvex {

// The water year that contains `today`: it starts on the first of October.
long currentWaterYear(const CalendarDate& today);

// True when `Name` holds the capital letters "DOVL" somewhere.
bool fnNameHasDOVL(std::string_view Name);
// True when `Name` holds `Station` somewhere (exact, case counts).
bool fnNameHasStation(std::string_view Station, std::string_view Name);

// The most lines of one file the check numbers: its line counter has 16 bits, and the
// line after this one ends the check with a failure that says so.
inline constexpr long kMostFlowFileLines = 32767;

// What TestAnnualFlowFile found in one annual flow series file.
struct AnnualFlowResult {
  long ErrFlag = 0;     // errors found
  long WarnFlag = 0;    // warnings found
  std::string OutText;  // the usable lines, joined by CR LF
  // Every error and warning line, in the order found (station left for the caller).
  std::vector<Finding> findings;

  // The error (warning) lines, each ended by CR LF.
  std::string ErrText() const;
  std::string WarnText() const;
};

// Checks an annual flow series file line by line: three tab-separated fields, a
// station, a rising water year up to `waterYear` and a flow that is not negative.
// Messages start with the file's bare name. A failure (the file cannot be read, a
// line too short for the field asked, more than kMostFlowFileLines lines) ends the check
// with one more error line and keeps the usable lines gathered so far.
AnnualFlowResult TestAnnualFlowFile(const std::filesystem::path& file, long waterYear);

}  // namespace tarvex

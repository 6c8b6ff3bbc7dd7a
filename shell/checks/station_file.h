#pragma once

#include <string>

#include "checks/check_context.h"

namespace tarvex {

// The four files that hold one line per station, in site information order.
enum StationFileKind : int { kFlowCharFile = 1, kLP3GFile = 2, kLP3KFile = 3, kLP3sFile = 4 };

// What the check driver decides on after one station file.
struct StationFileOutcome {
  int errorFlag = 0;    // 0; 1 when errors were found; the error number when the check failed
  int warningFlag = 0;  // 0 or 1
};

// Checks one station-matched file (`fileName` as the user chose it, opened in the data
// folder) against the loaded station list: its headings against the flow characteristics
// file, its line count, every line's field count and station. Reports problems in the
// viewer and records each as a finding; when the lines are out of order, asks whether to
// rewrite the file in site information order and does so with the file replaced whole.
//
// Kind 1 (the flow characteristics file) must run first: it sets FileColumnCounts(1) and
// FlowCharHeadings, which kinds 2 to 4 are compared with. The station list is read, never
// changed. ErrorCount and WarningCount only grow.
//
// Findings: the report's problem lines as they were counted (the short heading line is
// not counted: a note); a line without a station number, an error with no report line of
// its own; each line that matches no station and the out-of-order question, warnings (the
// warnings are counted per report, not per line).
//
// A failure (a file that cannot be read, no data line, a rewrite that cannot be written)
// ends the check with a "Sub ReadStationFile" box; errorFlag is then its number, and the
// file is as it was.
StationFileOutcome ReadStationFile(CheckContext& context, const std::string& fileName, int kind);

}  // namespace tarvex

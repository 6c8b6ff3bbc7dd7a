#pragma once

#include <optional>

#include "checks/check_context.h"
#include "platform/run_time_error.h"

namespace tarvex {

// The file that gathers the usable annual flow lines of every station for the engine.
inline constexpr const char* kCompilationFileName = "DOVLAnnualTimeSeries.txt";

struct FlowFilesResult {
  long MissingCount = 0;                // stations without an annual flow series file
  std::optional<RunTimeError> failure;  // what ended the check early, after its box
};

// Finds each station's annual flow series file in the data folder (a name holding
// "DOVL" and the station number), checks every file found, counts and reports the
// missing files, errors and warnings, and writes the compilation file whole. Sets
// FlowFileNames (0 .. StationCount) and FlowFilesChecked (false after a failure).
FlowFilesResult CheckFlowFiles(CheckContext& context);

}  // namespace tarvex

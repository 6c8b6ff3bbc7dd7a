#include "state/state_summary.h"

namespace tarvex {

std::string stateSummary(const ShellState& state) {
  auto flag = [](const char* name, bool value) {
    return std::string(name) + ": " + (value ? "true" : "false") + "\n";
  };
  auto count = [](const char* name, long value) {
    return std::string(name) + ": " + std::to_string(value) + "\n";
  };
  return flag("InputFilesSpecified", state.InputFilesSpecified) +
         flag("InputFilesChecked", state.InputFilesChecked) +
         flag("TARVEXHasRun", state.TARVEXHasRun) +
         flag("FlowFilesChecked", state.FlowFilesChecked) + count("ErrorCount", state.ErrorCount) +
         count("WarningCount", state.WarningCount) + count("StationCount", state.StationCount);
}

}  // namespace tarvex

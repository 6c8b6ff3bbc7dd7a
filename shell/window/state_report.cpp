#include "window/state_report.h"

namespace tarvex {

std::string stateReport(const MainWindow& window) {
  auto flag = [](const char* name, bool value) {
    return std::string(name) + ": " + (value ? "true" : "false") + "\n";
  };
  auto count = [](const char* name, long value) {
    return std::string(name) + ": " + std::to_string(value) + "\n";
  };
  const ShellState& state = window.state();
  return flag("InputFilesSpecified", window.InputFilesSpecified) +
         flag("InputFilesChecked", window.InputFilesChecked) +
         flag("TARVEXHasRun", window.TARVEXHasRun) +
         flag("FlowFilesChecked", window.FlowFilesChecked) + count("ErrorCount", state.ErrorCount) +
         count("WarningCount", state.WarningCount) + count("StationCount", state.StationCount);
}

}  // namespace tarvex

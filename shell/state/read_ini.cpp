#include "state/read_ini.h"

#include "platform/error_trap.h"
#include "platform/text_file.h"

namespace tarvex {

std::optional<RunTimeError> ReadINI(Desktop& desktop, ShellState& state, ShellReport& report) {
  auto error = trapped([&] {
    const auto lines = readTextLines(state.ShellDirectory + kIniFileName);
    std::string* const values[] = {&state.TARVEXExeName, &state.TARVEXCtfName,
                                   &state.TARVEXFolderName};
    std::size_t valueLine = 0;
    for (const std::string& line : lines) {
      if (!line.empty() && line.front() == '#') continue;
      if (valueLine < std::size(values)) *values[valueLine] = trimBlanks(line);
      ++valueLine;
    }
  });
  if (!error) return std::nullopt;
  state.TARVEXExeName = kDefaultExeName;
  state.TARVEXCtfName = kDefaultCtfName;
  report.addError();
  desktop.msgBox(trapMessage(TrapText::Sub, *error), kCritical, "Sub ReadINI");
  report.addWarning();
  return error;
}

}  // namespace tarvex

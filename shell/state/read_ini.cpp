#include "state/read_ini.h"

#include "platform/error_trap.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {
// Far beyond any real initialization file: an endless one is cut here.
constexpr std::size_t kIniByteLimit = std::size_t{1} << 20;
}  // namespace

std::optional<RunTimeError> ReadINI(Desktop& desktop, ShellState& state, ShellReport& report) {
  auto error = trapped([&] {
    // Only the first three value lines count, so nothing after them is read.
    LineReader file(state.ShellDirectory + kIniFileName, kIniByteLimit);
    std::string* const values[] = {&state.TARVEXExeName, &state.TARVEXCtfName,
                                   &state.TARVEXFolderName};
    std::size_t valueLine = 0;
    for (std::string line; valueLine < std::size(values) && file.next(line);) {
      if (!line.empty() && line.front() == '#') continue;
      *values[valueLine++] = trimBlanks(line);
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

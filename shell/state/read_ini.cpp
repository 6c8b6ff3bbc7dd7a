#include "state/read_ini.h"

#include "platform/error_trap.h"
#include "platform/text_file.h"

namespace tarvex {

void ReadINI(Desktop& desktop, ShellState& state, const std::string& shellDirectory,
             std::string& exeName, std::string& ctfName, short& status, std::string& folderName,
             const std::function<void()>& showCounts) {
  status = 0;
  auto error = trapped([&] {
    const auto lines = readTextLines(shellDirectory + kIniFileName);
    int valueLine = 0;
    for (const std::string& line : lines) {
      if (!line.empty() && line.front() == '#') continue;
      std::string* target = valueLine == 0   ? &exeName
                            : valueLine == 1 ? &ctfName
                            : valueLine == 2 ? &folderName
                                             : nullptr;
      if (target) *target = trimBlanks(line);
      ++valueLine;
    }
  });
  if (!error) return;
  status = static_cast<short>(error->number());
  exeName = kDefaultExeName;
  ctfName = kDefaultCtfName;
  ++state.ErrorCount;
  showCounts();
  desktop.msgBox(trapMessage(TrapText::Sub, *error), kCritical, "Sub ReadINI");
  ++state.WarningCount;
  showCounts();
}

}  // namespace tarvex

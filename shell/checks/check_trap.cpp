#include "checks/check_trap.h"

namespace tarvex {

void reportCheckFailure(CheckContext& context, const std::string& fileName,
                        const std::string& title, const RunTimeError& error) {
  const std::string text = trapMessage(TrapText::Sub, error);
  context.found({fileName, {}, {}, {}, Severity::Error, text, "check-failed"});
  context.desktop.msgBox(text, kCritical, title);
}

}  // namespace tarvex

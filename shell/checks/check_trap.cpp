#include "checks/check_trap.h"

namespace tarvex {

void reportCheckFailure(CheckContext& context, const std::string& fileName,
                        const std::string& title, const RunTimeError& error) {
  const std::string text = trapMessage(TrapText::Sub, error);
  context.countError();
  context.state.Findings.push_back(
      Finding{fileName, std::nullopt, std::nullopt, std::nullopt, Severity::Error, text});
  context.desktop.msgBox(text, kCritical, title);
}

}  // namespace tarvex

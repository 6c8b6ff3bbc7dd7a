#include "platform/error_trap.h"

namespace tarvex {

std::string trapMessage(TrapText text, const RunTimeError& error) {
  const std::string number = std::to_string(error.number());
  if (text == TrapText::Sub) return "Error: " + number + " " + error.description();
  return "Error: " + number + "\r\nType of Error: " + error.description();
}

}  // namespace tarvex

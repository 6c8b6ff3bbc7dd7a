#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "platform/desktop.h"
#include "platform/run_time_error.h"

namespace tarvex {

// The two texts of the shell's error box.
enum class TrapText {
  Sub,    // "Error: 53 File not found"
  Typed,  // "Error: 53" line break "Type of Error: File not found"
};

std::string trapMessage(TrapText text, const RunTimeError& error);

// Runs a routine's body under its error trap. A run-time error or any other
// std::exception ends the body and is returned; ProgramEnd passes through.
template <class Body>
std::optional<RunTimeError> trapped(Body&& body) {
  try {
    std::forward<Body>(body)();
    return std::nullopt;
  } catch (const std::exception& e) {
    return asRunTimeError(e);
  }
}

// The common trap: run the body; on an error show the box (critical unless told
// otherwise) and return the error so the caller can add what its routine needs.
template <class Body>
std::optional<RunTimeError> withErrorBox(Desktop& desktop, TrapText text, const std::string& title,
                                         Body&& body, int style = kCritical) {
  auto error = trapped(std::forward<Body>(body));
  if (error) desktop.msgBox(trapMessage(text, *error), style, title);
  return error;
}

}  // namespace tarvex

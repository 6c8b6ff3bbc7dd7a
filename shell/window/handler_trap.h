#pragma once

#include <string>
#include <utility>

#include "platform/error_trap.h"

namespace tarvex {

// The trap of a handler with no box of its own: the second form titled with the
// handler's name.
template <class Body>
std::optional<RunTimeError> handlerTrap(Desktop& desktop, const std::string& handler, Body&& body) {
  return withErrorBox(desktop, TrapText::Typed, "Error: " + handler, std::forward<Body>(body));
}

}  // namespace tarvex

#pragma once

#include <string>

#include "state/shell_state.h"

namespace tarvex {

// The step flags and counters, one "Name: value" line each, for the `state` verb.
std::string stateSummary(const ShellState& state);

}  // namespace tarvex

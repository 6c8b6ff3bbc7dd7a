#pragma once

#include <string>

#include "window/main_window.h"

namespace tarvex {

// The step flags and counters, one "Name: value" line each, for the `state` verb.
std::string stateReport(const MainWindow& window);

}  // namespace tarvex

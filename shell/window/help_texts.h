#pragma once

#include <string>

namespace tarvex {

struct HelpText {
  std::string title;
  std::string text;
};

// The help box of a "?" button; `hasRun` picks the rerun text of cmdAskRunTARVEX.
// Empty for a name that is no help button.
HelpText helpTextFor(const std::string& button, bool hasRun);

}  // namespace tarvex

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tarvex {

struct CommandLine {
  std::string scriptPath;
  std::string shellDirectory;  // empty: the program's own folder
  std::optional<CalendarDate> date;
};

// Parses the arguments after the program name; a message in `error` when they are off.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

// "2026-12-07" -> a real calendar date; nothing for anything else.
std::optional<CalendarDate> parseIsoDate(const std::string& text);

}  // namespace tarvex

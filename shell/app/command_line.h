#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tarvex {

// What the program was asked to do.
struct CommandLine {
  enum class Mode { Window, Script, Check, Undo, Help, Version };
  Mode mode = Mode::Window;
  std::string text;  // the help or version text

  // --script FILE [--shell-dir DIR] [--date YYYY-MM-DD]
  std::string scriptPath;
  std::string shellDirectory;  // empty: the program's own folder
  std::optional<CalendarDate> date;

  // --check DIR [--matrix] [--matrix-headings] [--flow-files] [--fix] [--json FILE|-]
  //   [--tsv FILE|-] [--date YYYY-MM-DD]
  std::string checkFolder;
  bool matrix = false;
  bool matrixHeadings = false;
  bool flowFiles = false;
  bool fix = false;
  std::optional<std::string> json;
  std::optional<std::string> tsv;
  bool diff = false;

  // --undo DIR [--diff] [--date YYYY-MM-DD]
  std::string undoFolder;
};

// Parses the arguments after the program name; one clear line in `error` when they are off.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

// "2026-12-07" -> a real calendar date; nothing for anything else.
std::optional<CalendarDate> parseIsoDate(const std::string& text);

}  // namespace tarvex

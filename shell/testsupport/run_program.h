#pragma once

#include <string>

namespace tarvex::testing {

struct ProgramResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs a command line through the shell and collects its output and exit code.
ProgramResult runProgram(const std::string& commandLine);

// Quotes an argument for the shell.
std::string shellQuote(const std::string& text);

}  // namespace tarvex::testing

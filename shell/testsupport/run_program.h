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

// The shell program of this build, quoted for a command line.
std::string shellProgram();
// Its path as it is.
std::string shellBinary();
// The build's folder of programs (the shell, the engine, the initialization file).
std::string buildBinDir();
// The project's source folder, for its examples.
std::string sourceDir();

}  // namespace tarvex::testing

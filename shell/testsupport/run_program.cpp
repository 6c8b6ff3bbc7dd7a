#include "run_program.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "temp_dir.h"

namespace tarvex::testing {

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string shellProgram() { return shellQuote(TARVEX_SHELL_BINARY); }
std::string shellBinary() { return TARVEX_SHELL_BINARY; }
std::string buildBinDir() { return TARVEX_BIN_DIR; }
std::string sourceDir() { return TARVEX_SOURCE_DIR; }

ProgramResult runProgram(const std::string& commandLine) {
  TempDir scratch;
  const auto errPath = scratch.path() / "stderr";
  ProgramResult result;
  FILE* pipe =
      ::popen((commandLine + " 2>" + shellQuote(errPath.string()) + " </dev/null").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = scratch.read("stderr");
  return result;
}

}  // namespace tarvex::testing

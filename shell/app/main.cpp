// TARVEXshellv01: the shell. Headless with --script; the window comes with the Qt build.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "app/command_line.h"
#include "platform/run_time_error.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "state/shell_state.h"
#include "state/state_summary.h"
#include "window/main_window.h"

namespace fs = std::filesystem;
using namespace tarvex;

namespace {

constexpr int kUsageError = 2;

fs::path ownFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

int runScript(const CommandLine& command) {
  Script script = Script::load(command.scriptPath);
  checkVerbs(script);
  const fs::path shellDir =
      command.shellDirectory.empty() ? ownFolder() : fs::absolute(command.shellDirectory);
  ScriptedDesktop desktop(std::cout, shellDir, command.date);
  ShellState state;
  MainWindow window(desktop, state);
  ScriptRunner runner(desktop, window, [&state] { return stateSummary(state); });
  try {
    window.load();
    runner.run(script);
    std::cout << "== end\n";
  } catch (const ProgramEnd&) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!command) {
    std::cerr << "TARVEXshellv01: " << error << "\n";
    return kUsageError;
  }
  if (command->scriptPath.empty()) {
    std::cerr << "TARVEXshellv01: this build runs headless only; use --script FILE "
                 "[--shell-dir DIR] [--date YYYY-MM-DD]\n";
    return kUsageError;
  }
  try {
    return runScript(*command);
  } catch (const ScriptError& e) {
    std::cout.flush();
    std::cerr << "TARVEXshellv01: " << e.what() << "\n";
    return kUsageError;
  }
}

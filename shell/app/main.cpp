// TARVEXshellv01: the shell. The window by default; headless with --script; a batch check
// of a data folder with --check.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <new>

#include "app/batch_check.h"
#include "app/command_line.h"
#include "app/undo.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_program.h"
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
constexpr int kSessionFailed = 1;

fs::path ownFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

fs::path shellFolder(const CommandLine& command) {
  if (command.shellDirectory.empty()) return ownFolder();
  std::error_code ec;
  const fs::path folder = fs::absolute(command.shellDirectory, ec);
  if (ec)
    throw ScriptError("cannot find the shell folder \"" + command.shellDirectory +
                      "\": " + ec.message());
  return folder;
}

int runScript(const CommandLine& command) {
  Script script = Script::load(command.scriptPath);
  checkVerbs(script);
  ScriptedDesktop desktop(std::cout, shellFolder(command), command.date);
  ShellState state;
  MainWindow window(desktop, state);
  ScriptRunner runner(desktop, window, [&state] { return stateSummary(state); });
  try {
    window.load();
    runner.run(script);
    std::cout << "== end\n";
  } catch (const ProgramEnd&) {
  }
  if (!std::cout.flush()) throw ScriptError("cannot write the transcript");
  // A session whose start-up failed ran with every step disabled: not a success.
  return window.loadFailed() ? kSessionFailed : 0;
}

int checkFolder(const CommandLine& command) {
  const int status =
      runBatchCheck({command.checkFolder, command.matrix, command.matrixHeadings, command.flowFiles,
                     command.fix, command.diff, command.json, command.tsv, command.date,
                     ::isatty(STDERR_FILENO) == 1 ? &std::cerr : nullptr},
                    std::cout, std::cerr);
  if (!std::cout.flush()) throw ScriptError("cannot write the report");
  return status;
}

int undoRepair(const CommandLine& command) {
  const int status =
      runUndo({command.undoFolder, command.diff, command.date}, std::cout, std::cerr);
  if (!std::cout.flush()) throw ScriptError("cannot write the report");
  return status;
}

int runWindow(const CommandLine& command, int& argc, char** argv) {
  if (auto problem = displayProblem())
    throw ScriptError(*problem + "; to run without a window use --script FILE");
  QtProgram program(argc, argv);
  QtDesktop desktop(shellFolder(command), command.date);
  ShellState state;
  MainWindow window(desktop, state);
  return program.run(desktop, window, [&window] { window.load(); });
}

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// A closed standard stream would let the next file opened take its number, and the
// transcript would land in it. Input and errors fall back to /dev/null; a closed
// output is refused, since the transcript is the session's result.
bool standardStreamsReady() {
  for (int fd : {STDIN_FILENO, STDERR_FILENO})
    if (!isOpen(fd) && ::open("/dev/null", O_RDWR) != fd) return false;
  return isOpen(STDOUT_FILENO);
}

int fail(const std::string& message) {
  std::cout.flush();
  std::cerr << "TARVEXshellv01: " << message << "\n";
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  if (!standardStreamsReady()) return fail("standard output is closed");
  try {
    std::string error;
    const auto command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!command) return fail(error + " (see --help)");
    switch (command->mode) {
      case CommandLine::Mode::Help:
      case CommandLine::Mode::Version:
        std::cout << command->text << "\n";
        return std::cout.flush() ? 0 : fail("cannot write to standard output");
      case CommandLine::Mode::Script:
        return runScript(*command);
      case CommandLine::Mode::Check:
        return checkFolder(*command);
      case CommandLine::Mode::Undo:
        return undoRepair(*command);
      case CommandLine::Mode::Window:
        break;
    }
    return runWindow(*command, argc, argv);
  } catch (const ScriptError& e) {
    return fail(e.what());
  } catch (const std::bad_alloc&) {
    return fail("out of memory");
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("unexpected failure");
  }
}

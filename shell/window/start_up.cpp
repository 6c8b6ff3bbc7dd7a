#include "platform/error_trap.h"
#include "run/file_routines.h"
#include "state/read_ini.h"
#include "window/main_window.h"

namespace tarvex {

namespace {

std::string withTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

// Form_Load: resets the state, finds the shell's folder, reads the initialization
// file and tests for the engine files.
void MainWindow::load() {
  const auto failed = withErrorBox(desktop_, TrapText::Sub, "TARVEX Shell Load", [&] {
    state_.ErrorCount = 0;
    state_.WarningCount = 0;
    state_.InputFilesSpecified = state_.InputFilesChecked = state_.TARVEXHasRun =
        state_.FlowFilesChecked = false;
    std::string message;

    state_.ShellDirectory = withTrailingSlash(desktop_.programFolder().string());
    // The current directory never ends in '/' except at the root.
    std::string current = desktop_.currentDirectory().string();
    state_.WorkingDirectory = current == "/" ? current : current + "/";
    tbDirectory.setText(state_.WorkingDirectory);

    if (!FileExists(state_.ShellDirectory + kIniFileName)) {
      message = std::string("The initialization file ") + kIniFileName +
                " does not exist default values will be used.\r\n";
      state_.TARVEXExeName = kDefaultExeName;
      state_.TARVEXCtfName = kDefaultCtfName;
    } else {
      if (ReadINI(desktop_, state_, *this))
        message = std::string("The initialization file ") + kIniFileName +
                  " is not properly formatted default values will be used.\r\n";
    }

    bool fatal = false;
    if (!FileExists(state_.ShellDirectory + state_.TARVEXExeName)) {
      fatal = true;
      message +=
          "The TARVEX file does not exist in the shell directory. This is a fatal error!\r\n";
    }
    if (!FileExists(state_.ShellDirectory + state_.TARVEXCtfName)) {
      fatal = true;
      message +=
          "The TARVEX control file does not exist in the shell directory. This is a fatal "
          "error!\r\n";
    }

    if (fatal) {
      DisableMyForm();
      desktop_.msgBox(message, kCritical, "Fatal Error Loading Shell:");
    } else if (message.empty()) {
      tbMyStatus.setText("Status: Loaded");
    } else {
      desktop_.msgBox(message, kCritical, "Initialization File Errors:");
    }
  });
  // A start-up that did not finish left the engine untested: as fatal as a missing one.
  if (failed) DisableMyForm();
}

}  // namespace tarvex

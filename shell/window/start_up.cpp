#include <algorithm>

#include "platform/error_trap.h"
#include "run/file_routines.h"
#include "state/read_ini.h"
#include "state/shell_folders.h"
#include "window/main_window.h"

namespace tarvex {

namespace {

// Where a user can put the files, or which folder to name, when none was found.
std::string placesLookedIn(const std::vector<std::string>& folders) {
  std::string text = std::string(kIniFileName) + " was looked for in:\r\n";
  for (const std::string& folder : folders) text += "    " + folder + "\r\n";
  return text +
         "Start the shell with --shell-dir DIR to name the folder that holds it and the "
         "engine.\r\n";
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

    // The program's own folder, or the installed one when only that holds the file.
    const std::vector<std::string> folders = shellFolders(desktop_.programFolder());
    const auto withIni = std::find_if(folders.begin(), folders.end(), [](const std::string& f) {
      return FileExists(f + kIniFileName);
    });
    const bool iniFound = withIni != folders.end();
    state_.ShellDirectory = iniFound ? *withIni : folders.front();
    // The current directory never ends in '/' except at the root.
    std::string current = desktop_.currentDirectory().string();
    state_.WorkingDirectory = current == "/" ? current : current + "/";
    tbDirectory.setText(state_.WorkingDirectory);

    if (!iniFound) {
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
      loadFailed_ = true;
      if (!iniFound) message += placesLookedIn(folders);
      DisableMyForm();
      desktop_.msgBox(message, kCritical, "Fatal Error Loading Shell:");
    } else if (message.empty()) {
      tbMyStatus.setText("Status: Loaded");
    } else {
      desktop_.msgBox(message, kCritical, "Initialization File Errors:");
    }
  });
  // A start-up that did not finish left the engine untested: as fatal as a missing one.
  if (failed) {
    loadFailed_ = true;
    DisableMyForm();
  }
}

}  // namespace tarvex

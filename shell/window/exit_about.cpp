#include "platform/error_trap.h"
#include "run/file_routines.h"
#include "window/about_form.h"
#include "window/main_window.h"

namespace tarvex {

void MainWindow::cmdExit_Click() {
  auto error = trapped([&] {
    tbMyStatus.setText("Status: Exit Program.");
    if (state_.EngineOutputPending && desktop_.programStatus(state_.EngineProgram).running)
      desktop_.msgBox(
          "TARVEX is still running. It goes on after the shell ends, and its files "
          "stay in the data folder, not collected:\r\n" +
              state_.WorkingDirectory,
          kInformation, "TARVEX Is Still Running:");
    // Never clean the shell's own folder, however it is spelled: that would delete
    // the engine itself.
    if (!sameFolder(state_.WorkingDirectory, state_.ShellDirectory) && state_.InputFilesSpecified &&
        state_.InputFilesChecked && ckboxCleanUp.checked())
      CleanUpDir(desktop_, state_, state_.WorkingDirectory);
  });
  if (error)
    desktop_.msgBox(trapMessage(TrapText::Typed, *error) + "\r\nFatal Error on form, try again.",
                    kExclamation, "Error!");
  desktop_.endProgram();
}

void MainWindow::cmdAbout_Click() {
  withErrorBox(
      desktop_, TrapText::Typed, "Error! cmdAbout_Click",
      [&] { desktop_.showModeless(frmAbout()); }, kExclamation);
}

}  // namespace tarvex

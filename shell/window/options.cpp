#include "platform/text_file.h"
#include "window/handler_trap.h"
#include "window/main_window.h"

namespace tarvex {

// The prefix and suffix options exclude each other; both may be clear.
void MainWindow::ckboxSameFilePrefix_Click() {
  handlerTrap(desktop_, "ckboxSameFilePrefix_Click", [&] {
    if (ckboxSameFilePrefix.checked()) ckboxSameFileSuffix.setChecked(false);
  });
}

void MainWindow::ckboxSameFileSuffix_Click() {
  handlerTrap(desktop_, "ckboxSameFileSuffix_Click", [&] {
    if (ckboxSameFileSuffix.checked()) ckboxSameFilePrefix.setChecked(false);
  });
}

void MainWindow::cbUDWMatrix_Click() {
  handlerTrap(desktop_, "cbUDWMatrix_Click", [&] {
    if (!cbUDWMatrix.checked()) {
      tbUDWLS.setEnabled(false);
      tbUDWLS.setText("");
      tbUDWLS.setBackColour(BackColour::InactiveBorder);
      return;
    }
    tbUDWLS.setEnabled(true);
    tbUDWLS.setText(state_.UserWLSFileName);
    tbUDWLS.setBackColour(BackColour::Window);
    if (state_.InputFilesSpecified && trimBlanks(state_.UserWLSFileName).empty()) {
      desktop_.msgBox("Please specify file names to define the User-Defined Matrix file",
                      kInformation, "Note:");
      cmdInputFiles.setFocus();
    }
    // The matrix file must be chosen, so Step 1 has to run again.
    state_.InputFilesSpecified = false;
  });
}

void MainWindow::cbUDMHeadings_Click() {
  handlerTrap(desktop_, "cbUDMHeadings_Click", [&] {
    state_.UserMatrixHasHeadings = cbUDMHeadings.checked();
    if (!state_.InputFilesSpecified) return;
    desktop_.msgBox(cbUDMHeadings.checked()
                        ? "Please make sure you have identified a file with headings."
                        : "Please make sure you have identified a file without headings.",
                    kInformation, "User Defined Matrix");
  });
}

void MainWindow::ckboxCleanUp_Click() {
  handlerTrap(desktop_, "ckboxCleanUp_Click", [&] {
    if (!ckboxCleanUp.checked()) return;
    desktop_.msgBox(
        "Note: Using this option will delete the TARVEX program files from your data directory "
        "when you close the shell",
        kInformation, "Delete TARVEX?");
  });
}

}  // namespace tarvex

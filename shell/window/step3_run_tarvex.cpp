#include "platform/error_trap.h"
#include "run/engine_launch.h"
#include "run/output_name.h"
#include "window/handler_trap.h"
#include "window/main_window.h"
#include "window/wait_form.h"

namespace tarvex {

namespace {

// A rerun collects into a new folder: a fresh default, which the user may replace.
void offerNewOutputName(MainWindow& window) {
  Desktop& desktop = window.desktop();
  const std::string name = defaultOutputName(desktop.today(), window.state().WorkingDirectory);
  window.tbOutputSubdirectory.setText(name);
  if (desktop.msgBox("You have chosen to rerun TARVEX. The default output subdirectory name is "
                     "now:\r\n" +
                         name + "\r\nDo you want to change the default name?",
                     kYesNo, "Change Output Subdirectory?") == MsgAnswer::Yes)
    window.FindOutputDirName();
}

}  // namespace

void MainWindow::cmdRunTARVEX_Click() {
  handlerTrap(desktop_, "cmdRunTARVEX", [&] {
    if (!state_.InputFilesSpecified) {
      desktop_.msgBox("Please specify input file names before trying to run TARVEX", kCritical,
                      "Please Specify Input Filenames:");
      cmdInputFiles.setFocus();
      return;
    }
    if (!state_.InputFilesChecked) {
      desktop_.msgBox("Please check input files before trying to run TARVEX", kCritical,
                      "Please Check Input Files:");
      cmdQAQCFiles.setFocus();
      return;
    }
    const bool withMatrix = cbUDWMatrix.checked();
    if (!prepareEngineRun(desktop_, state_, *this, withMatrix)) return;
    if (state_.TARVEXHasRun) offerNewOutputName(*this);
    const FileTime start = startEngine(desktop_, state_);
    // The user closing the wait form is the only sign that the engine is done.
    desktop_.showModal(frmWait(), this);
    const bool collected =
        CopyFilesToDirectory(desktop_, state_, tbOutputSubdirectory.text(), start, withMatrix);
    state_.TARVEXHasRun = true;
    if (collected) {
      cmdRunTARVEX.setText("Step 3: Rerun TARVEX With Same Input Files");
      tbMyStatus.setText("Status: Successful TARVEX run. Please look at output files");
      cmdOpenOutPutDirectory.setFocus();
    } else {
      tbMyStatus.setText("Status: Unsuccessful TARVEX run. Please look at input and output files.");
    }
  });
}

}  // namespace tarvex

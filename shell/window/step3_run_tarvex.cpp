#include "platform/error_trap.h"
#include "run/engine_launch.h"
#include "run/output_name.h"
#include "window/folder_in_use.h"
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
    // A run left running is collected before any other.
    if (state_.EngineOutputPending) {
      finishEngineRun();
      return;
    }
    const bool withMatrix = cbUDWMatrix.checked();
    auto lock = std::make_unique<FolderLock>(state_.WorkingDirectory);
    if (!dataFolderFree(desktop_, *lock, state_.WorkingDirectory)) return;
    if (!prepareEngineRun(desktop_, state_, *this, withMatrix)) return;
    if (state_.TARVEXHasRun) offerNewOutputName(*this);
    startEngine(desktop_, state_);
    runLock_ = std::move(lock);
    runWithMatrix_ = withMatrix;
    // The user closing the wait form is the sign that the engine is done.
    desktop_.showModal(frmWait(), this);
    finishEngineRun();
  });
}

// After the wait form: an engine still running is waited for or left to run; one that
// ended has its files collected, and its exit status says whether the run succeeded.
void MainWindow::finishEngineRun() {
  ProgramStatus engine = desktop_.programStatus(state_.EngineProgram);
  while (engine.running) {
    state_.TARVEXHasRun = true;
    if (desktop_.msgBox("TARVEX is still running.\r\nDo you want to wait for it to finish?"
                        "\r\nIf not, it goes on running and its output is collected when you "
                        "click the Step 3 button again after it has finished.",
                        kYesNo, "TARVEX Is Still Running:") != MsgAnswer::Yes) {
      tbMyStatus.setText(
          "Status: TARVEX is still running. Click the Step 3 button when it has finished.");
      return;
    }
    desktop_.showModal(frmWait(), this);
    engine = desktop_.programStatus(state_.EngineProgram);
  }
  const bool collected = CopyFilesToDirectory(desktop_, state_, tbOutputSubdirectory.text(),
                                              state_.EngineStart, runWithMatrix_);
  state_.EngineOutputPending = false;
  runLock_.reset();
  state_.TARVEXHasRun = true;
  if (engine.exitStatus != 0) {
    desktop_.msgBox("TARVEX ended with exit status " + std::to_string(engine.exitStatus) + "." +
                        (engine.errorOutput.empty()
                             ? std::string()
                             : "\r\nThe last lines of its error output:\r\n" + engine.errorOutput),
                    kCritical, "TARVEX Run Failed:");
  }
  if (collected && engine.exitStatus == 0) {
    cmdRunTARVEX.setText("Step 3: Rerun TARVEX With Same Input Files");
    tbMyStatus.setText("Status: Successful TARVEX run. Please look at output files");
    cmdOpenOutPutDirectory.setFocus();
  } else {
    tbMyStatus.setText("Status: Unsuccessful TARVEX run. Please look at input and output files.");
  }
}

}  // namespace tarvex

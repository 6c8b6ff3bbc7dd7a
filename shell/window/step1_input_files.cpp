#include "platform/text_file.h"
#include "run/file_routines.h"
#include "run/output_name.h"
#include "window/common_dialog_open.h"
#include "window/handler_trap.h"
#include "window/input_file_names.h"
#include "window/main_window.h"

namespace tarvex {

namespace {

constexpr const char* kSpecificationError = "File specification error";
constexpr const char* kSiteInfoFailureTitle = "Error identifying site information file.";

}  // namespace

void MainWindow::cmdInputFiles_Click() {
  handlerTrap(desktop_, "cmdInputFiles_Click", [&] { specifyInputFiles(); });
}

void MainWindow::specifyInputFiles() {
  if (state_.TARVEXHasRun) {
    desktop_.msgBox(kOnlyOnceText, kInformation, "Only Load Input Files Once:");
    cmdRunTARVEX.setFocus();
    return;
  }
  state_.InputFilesChecked = false;
  state_.InputFilesSpecified = false;
  setStatus("Get file names");
  const bool withMatrix = cbUDWMatrix.checked();
  if (!chooseSiteInfoFile()) return;

  const NameDerivation derivation = deriveNames(
      ckboxSameFilePrefix.checked(), ckboxSameFileSuffix.checked(), state_.SiteInfoFileName);
  if (!nameStationFiles(derivation)) return;
  if (withMatrix) nameMatrixFile(derivation);
  finishInputFiles();
}

// The site information file fixes the data directory, which becomes the current one.
bool MainWindow::chooseSiteInfoFile() {
  setStatus("Get SiteInfo file name");
  const DialogChoice choice =
      CommonDialogOpen(desktop_, *this, "SiteInfo File Name:", "SiteInfo.txt", "  ");
  if (choice.cancelled()) {
    desktop_.msgBox("Please specify a station information file.", kCritical, kSiteInfoFailureTitle);
    return false;
  }
  if (choice.error) {
    addError();
    DisableMyForm();
    desktop_.msgBox("Please close the program and try to re-load the station information file.",
                    kCritical, kSiteInfoFailureTitle);
    cmdExit.setFocus();
    tbSiteInfoFile.setText(kSpecificationError);
    return false;
  }
  state_.SiteInfoFileName = choice.fileName;
  state_.WorkingDirectory = choice.folder;
  tbSiteInfoFile.setText(state_.SiteInfoFileName);
  tbDirectory.setText(state_.WorkingDirectory);
  desktop_.setCurrentDirectory(state_.WorkingDirectory);
  return true;
}

namespace {

// Derives the file's name, or asks for it when it is not to be derived or not there.
// Only the bare name is kept: the file is taken to lie in the data directory.
std::optional<RunTimeError> nameFile(Desktop& desktop, ShellReport& report, ShellState& state,
                                     const InputFile& file, const NameDerivation& derivation) {
  std::string& name = state.*file.variable;
  if (!derivation.askAll) {
    name = derivation.nameFor(file);
    if (FileExists(state.WorkingDirectory + name)) return std::nullopt;
  }
  const DialogChoice choice =
      CommonDialogOpen(desktop, report, file.dialogTitle, file.standardName, "");
  if (!choice.error) name = choice.fileName;
  return choice.error;
}

}  // namespace

bool MainWindow::nameStationFiles(const NameDerivation& derivation) {
  for (std::size_t i = 0; i < kStationFileCount; ++i) {
    const InputFile& file = kInputFiles[i];
    setStatus(file.status);
    if (nameFile(desktop_, *this, state_, file, derivation)) {
      addError();
      DisableMyForm();
      desktop_.msgBox(file.failureText, kCritical, file.failureTitle);
      cmdExit.setFocus();
      fileNameBox(i).setText(kSpecificationError);
      return false;
    }
    fileNameBox(i).setText(state_.*file.variable);
  }
  return true;
}

// A matrix that is not found may be left out, or the program ends.
void MainWindow::nameMatrixFile(const NameDerivation& derivation) {
  const InputFile& file = kInputFiles[kStationFileCount];
  setStatus(file.status);
  if (nameFile(desktop_, *this, state_, file, derivation)) {
    addWarning();
    tbUDWLS.setText(kSpecificationError);
    const MsgAnswer answer = desktop_.msgBox(
        "The user-defined weighting matrix value file was not identified.\r\nwe will proceed "
        "without it unless you close the program and try again.\r\nDo you want to proceed "
        "without this file?",
        kYesNo, "Error identifying user-defined weighting matrix value file.");
    if (answer != MsgAnswer::Yes) desktop_.endProgram();
    // Going on without the matrix: no name may linger for the later steps.
    state_.UserWLSFileName.clear();
    cbUDWMatrix.setChecked(false);
    cbUDWMatrix_Click();
    tbUDWLS.setEnabled(false);
    tbUDWLS.setBackColour(BackColour::InactiveBorder);
  }
  tbUDWLS.setText(state_.UserWLSFileName);
}

void MainWindow::finishInputFiles() {
  state_.InputFilesSpecified = true;
  setStatus("Status: Input files successfuly identified. Click the Step 2 button");
  tbOutputSubdirectory.setText(defaultOutputName(desktop_.today(), state_.WorkingDirectory));
  fitFont(FontFit::Directory);
  fitFont(FontFit::OutputSubdirectory);
  fitFont(FontFit::FileNames);
  cmdQAQCFiles.setFocus();
}

Control& MainWindow::fileNameBox(std::size_t file) {
  const std::array<Control*, kStationFileCount + 1> boxes = {&tbFlowChar, &tbLP3s, &tbLP3K, &tbLP3G,
                                                             &tbUDWLS};
  return *boxes.at(file);
}

}  // namespace tarvex

#include "window/main_window.h"

#include "checks/fix_station_ids_form.h"
#include "platform/error_trap.h"
#include "platform/folder_lock.h"
#include "viewers/information_form.h"
#include "window/about_form.h"
#include "window/wait_form.h"

namespace tarvex {

using K = ControlKind;

MainWindow::MainWindow(Desktop& desktop, ShellState& state)
    : Form("frmTARVEXshell01", "TARVEX v. 01 Shell"),
      cmdOpenOutPutDirectory(add("cmdOpenOutPutDirectory", K::Button,
                                 "Step 4: Open the Output Directory to See Results",
                                 "Open the output directory")),
      tbMyErrors(add("tbMyErrors", K::TextBox, "Errors:", "Current number of errors")),
      tbMyWarnings(add("tbMyWarnings", K::TextBox, "Warnings: ", "Current number of warnings")),
      tbStationCount(add("tbStationCount", K::TextBox, "", "Count of stations in site info file")),
      ListStations(
          add("ListStations", K::ListBox, "", "Station list click on a station to open a file")),
      cmdRunTARVEX(
          add("cmdRunTARVEX", K::Button, "Step 3: Load TARVEX Files and Run TARVEX", "Run TARVEX")),
      cmdAskRunTARVEX(add("cmdAskRunTARVEX", K::Button, "?", "Information about running TARVEX")),
      tbMyStatus(add("tbMyStatus", K::TextBox, "Status:", "Current program status")),
      cmdAskInputFiles(
          add("cmdAskInputFiles", K::Button, "?", "Information about specifying the files")),
      cmdAskQAQCFiles(
          add("cmdAskQAQCFiles", K::Button, "?", "Information about checking the files")),
      cmdQAQCFiles(add("cmdQAQCFiles", K::Button, "Step 2: Check Input Files",
                       "Check input files for organization and content")),
      cmdAskFlowFiles(
          add("cmdAskFlowFiles", K::Button, "?", "Annual flow file selection information")),
      cbDOVLFiles(add("cbDOVLFiles", K::CheckBox, "Use annual flow files for GLS",
                      "Are the annual flow files included for GLS?")),
      cmdAskUDWMatrix(
          add("cmdAskUDWMatrix", K::Button, "?", "User-defined weighting matrix information")),
      cbUDMHeadings(add("cbUDMHeadings", K::CheckBox, "Station number headings in UserWLS",
                        "The user-defined weighting matrix has station-number headings")),
      cbUDWMatrix(add("cbUDWMatrix", K::CheckBox, "User-defined weighting matrix",
                      "Include user-defined weighting matrix file")),
      cmdAskPrefixSuffix(
          add("cmdAskPrefixSuffix", K::Button, "?", "Input file prefix/suffix information")),
      ckboxSameFileSuffix(add("ckboxSameFileSuffix", K::CheckBox, "Standard input file name suffix",
                              "Do the SiteInfo, FlowChar, LP3G, LP3K, and LP3s files have the "
                              "same suffix?")),
      ckboxSameFilePrefix(add("ckboxSameFilePrefix", K::CheckBox, "Standard input file name prefix",
                              "Do the SiteInfo, FlowChar, LP3G, LP3K, and LP3s files have the "
                              "same prefix?")),
      cmdInputFiles(add("cmdInputFiles", K::Button, "Step 1: Specify Input Filenames")),
      CommonDialog1(add("CommonDialog1", K::FileDialog)),
      cmdAskDeleteTempFiles(
          add("cmdAskDeleteTempFiles", K::Button, "?", "Process-file deletion information")),
      ckboxCleanUp(add("ckboxCleanUp", K::CheckBox, "Delete temporary process files?",
                       "Delete process files from your project directory.")),
      cmdExit(add("cmdExit", K::Button, "Exit", "Exit TARVEX v1 Shell")),
      cmdAbout(add("cmdAbout", K::Button, "About", "About TARVEX Shell")),
      frameTab02(add("frameTab02", K::Frame, "", "File information frame")),
      cmdAskChangeOutputSubDir(add("cmdAskChangeOutputSubDir", K::Button, "?")),
      cmdChangeOutputSubDir(add("cmdChangeOutputSubDir", K::Button, "Change Output Subdirectory",
                                "Change the name of the output subdirectory")),
      tbOutputSubdirectory(
          add("tbOutputSubdirectory", K::TextBox, "", "Name of output subdirectory")),
      tbUDWLS(add("tbUDWLS", K::TextBox, "", "Name of user-defined weighting matrix file")),
      tbLP3K(add("tbLP3K", K::TextBox, "", "Name of log-Pearson Type III standard deviate file")),
      tbLP3s(add("tbLP3s", K::TextBox, "",
                 "Name of log-Pearson Type III station standard deviation file")),
      tbLP3G(add("tbLP3G", K::TextBox, "", "Name of log-Pearson Type III station skew file")),
      tbFlowChar(add("tbFlowChar", K::TextBox, "", "Name of flow characteristics file name")),
      tbSiteInfoFile(add("tbSiteInfoFile", K::TextBox, "", "Name of SiteInfo.txt file")),
      tbDirectory(add("tbDirectory", K::TextBox, "Working directory",
                      "Directory containing user-defined input files")),
      desktop_(desktop),
      state_(state) {
  add("lblOutPutSubDir", K::Label, "Output Subdirectory:");
  add("Label7", K::Label, "Weighting Matrix File:");
  add("Label6", K::Label, "Standard Deviate File:");
  add("Label5", K::Label, "Standard Deviation File:");
  add("Label4", K::Label, "Skew File:");
  add("lblFlowChar", K::Label, "Flow Characteristics File:");
  add("lblSiteInfo", K::Label, "Site Information File:");
  add("lblDir", K::Label, "Directory:");
  add("lblStationCount", K::Label, "Stations:");
  add("lblStations", K::Label, "Note: To see the flow file click on a station");
  add("Label3", K::Label, "TARVEX Shell Program Version 1.0 March 2011");
  add("Label1", K::Label, "Please install TARVEX before running this shell.");
  for (const char* box :
       {"BoxFileName", "BoxDOVLFlowFiles", "BoxUserDefinedMatrix", "BoxPrefixSuffix"})
    add(box, K::Shape);

  for (Control* step : {&cmdInputFiles, &cmdQAQCFiles, &cmdRunTARVEX, &cmdOpenOutPutDirectory,
                        &cmdChangeOutputSubDir})
    step->setBold(true);
  ckboxSameFilePrefix.setChecked(true);
  ckboxCleanUp.setChecked(true);
  tbUDWLS.setEnabled(false);
  tbUDWLS.setBackColour(BackColour::InactiveBorder);
  CommonDialog1.setVisible(false);
  bindHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::bindHandlers() {
  cmdInputFiles.onClick = [this] { cmdInputFiles_Click(); };
  cmdQAQCFiles.onClick = [this] { cmdQAQCFiles_Click(); };
  cmdRunTARVEX.onClick = [this] { cmdRunTARVEX_Click(); };
  cmdOpenOutPutDirectory.onClick = [this] { cmdOpenOutPutDirectory_Click(); };
  cmdChangeOutputSubDir.onClick = [this] { cmdChangeOutputSubDir_Click(); };
  ckboxSameFilePrefix.onClick = [this] { ckboxSameFilePrefix_Click(); };
  ckboxSameFileSuffix.onClick = [this] { ckboxSameFileSuffix_Click(); };
  cbUDWMatrix.onClick = [this] { cbUDWMatrix_Click(); };
  cbUDMHeadings.onClick = [this] { cbUDMHeadings_Click(); };
  ckboxCleanUp.onClick = [this] { ckboxCleanUp_Click(); };
  cmdExit.onClick = [this] { cmdExit_Click(); };
  cmdAbout.onClick = [this] { cmdAbout_Click(); };
  ListStations.onClick = [this] { ListStations_Click(); };
  for (Control* ask :
       {&cmdAskPrefixSuffix, &cmdAskFlowFiles, &cmdAskInputFiles, &cmdAskChangeOutputSubDir,
        &cmdAskQAQCFiles, &cmdAskRunTARVEX, &cmdAskDeleteTempFiles, &cmdAskUDWMatrix})
    ask->onClick = [this, ask] { showHelp(*ask); };
}

void MainWindow::showCounts() {
  tbMyErrors.setText("Errors: " + std::to_string(state_.ErrorCount));
  tbMyWarnings.setText("Warnings: " + std::to_string(state_.WarningCount));
}

void MainWindow::setStatus(const std::string& text) { tbMyStatus.setText(text); }

// The status line says which file and how far, no more than ten times a second; the window
// draws itself meanwhile.
void MainWindow::showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) {
  if (!progressPace_.tick()) return;
  if (progressPace_.showing()) {
    if (!statusBeforeProgress_) statusBeforeProgress_ = tbMyStatus.text();
    tbMyStatus.setText(*statusBeforeProgress_ + " - " + progressText(what, done, total));
  }
  desktop_.keepResponsive();
}

void MainWindow::endProgress() {
  progressPace_.restart();
  if (statusBeforeProgress_) tbMyStatus.setText(*statusBeforeProgress_);
  statusBeforeProgress_.reset();
}

void MainWindow::addError() {
  ++state_.ErrorCount;
  showCounts();
}

void MainWindow::addWarning() {
  ++state_.WarningCount;
  showCounts();
}

void MainWindow::showInformation() { desktop_.showModal(frmInformation(), this); }

void MainWindow::DisableMyForm() {
  for (Control* step : {&cmdInputFiles, &cmdQAQCFiles, &cmdRunTARVEX, &cmdOpenOutPutDirectory,
                        &cmdChangeOutputSubDir})
    step->setEnabled(false);
  cmdExit.setFocus();
}

AboutForm& MainWindow::frmAbout() {
  if (!about_) about_ = std::make_unique<AboutForm>(desktop_);
  return *about_;
}

WaitForm& MainWindow::frmWait() {
  if (!wait_) wait_ = std::make_unique<WaitForm>(desktop_);
  return *wait_;
}

FixStationIdsForm& MainWindow::frmFixStationIDs() {
  if (!fixStationIds_) fixStationIds_ = std::make_unique<FixStationIdsForm>(desktop_, state_);
  return *fixStationIds_;
}

void MainWindow::showStationRepair() { desktop_.showModal(frmFixStationIDs(), this); }

InformationForm& MainWindow::frmInformation() {
  if (!information_) information_ = std::make_unique<InformationForm>(desktop_, state_);
  return *information_;
}

}  // namespace tarvex

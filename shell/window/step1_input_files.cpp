#include <array>
#include <filesystem>

#include "platform/text_file.h"
#include "run/file_routines.h"
#include "run/output_name.h"
#include "window/common_dialog_open.h"
#include "window/handler_trap.h"
#include "window/main_window.h"

namespace tarvex {

namespace {

constexpr const char* kSpecificationError = "File specification error";
constexpr const char* kSiteInfoFailureTitle = "Error identifying site information file.";
constexpr long kSiteInfoNameLength = 12;        // "SiteInfo.txt"
constexpr std::size_t kSiteInfoStemLength = 8;  // "SiteInfo"

// One of the files that follow the site information file, in the order they are handled.
struct InputFile {
  const char* standardName;
  const char* stem;
  std::string ShellState::*variable;
  const char* status;
  const char* dialogTitle;
  const char* failureTitle;
  const char* failureText;
};

constexpr std::size_t kMatrixFile = 4;

const std::array<InputFile, 5> kInputFiles = {{
    {"FlowChar.txt", "FlowChar", &ShellState::FlowCharFileName, "Get FlowChar file name",
     "Flow Characteristics File Name:", "Error identifying flow characteristics file.",
     "Please close the program and try to re-load the flow characteristics file."},
    {"LP3s.txt", "LP3s", &ShellState::LP3sFileName, "Get LP3s file name",
     "Log Pearson Type III Standard Deviation File Name:",
     "Error identifying Log Pearson Type III standard deviation file.",
     "Please close the program and try to re-load the Log Pearson Type III standard deviation "
     "file."},
    {"LP3K.txt", "LP3K", &ShellState::LP3KFileName, "Get LP3K file name",
     "Log Pearson Type III K-value File Name:",
     "Error identifying Log Pearson Type III K-value file.",
     "Please close the program and try to re-load the log Pearson type III K-value file."},
    {"LP3G.txt", "LP3G", &ShellState::LP3GFileName, "Get LP3G file name",
     "Log Pearson Type III Skew File Name:",
     "Error identifying the Log Pearson Type III skew file.",
     "Please close the program and try to re-load the Log Pearson Type III skew file."},
    {"UserWLS.txt", "UserWLS", &ShellState::UserWLSFileName, "Get UserWLS file name",
     "User-Defined Weighting Matrix File Name:", "", ""},
}};

Control& boxFor(MainWindow& w, std::size_t file) {
  const std::array<Control*, 5> boxes = {&w.tbFlowChar, &w.tbLP3s, &w.tbLP3K, &w.tbLP3G,
                                         &w.tbUDWLS};
  return *boxes.at(file);
}

// How the other names follow from the site information file's name.
struct Derivation {
  enum { None, Prefix, Suffix } kind = None;
  std::string pattern;
  bool askAll = true;

  std::string nameFor(const InputFile& file) const {
    return kind == Prefix ? pattern + file.standardName : std::string(file.stem) + pattern + ".txt";
  }
};

Derivation deriveNames(const MainWindow& w, const std::string& siteInfoName) {
  // Only the length counts: the name is not tested for "SiteInfo".
  const long extra = static_cast<long>(trimBlanks(siteInfoName).size()) - kSiteInfoNameLength;
  Derivation d;
  if (w.ckboxSameFilePrefix.checked()) {
    d.kind = Derivation::Prefix;
    d.askAll = extra < 0;
    if (extra > 0) d.pattern = siteInfoName.substr(0, static_cast<std::size_t>(extra));
  } else if (w.ckboxSameFileSuffix.checked()) {
    if (extra < 0) throw RunTimeError(err::kInvalidProcedureCall);
    d.kind = Derivation::Suffix;
    d.askAll = false;
    if (siteInfoName.size() > kSiteInfoStemLength)
      d.pattern = siteInfoName.substr(kSiteInfoStemLength, static_cast<std::size_t>(extra));
  }
  return d;
}

// Derives the file's name, or asks for it when it is not to be derived or not there.
// Returns the dialog's status.
short nameFile(MainWindow& w, const InputFile& file, const Derivation& derivation) {
  ShellState& s = w.state();
  std::string& name = s.*file.variable;
  if (!derivation.askAll) {
    name = derivation.nameFor(file);
    if (FileExists(s.WorkingDirectory + name)) return 0;
  }
  short status = 0;
  std::string discardedFolder;
  CommonDialogOpen(w, file.dialogTitle, file.standardName, name, status, "", discardedFolder);
  return status;
}

void specifyInputFiles(MainWindow& w) {
  Desktop& desktop = w.desktop();
  ShellState& s = w.state();
  if (w.TARVEXHasRun) {
    desktop.msgBox(kOnlyOnceText, kInformation, "Only Load Input Files Once:");
    w.cmdRunTARVEX.setFocus();
    return;
  }
  w.InputFilesChecked = false;
  w.InputFilesSpecified = false;
  w.tbMyStatus.setText("Get file names");
  const bool withMatrix = w.cbUDWMatrix.checked();

  w.tbMyStatus.setText("Get SiteInfo file name");
  short status = 0;
  CommonDialogOpen(w, "SiteInfo File Name:", "SiteInfo.txt", s.SiteInfoFileName, status, "  ",
                   s.WorkingDirectory);
  if (status == err::kCancel) {
    desktop.msgBox("Please specify a station information file.", kCritical, kSiteInfoFailureTitle);
    return;
  }
  if (status != 0) {
    w.addError();
    w.DisableMyForm();
    desktop.msgBox("Please close the program and try to re-load the station information file.",
                   kCritical, kSiteInfoFailureTitle);
    w.cmdExit.setFocus();
    w.tbSiteInfoFile.setText(kSpecificationError);
    return;
  }
  w.tbSiteInfoFile.setText(s.SiteInfoFileName);
  w.tbDirectory.setText(s.WorkingDirectory);
  // The data directory is the current directory from here on.
  desktop.setCurrentDirectory(s.WorkingDirectory);

  const Derivation derivation = deriveNames(w, s.SiteInfoFileName);
  for (std::size_t i = 0; i < kMatrixFile; ++i) {
    const InputFile& file = kInputFiles[i];
    w.tbMyStatus.setText(file.status);
    if (nameFile(w, file, derivation) != 0) {
      w.addError();
      w.DisableMyForm();
      desktop.msgBox(file.failureText, kCritical, file.failureTitle);
      w.cmdExit.setFocus();
      boxFor(w, i).setText(kSpecificationError);
      return;
    }
    boxFor(w, i).setText(s.*file.variable);
  }

  if (withMatrix) {
    const InputFile& file = kInputFiles[kMatrixFile];
    w.tbMyStatus.setText(file.status);
    if (nameFile(w, file, derivation) != 0) {
      w.addWarning();
      w.tbUDWLS.setText(kSpecificationError);
      const MsgAnswer answer = desktop.msgBox(
          "The user-defined weighting matrix value file was not identified.\r\nwe will proceed "
          "without it unless you close the program and try again.\r\nDo you want to proceed "
          "without this file?",
          kYesNo, "Error identifying user-defined weighting matrix value file.");
      if (answer != MsgAnswer::Yes) desktop.endProgram();
      // Going on without the matrix: no name may linger for the later steps.
      s.UserWLSFileName.clear();
      w.cbUDWMatrix.setChecked(false);
      w.cbUDWMatrix_Click();
      w.tbUDWLS.setEnabled(false);
      w.tbUDWLS.setBackColour(BackColour::InactiveBorder);
    }
    w.tbUDWLS.setText(s.UserWLSFileName);
  }

  w.InputFilesSpecified = true;
  w.tbMyStatus.setText("Status: Input files successfuly identified. Click the Step 2 button");
  w.tbOutputSubdirectory.setText(defaultOutputName(desktop.today(), s.WorkingDirectory));
  w.fitFont(0);
  w.fitFont(1);
  w.fitFont(2);
  w.cmdQAQCFiles.setFocus();
}

}  // namespace

void CommonDialogOpen(MainWindow& window, const std::string& title,
                      const std::string& suggestedName, std::string& fileName, short& status,
                      const std::string& initialDir, std::string& folder) {
  Desktop& desktop = window.desktop();
  status = 0;
  const auto error = trapped([&] {
    OpenFileRequest request{title, kOpenFilter, 1, suggestedName, {}};
    if (trimBlanks(initialDir).size() > 1) request.initialDir = initialDir;
    while (true) {
      auto chosen = desktop.openFile(request);
      if (!chosen) throw RunTimeError(err::kCancel);
      if (chosen->is_relative()) chosen = desktop.currentDirectory() / *chosen;
      const std::string path = chosen->string();
      fileName = chosen->filename().string();
      folder = path.substr(0, path.size() - fileName.size());
      if (folder.empty() || folder.back() != '/') folder += '/';
      if (FileExists(path)) return;
      desktop.msgBox("Error: Station-List File: \r\n" + fileName + "\r\nDoes Not Exist.",
                     kExclamation, "Error!");
      fileName.clear();
      folder.clear();
    }
  });
  if (!error) return;
  status = static_cast<short>(error->number());
  if (error->number() == err::kCancel) return;
  window.addError();
  desktop.msgBox(trapMessage(TrapText::Sub, *error), kCritical, " Sub CommonDialogOpen ");
}

void MainWindow::cmdInputFiles_Click() {
  handlerTrap(desktop_, "cmdInputFiles_Click", [&] { specifyInputFiles(*this); });
}

}  // namespace tarvex

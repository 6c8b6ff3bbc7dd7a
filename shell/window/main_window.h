#pragma once

#include <memory>
#include <optional>
#include <string>

#include "checks/check_driver.h"
#include "platform/desktop.h"
#include "platform/form.h"
#include "state/progress_pace.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// Steps 1 and 2 refuse with this text once the engine has run.
inline constexpr const char* kOnlyOnceText =
    "Please Rerun TARVEX with the existing files or Exit to reload input files.";

class AboutForm;
class WaitForm;
class InformationForm;
class FixStationIdsForm;
class FolderLock;

// The requests of the font fitting: the directory box, the output subdirectory box,
// the six file-name boxes.
enum class FontFit { Directory, OutputSubdirectory, FileNames };

struct NameDerivation;

// frmTARVEXshell01: the main window. It owns its controls and the shared instances of
// the other forms, carries the click handlers, and shows what the routines below it
// report.
class MainWindow : public Form, public ShellReport, public CheckDriverWindow {
 public:
  MainWindow(Desktop& desktop, ShellState& state);
  ~MainWindow() override;

  Desktop& desktop() { return desktop_; }
  ShellState& state() { return state_; }
  const ShellState& state() const { return state_; }

  // Start-up.
  void load() override;
  // True when the start-up ended fatally (the steps are then disabled).
  bool loadFailed() const { return loadFailed_; }

  // Controls, in creation order.
  Control& cmdOpenOutPutDirectory;
  Control& tbMyErrors;
  Control& tbMyWarnings;
  Control& tbStationCount;
  Control& ListStations;
  Control& cmdRunTARVEX;
  Control& cmdAskRunTARVEX;
  Control& tbMyStatus;
  Control& cmdAskInputFiles;
  Control& cmdAskQAQCFiles;
  Control& cmdQAQCFiles;
  Control& cmdAskFlowFiles;
  Control& cbDOVLFiles;
  Control& cmdAskUDWMatrix;
  Control& cbUDMHeadings;
  Control& cbUDWMatrix;
  Control& cmdAskPrefixSuffix;
  Control& ckboxSameFileSuffix;
  Control& ckboxSameFilePrefix;
  Control& cmdInputFiles;
  Control& CommonDialog1;
  Control& cmdAskDeleteTempFiles;
  Control& ckboxCleanUp;
  Control& cmdExit;
  Control& cmdAbout;
  Control& frameTab02;
  Control& cmdAskChangeOutputSubDir;
  Control& cmdChangeOutputSubDir;
  Control& tbOutputSubdirectory;
  Control& tbUDWLS;
  Control& tbLP3K;
  Control& tbLP3s;
  Control& tbLP3G;
  Control& tbFlowChar;
  Control& tbSiteInfoFile;
  Control& tbDirectory;

  // What the routines report.
  void addError() override;
  void addWarning() override;
  void showCounts() override;
  void setStatus(const std::string& text) override;
  void disableSteps() override { DisableMyForm(); }
  void showInformation() override;
  void showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) override;
  void endProgress() override;
  // How soon and how often progress shows: ten times a second, unless set.
  void setProgressPace(const ProgressPace& pace) { progressPace_ = pace; }

  // What the check driver asks of the window.
  void showStationRepair() override;
  void UpdateStationListBox() override;
  void showSiteInfoFile() override { tbSiteInfoFile.setText(state_.SiteInfoFileName); }
  void focusRunStep() override { cmdRunTARVEX.setFocus(); }

  // Disables the step buttons after a fatal failure and moves the focus to Exit.
  void DisableMyForm();

  // Shrinks the font of a name box (or the six file-name boxes) when the text is long.
  void fitFont(FontFit request);

  // Click handlers.
  void cmdInputFiles_Click();
  void cmdQAQCFiles_Click();
  void logRepairs(const FileChanges& changes);
  void cmdRunTARVEX_Click();
  void finishEngineRun();
  void cmdOpenOutPutDirectory_Click();
  void cmdChangeOutputSubDir_Click();
  void FindOutputDirName();
  void ckboxSameFilePrefix_Click();
  void ckboxSameFileSuffix_Click();
  void cbUDWMatrix_Click();
  void cbUDMHeadings_Click();
  void ckboxCleanUp_Click();
  void cmdExit_Click();
  void cmdAbout_Click();
  void ListStations_Click();

  // The shared instances of the other forms, created on first use.
  AboutForm& frmAbout();
  WaitForm& frmWait();
  InformationForm& frmInformation();
  FixStationIdsForm& frmFixStationIDs();

 private:
  void bindHandlers();
  void showHelp(const Control& button);

  // Step 1, one part each.
  void specifyInputFiles();
  bool chooseSiteInfoFile();
  bool nameStationFiles(const NameDerivation& derivation);
  void nameMatrixFile(const NameDerivation& derivation);
  void finishInputFiles();
  Control& fileNameBox(std::size_t file);

  Desktop& desktop_;
  ShellState& state_;
  ProgressPace progressPace_{std::chrono::milliseconds(0), std::chrono::milliseconds(100)};
  std::optional<std::string> statusBeforeProgress_;  // while the progress shows in its place
  std::unique_ptr<AboutForm> about_;
  std::unique_ptr<WaitForm> wait_;
  std::unique_ptr<InformationForm> information_;
  std::unique_ptr<FixStationIdsForm> fixStationIds_;
  // The data folder's lock, held from the engine's start until its files are collected.
  std::unique_ptr<FolderLock> runLock_;
  bool runWithMatrix_ = false;  // whether the matrix took part in the run being collected
  bool loadFailed_ = false;
};

}  // namespace tarvex

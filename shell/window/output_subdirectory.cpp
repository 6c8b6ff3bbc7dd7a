#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "run/file_routines.h"
#include "run/output_name.h"
#include "window/main_window.h"

namespace tarvex {

namespace {

constexpr const char* kAskNamePrompt =
    "Please enter a user-defined subdirectory name. If you select Cancel the default name will "
    "be used. Subdirectory names are limited to 100 characters. Longer names will be truncated. "
    "Spaced will be replaced with underscores (_) and unacceptable characters will be removed.";
constexpr const char* kNameErrorTitle = "Directory Specification Error:";
constexpr const char* kDefaultUsed = "\r\nThe default will be used";

}  // namespace

void MainWindow::FindOutputDirName() {
  withErrorBox(desktop_, TrapText::Typed, "Error: FindOutputDirName:", [&] {
    if (!state_.InputFilesSpecified) {
      desktop_.msgBox(
          "Please specify input file names before changing the default output subdirectory",
          kCritical, "Please Specify Input Filenames:");
      cmdInputFiles.setFocus();
      return;
    }
    std::string current = tbOutputSubdirectory.text();
    const std::string fresh = defaultOutputName(desktop_.today(), state_.WorkingDirectory);
    if (current.size() < 2) {
      current = fresh;
      tbOutputSubdirectory.setText(current);
    }
    std::string answer =
        trimBlanks(desktop_.inputBox(kAskNamePrompt, "Please Enter Subdirectory Name:", current));
    if (answer.empty()) {
      tbOutputSubdirectory.setText(current);
      return;
    }
    const std::string cleaned = cleanDirName(answer);
    if (cleaned == kEmptyDirNameMarker || cleaned == kBadDirNameMarker) {
      desktop_.msgBox("Error bad directory name: " + cleaned + kDefaultUsed, kCritical,
                      kNameErrorTitle);
      tbOutputSubdirectory.setText(fresh);
      return;
    }
    if (FolderExists(state_.WorkingDirectory + cleaned)) {
      desktop_.msgBox("Error the directory: " + cleaned + " already exists." + kDefaultUsed,
                      kCritical, kNameErrorTitle);
      tbOutputSubdirectory.setText(fresh);
      return;
    }
    tbOutputSubdirectory.setText(cleaned);
  });
}

void MainWindow::cmdChangeOutputSubDir_Click() {
  if (state_.TARVEXHasRun) {
    desktop_.msgBox("Please specify a new output subdirectory by rerunning TARVEX", kInformation,
                    "Please Rerun TARVEX:");
    cmdRunTARVEX.setFocus();
    return;
  }
  FindOutputDirName();
}

}  // namespace tarvex

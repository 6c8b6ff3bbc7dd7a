#include "checks/repair_log.h"
#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "window/folder_in_use.h"
#include "window/handler_trap.h"
#include "window/main_window.h"

namespace tarvex {

void MainWindow::cmdQAQCFiles_Click() {
  // A failure inside the checks leaves the input unverified: Step 1 must run again.
  const auto failed = withErrorBox(desktop_, TrapText::Typed, "Error: cmdQAQCFiles:", [&] {
    if (state_.TARVEXHasRun) {
      desktop_.msgBox(kOnlyOnceText, kInformation, "Only Check Input Files Once:");
      cmdRunTARVEX.setFocus();
      return;
    }
    if (!state_.InputFilesSpecified) {
      desktop_.msgBox("Please specify input file names before trying to check input files ",
                      kCritical, "Please Specify Input Filenames:");
      cmdInputFiles.setFocus();
      return;
    }
    const FolderLock lock(state_.WorkingDirectory);
    if (!dataFolderFree(desktop_, lock, state_.WorkingDirectory)) return;
    CheckContext context{state_, desktop_, *this};
    runInputChecks(context, *this,
                   {cbUDWMatrix.checked(), cbUDMHeadings.checked(), cbDOVLFiles.checked()});
    logRepairs(context.fileChanges());
  });
  if (failed) state_.InputFilesSpecified = false;
}

// The files Step 2 rewrote go into the folder's repair log, so that they can be undone.
void MainWindow::logRepairs(const FileChanges& changes) {
  const auto failure =
      trapped([&] { appendRepairLog(state_.WorkingDirectory, "TARVEXshellv01 window", changes); });
  if (failure)
    desktop_.msgBox(
        "The repair log of the data folder could not be written: " + failure->description() +
            "\r\nThe backups of the rewritten files are "
            "kept all the same.",
        kExclamation, "Repair Log:");
}

void MainWindow::cmdOpenOutPutDirectory_Click() {
  std::string folder;
  auto error = trapped([&] {
    if (!state_.InputFilesSpecified) {
      desktop_.msgBox("You need to specify input files before opening an oputput directory",
                      kInformation, "Please specify input files:");
      return;
    }
    if (state_.TARVEXHasRun) {
      folder = state_.WorkingDirectory + trimBlanks(tbOutputSubdirectory.text());
    } else {
      const MsgAnswer answer = desktop_.msgBox(
          "The output directory has not been created. Do you want to see the input directory?",
          kYesNo, "TARVEX has not Run:");
      if (answer != MsgAnswer::Yes) return;
      folder = state_.WorkingDirectory;
    }
    desktop_.openFolder(folder);
  });
  // The folder's full name, so that the user can open it by other means.
  if (error)
    desktop_.msgBox("This method is not supported on your system configuration. \r\n" +
                        trapMessage(TrapText::Sub, *error) +
                        (folder.empty() ? "" : "\r\nThe folder: " + folder),
                    kCritical, "Open Output File Directory");
}

}  // namespace tarvex

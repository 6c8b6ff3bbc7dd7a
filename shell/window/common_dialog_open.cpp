#include "window/common_dialog_open.h"

#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "run/file_routines.h"

namespace tarvex {

DialogChoice CommonDialogOpen(Desktop& desktop, ShellReport& report, const std::string& title,
                              const std::string& suggestedName, const std::string& initialDir) {
  DialogChoice choice;
  choice.error = trapped([&] {
    OpenFileRequest request{title, kOpenFilter, 1, suggestedName, {}};
    if (trimBlanks(initialDir).size() > 1) request.initialDir = initialDir;
    while (true) {
      auto chosen = desktop.openFile(request);
      if (!chosen) throw RunTimeError(err::kCancel);
      if (chosen->is_relative()) chosen = desktop.currentDirectory() / *chosen;
      const std::string path = chosen->string();
      choice.fileName = chosen->filename().string();
      choice.folder = path.substr(0, path.size() - choice.fileName.size());
      if (choice.folder.empty() || choice.folder.back() != '/') choice.folder += '/';
      if (FileExists(path)) return;
      desktop.msgBox("Error: Station-List File: \r\n" + choice.fileName + "\r\nDoes Not Exist.",
                     kExclamation, "Error!");
      choice.fileName.clear();
      choice.folder.clear();
    }
  });
  if (choice.error && !choice.cancelled()) {
    report.addError();
    desktop.msgBox(trapMessage(TrapText::Sub, *choice.error), kCritical, " Sub CommonDialogOpen ");
  }
  return choice;
}

}  // namespace tarvex

#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/form.h"

namespace tarvex {

// Message box styles and answers, with their classic values.
enum MsgStyle : int { kYesNo = 4, kCritical = 16, kExclamation = 48, kInformation = 64 };
enum class MsgAnswer : int { Ok = 1, Yes = 6, No = 7 };

// A file-open dialog as the shell sets it up.
struct OpenFileRequest {
  std::string title;
  std::string filter;  // "Label|pattern|Label|pattern..."
  int filterIndex = 1;
  std::string fileName;  // suggested name
  std::string initialDir;
};

// A save-file dialog as the shell sets it up.
struct SaveFileRequest {
  std::string title;
  std::string filter;    // as for OpenFileRequest
  std::string fileName;  // suggested name
  std::string initialDir;
};

enum class WindowStyle : int { Normal = 1, Minimized = 2 };

// A program the desktop started, as startProgram names it.
using ProgramId = long;

// What became of a started program.
struct ProgramStatus {
  bool running = false;
  int exitStatus = 0;       // its exit code; 128 + the signal that ended it
  std::string errorOutput;  // the last lines it wrote to its standard error
};

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Everything the shell needs of the desktop: what blocks, what leaves the process,
// and what the surrounding system knows (folders, calendar).
class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual MsgAnswer msgBox(const std::string& prompt, int style, const std::string& title) = 0;
  // The text typed, or empty on Cancel.
  virtual std::string inputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) = 0;
  // The full path chosen, or nothing on Cancel.
  virtual std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) = 0;
  // The full path to write, or nothing on Cancel. The dialog itself asks before a name that
  // is taken is given back.
  virtual std::optional<std::filesystem::path> saveFile(const SaveFileRequest& request) = 0;
  // Puts text (the shell's line breaks) on the clipboard.
  virtual void copyToClipboard(const std::string& text) = 0;

  // Starts a program in a folder without waiting for it.
  virtual ProgramId startProgram(const std::filesystem::path& program,
                                 const std::filesystem::path& folder, WindowStyle style) = 0;
  // Whether a program started here still runs, and how it ended.
  virtual ProgramStatus programStatus(ProgramId program) = 0;
  // Shows a folder in the desktop's file browser.
  virtual void openFolder(const std::filesystem::path& folder) = 0;

  virtual void setBusy(bool busy) = 0;
  // Lets the window draw itself (and be moved) during long work, without taking the user's
  // clicks and keys, which wait until the work is over.
  virtual void keepResponsive() {}

  // Loads the form (its load hook runs) and blocks until it is unloaded.
  virtual void showModal(Form& form, Form* owner) = 0;
  virtual void showModeless(Form& form) = 0;
  virtual void unload(Form& form) = 0;

  virtual std::filesystem::path programFolder() = 0;
  virtual std::filesystem::path currentDirectory() = 0;
  virtual void setCurrentDirectory(const std::filesystem::path& folder) = 0;
  virtual CalendarDate today() = 0;

  // Ends the program at once (throws ProgramEnd after the desktop closed its forms).
  [[noreturn]] virtual void endProgram() = 0;
};

}  // namespace tarvex

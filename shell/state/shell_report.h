#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// What routines below the window tell the user besides message boxes: the error and
// warning counts, the status line, the disabling of the steps after a fatal failure,
// and long reports in the viewer. The main window implements it.
class ShellReport {
 public:
  virtual ~ShellReport() = default;

  // Adds one to ErrorCount (WarningCount) and shows both counts.
  virtual void addError() = 0;
  virtual void addWarning() = 0;
  // Shows "Errors: " and "Warnings: " with the current counts.
  virtual void showCounts() = 0;
  virtual void setStatus(const std::string& text) = 0;
  // Disables the step buttons for the rest of the run and moves the focus to Exit.
  virtual void disableSteps() = 0;
  // Shows InformationText in the paged viewer, modally; returns when it is closed.
  virtual void showInformation() = 0;

  // How far a long piece of work has come: `done` of `total` bytes (or items) of `what`,
  // a file's name. Called often while the work goes on, and endProgress() when it is over;
  // a front end shows it once the work has taken a while, and may show nothing.
  virtual void showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) {
    static_cast<void>(what), static_cast<void>(done), static_cast<void>(total);
  }
  virtual void endProgress() {}
};

}  // namespace tarvex

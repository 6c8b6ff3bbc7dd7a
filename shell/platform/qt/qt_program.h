#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QApplication;

namespace tarvex {

class Form;
class QtDesktop;

// Why the window cannot open here (no display, or one that cannot be reached), or
// nothing when it can. Asked before Qt starts, which would otherwise abort.
std::optional<std::string> displayProblem();

// The Qt side of the window program: the application with the shell's look, and the
// main form's view from start-up to the end of the program.
class QtProgram {
 public:
  QtProgram(int& argc, char** argv);
  ~QtProgram();
  QtProgram(const QtProgram&) = delete;
  QtProgram& operator=(const QtProgram&) = delete;

  // Shows the main form's view, runs `startUp` once the window is up, and returns
  // the exit status when the program has ended.
  int run(QtDesktop& desktop, Form& mainForm, const std::function<void()>& startUp);

 private:
  std::unique_ptr<QApplication> app_;
};

// The look the shell has everywhere (style and a readable font size), for the program
// and for anything that shows its views.
void applyShellLook();

}  // namespace tarvex

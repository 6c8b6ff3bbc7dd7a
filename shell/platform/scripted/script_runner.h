#pragma once

#include <functional>
#include <string>

#include "platform/form.h"
#include "platform/scripted/script.h"
#include "platform/scripted/scripted_desktop.h"

namespace tarvex {

// Runs a script's lines against the main form, and "FORM: LINE" lines against the
// modal form that is showing. Script errors (a control that does not exist) throw
// ScriptError naming the line.
class ScriptRunner {
 public:
  using StatePrinter = std::function<std::string()>;

  ScriptRunner(ScriptedDesktop& desktop, Form& mainForm, StatePrinter printState);

  // Runs every remaining line; returns when the script ends. ProgramEnd passes through.
  void run(Script& script);

 private:
  void act(Form& form, const ScriptLine& line, std::string_view action);
  void select(Form& form, const ScriptLine& line, std::string_view rest);

  ScriptedDesktop& desktop_;
  Form& mainForm_;
  StatePrinter printState_;
};

}  // namespace tarvex

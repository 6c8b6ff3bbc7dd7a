#pragma once

#include <array>
#include <string>

#include "platform/desktop.h"
#include "platform/form.h"
#include "state/shell_state.h"

namespace tarvex {

// frmInformation: shows InformationText, cut into up to seven pages when long.
class InformationForm : public Form {
 public:
  InformationForm(Desktop& desktop, ShellState& state);

  void load() override;
  const Control* transcriptControl() const override { return &tbOutput; }

  void cmdSeeNext_Click();
  void cmdSeePrevious_Click();
  void cmdClose_Click();

  long TextLength = 0;
  long PageCount = 0;
  long CurrentPage = 0;
  std::array<std::string, 8> Pages;
  std::array<long, 8> PageEnds{};

  Control& Label1;
  Control& tbOutput;
  Control& cmdSeePrevious;
  Control& cmdClose;
  Control& cmdSeeNext;

 private:
  Desktop& desktop_;
  ShellState& state_;
};

}  // namespace tarvex

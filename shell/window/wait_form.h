#pragma once

#include "platform/desktop.h"
#include "platform/form.h"

namespace tarvex {

// frmWait: holds the user while the engine runs; closing it says the run is over.
class WaitForm : public Form {
 public:
  explicit WaitForm(Desktop& desktop);
  void cmdClose_Click();

  Control& lblTitle;
  Control& Label1;
  Control& cmdClose;

 private:
  Desktop& desktop_;
};

}  // namespace tarvex

#pragma once

#include "platform/desktop.h"
#include "platform/form.h"

namespace tarvex {

// frmAbout: the program's name, version and credits; shown without blocking.
class AboutForm : public Form {
 public:
  explicit AboutForm(Desktop& desktop);
  Control& cmdClose;

 private:
  Desktop& desktop_;
};

}  // namespace tarvex

#include "window/about_form.h"
#include "window/wait_form.h"

namespace tarvex {

AboutForm::AboutForm(Desktop& desktop)
    : Form("frmAbout", "About TARVEX Shell"),
      cmdClose(add("cmdClose", ControlKind::Button, "Close", "Close This Form")),
      desktop_(desktop) {
  add("imgIcon", ControlKind::Shape);
  add("lblVersion", ControlKind::Label, "TARVEX Shell Program Version 1.0 March 2011");
  add("lblDescription", ControlKind::Label,
      "The TARVEX shell is a program for checking input files and running TARVEX in a "
      "user-specified directory");
  add("lblCredits", ControlKind::Label, "Shell and engine by the TARVEX development team");
  add("lblReference", ControlKind::Label,
      "See the TARVEX user guide for the engine's methods and input files");
  cmdClose.onClick = [this] { desktop_.unload(*this); };
}

WaitForm::WaitForm(Desktop& desktop)
    : Form("frmWait", "RunningTARVEX"),
      lblTitle(add("lblTitle", ControlKind::Label,
                   "Please run TARVEX then close this form. Do not close this form until you "
                   "close TARVEX")),
      Label1(add("Label1", ControlKind::Label,
                 "Note: TARVEX may take a minute to run when it starts in a new directory")),
      cmdClose(add("cmdClose", ControlKind::Button, "Close",
                   "Close this form when you complete the TARVEX Analysis")),
      desktop_(desktop) {
  cmdClose.onClick = [this] { cmdClose_Click(); };
}

void WaitForm::cmdClose_Click() {
  const MsgAnswer answer = desktop_.msgBox(
      "Please do not close this form until you are done using TARVEX.\r\nAre you finished "
      "with TARVEX?",
      kYesNo, "Are You Done with TARVEX?");
  if (answer == MsgAnswer::Yes) desktop_.unload(*this);
}

}  // namespace tarvex

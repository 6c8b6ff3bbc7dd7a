#pragma once

#include "checks/check_context.h"

namespace tarvex {

// The options of the main window that Step 2 reads.
struct CheckOptions {
  bool userMatrix = false;      // a user-defined weighting matrix takes part
  bool matrixHeadings = false;  // the matrix carries station-number headings
  bool flowFiles = false;       // the annual flow series files are checked
};

// What the check driver needs of the main window beyond the reporting interface.
class CheckDriverWindow {
 public:
  virtual ~CheckDriverWindow() = default;
  // Shows the repair form for damaged station numbers, modally.
  virtual void showStationRepair() = 0;
  // Fills the station list and the station count.
  virtual void UpdateStationListBox() = 0;
  // Shows the checked site information file's name.
  virtual void showSiteInfoFile() = 0;
  // Moves the focus to Step 3.
  virtual void focusRunStep() = 0;
};

// How a run of the checks ended.
enum class CheckRunEnd {
  PausedForBackup,   // the user stopped to make copies first; nothing was read
  SiteInfoErrors,    // the site information file has errors: the steps are disabled
  StoppedByUser,     // the user declined to go on after a file with errors
  FlowFilesMissing,  // a station has no annual flow series file
  Completed,         // Step 2 is done (InputFilesChecked), with or without errors
};

// Step 2: checks every input file in order (site information, with its repair, then the
// four station files, the weighting matrix and the annual flow series), asks between
// them whether to go on, and decides on the outcome from ErrorCount.
CheckRunEnd runInputChecks(CheckContext& context, CheckDriverWindow& window,
                           const CheckOptions& options);

}  // namespace tarvex

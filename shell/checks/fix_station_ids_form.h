#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/form.h"
#include "platform/run_time_error.h"
#include "state/shell_state.h"

namespace tarvex {

// frmFixStationIDs: repairs damaged station numbers in memory, in a fixed order of
// steps (leading characters, internal characters, the leading zero of seven-digit
// numbers), then zeros for the stations the user selects. Each repair sets
// StationIDsFixed; the file is rewritten by FixSiteInfo, if the user agrees.
class FixStationIdsForm : public Form {
 public:
  FixStationIdsForm(Desktop& desktop, ShellState& state);

  void load() override;

  void cmdStripLeadingCharacters_Click();
  void cmdStripInternalCharacters_Click();
  void cmdAddLeadingZero_Click();
  void cmdFixIt_Click();
  void cmdClose_Click();
  // Refills the list; the error that stopped it, if any.
  std::optional<RunTimeError> subLoadMyList();

  long SevenDigitCount = 0;
  std::vector<std::string> NumbersBeforeLeadingZero;  // 0 .. StationCount once filled

  Control& tb7Digit;
  Control& tbNoInternal;
  Control& tbNoLeading;
  Control& cmdStripInternalCharacters;
  Control& cmdClose;
  Control& cmdFixIt;
  Control& ListFixStations;
  Control& cmdStripLeadingCharacters;
  Control& cmdAddLeadingZero;

 private:
  // Numbers exactly seven characters long among the working station numbers.
  long countSevenDigits() const;

  Desktop& desktop_;
  ShellState& state_;
};

}  // namespace tarvex

#include "checks/fix_station_ids_form.h"

#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "tables/table_rules.h"

namespace tarvex {

using K = ControlKind;

FixStationIdsForm::FixStationIdsForm(Desktop& desktop, ShellState& state)
    : Form("frmFixStationIDs", "Station Number Correction Form"),
      tb7Digit(add("tb7Digit", K::TextBox, "", "Number of stations with leading-digit problems")),
      tbNoInternal(add("tbNoInternal", K::TextBox, "", "Number with internal character problems")),
      tbNoLeading(add("tbNoLeading", K::TextBox, "", "Number with leading-digit problems")),
      cmdStripInternalCharacters(add("cmdStripInternalCharacters", K::Button,
                                     "Strip Internal Characters From Station Number",
                                     "Strip internal characters from station number")),
      cmdClose(add("cmdClose", K::Button, "Close", "Close this form and return to the program")),
      cmdFixIt(
          add("cmdFixIt", K::Button, "Fix Selected Station Numbers", "Fix the selected stations")),
      ListFixStations(add("ListFixStations", K::ListBox, "", "Select stations to fix")),
      cmdStripLeadingCharacters(add("cmdStripLeadingCharacters", K::Button,
                                    "Strip Leading Characters From Station Number",
                                    "Strip leading characters from station number")),
      cmdAddLeadingZero(add("cmdAddLeadingZero", K::Button,
                            "Add Leading Zero to Seven Digit Stations",
                            "Add leading zero to 7-digit station numbers")),
      desktop_(desktop),
      state_(state) {
  add("Label1", K::Label, "Eight to 14 digit stations:");
  add("Label2", K::Label,
      "To add a leading zero select the station numbers. To select a contiguous group hold the "
      "shift key and click the beginning and the end. To select multiple stations hold the "
      "control key and click the stations. To make the change click \"Fix Selected Station "
      "Numbers\"");
  for (const char* label : {"Label3", "Label4", "lbl3"}) add(label, K::Label, "No:");
  cmdStripLeadingCharacters.onClick = [this] { cmdStripLeadingCharacters_Click(); };
  cmdStripInternalCharacters.onClick = [this] { cmdStripInternalCharacters_Click(); };
  cmdAddLeadingZero.onClick = [this] { cmdAddLeadingZero_Click(); };
  cmdFixIt.onClick = [this] { cmdFixIt_Click(); };
  cmdClose.onClick = [this] { cmdClose_Click(); };
}

// Every showing starts from the form as designed: nothing of an earlier one remains.
void FixStationIdsForm::load() {
  NumbersBeforeLeadingZero.clear();
  ListFixStations.clearItems();
  for (Control* button :
       {&cmdStripLeadingCharacters, &cmdStripInternalCharacters, &cmdAddLeadingZero, &cmdClose})
    button->setEnabled(true);

  // The buttons open one way: leading characters, internal characters, leading zero.
  if (state_.LeadingCharStationCount != 0) {
    cmdStripInternalCharacters.setEnabled(false);
    cmdAddLeadingZero.setEnabled(false);
  } else {
    cmdStripLeadingCharacters.setEnabled(false);
    cmdStripInternalCharacters.setEnabled(state_.InternalCharStationCount != 0);
    cmdAddLeadingZero.setEnabled(state_.InternalCharStationCount == 0 &&
                                 state_.SevenDigitStationCount != 0);
  }
  ListFixStations.setEnabled(false);
  cmdFixIt.setEnabled(false);
  tbNoLeading.setText(std::to_string(state_.LeadingCharStationCount));
  tbNoInternal.setText(std::to_string(state_.InternalCharStationCount));
  tb7Digit.setText(std::to_string(state_.SevenDigitStationCount));
  SevenDigitCount = state_.SevenDigitStationCount;
}

long FixStationIdsForm::countSevenDigits() const {
  long sevenDigits = 0;
  for (long i = 1; i <= state_.StationCount; ++i)
    if (state_.StationNumbers[i].size() == 7) ++sevenDigits;
  return sevenDigits;
}

void FixStationIdsForm::cmdStripLeadingCharacters_Click() {
  withErrorBox(desktop_, TrapText::Sub, "Sub cmdStripLeadingCharacters ", [&] {
    for (long i = 1; i <= state_.StationCount; ++i) {
      std::string& number = state_.StationNumbers[i];
      // Exactly one character goes per station and click.
      if (fnHasNonDigit(number, 0) && trimBlanks(number).size() > 1) {
        number.erase(0, 1);
        --state_.LeadingCharStationCount;
      }
    }
    SevenDigitCount = countSevenDigits();
    tbNoLeading.setText(std::to_string(state_.LeadingCharStationCount));
    tb7Digit.setText(std::to_string(SevenDigitCount));
    if (state_.InternalCharStationCount > 0) {
      cmdStripInternalCharacters.setEnabled(true);
      cmdStripInternalCharacters.setFocus();
    } else if (SevenDigitCount > 0) {
      cmdAddLeadingZero.setEnabled(true);
      cmdAddLeadingZero.setFocus();
    } else {
      cmdClose.setFocus();
    }
    state_.StationIDsFixed = true;
    cmdStripLeadingCharacters.setEnabled(false);
  });
}

void FixStationIdsForm::cmdStripInternalCharacters_Click() {
  withErrorBox(desktop_, TrapText::Sub, "Sub cmdStripInternalCharacters ", [&] {
    for (long i = 1; i <= state_.StationCount; ++i) {
      std::string& number = state_.StationNumbers[i];
      if (trimBlanks(number).size() > 1 && fnHasNonDigit(number, 1)) {
        std::erase_if(number, [](char c) { return c < '0' || c > '9'; });
        --state_.InternalCharStationCount;
      }
    }
    SevenDigitCount = countSevenDigits();
    tbNoInternal.setText(std::to_string(state_.InternalCharStationCount));
    tb7Digit.setText(std::to_string(SevenDigitCount));
    if (SevenDigitCount < 1) {
      cmdClose.setFocus();
    } else {
      cmdAddLeadingZero.setEnabled(true);
      cmdAddLeadingZero.setFocus();
    }
    state_.StationIDsFixed = true;
    cmdStripInternalCharacters.setEnabled(false);
  });
}

void FixStationIdsForm::cmdAddLeadingZero_Click() {
  withErrorBox(desktop_, TrapText::Sub, "Sub cmdAddLeadingZero", [&] {
    NumbersBeforeLeadingZero.assign(static_cast<std::size_t>(state_.StationCount) + 1, {});
    if (SevenDigitCount >= 1) {
      for (long i = 1; i <= state_.StationCount; ++i) {
        std::string& number = state_.StationNumbers[i];
        NumbersBeforeLeadingZero[i] = number;
        if (number.size() == 7) {
          number = "0" + number;
          --SevenDigitCount;
        }
      }
    }
    ListFixStations.setEnabled(true);
    if (subLoadMyList()) {
      ListFixStations.setEnabled(false);
      cmdFixIt.setEnabled(false);
    } else {
      ListFixStations.setFocus();
      cmdFixIt.setEnabled(true);
    }
    state_.StationIDsFixed = true;
    state_.SevenDigitStationCount = SevenDigitCount;
    tb7Digit.setText(std::to_string(state_.SevenDigitStationCount));
    cmdAddLeadingZero.setEnabled(false);
  });
}

std::optional<RunTimeError> FixStationIdsForm::subLoadMyList() {
  return withErrorBox(desktop_, TrapText::Sub, "Sub subLoadMyList", [&] {
    ListFixStations.clearItems();
    // Offered: every station the automatic zero did not repair.
    for (long i = 1; i <= state_.StationCount; ++i) {
      const auto at = static_cast<std::size_t>(i);
      if (at >= NumbersBeforeLeadingZero.size()) break;
      const std::string& before = NumbersBeforeLeadingZero[at];
      if (!before.empty() && before.size() != 7) ListFixStations.addItem(state_.StationNumbers[i]);
    }
  });
}

void FixStationIdsForm::cmdFixIt_Click() {
  withErrorBox(desktop_, TrapText::Sub, "Sub cmdFixIt", [&] {
    for (int k = 0; k < ListFixStations.itemCount(); ++k) {
      const std::string& item = ListFixStations.items()[static_cast<std::size_t>(k)];
      // An item that already starts with a zero never gets a second one.
      if (!ListFixStations.selected(k) || item.starts_with('0')) continue;
      state_.StationIDsFixed = true;
      for (long i = 1; i <= state_.StationCount; ++i) {
        if (state_.StationNumbers[i] != item) continue;
        state_.StationNumbers[i] = "0" + state_.StationNumbers[i];
        break;
      }
    }
    if (subLoadMyList() || ListFixStations.itemCount() == 0) {
      cmdClose.setEnabled(true);
      cmdClose.setFocus();
      cmdFixIt.setEnabled(false);
      ListFixStations.setEnabled(false);
    } else {
      ListFixStations.setFocus();
    }
  });
}

void FixStationIdsForm::cmdClose_Click() { desktop_.unload(*this); }

}  // namespace tarvex

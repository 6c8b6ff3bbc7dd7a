#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/desktop.h"

namespace tarvex {

struct BatchCheck {
  std::string folder;
  bool matrix = false;
  bool matrixHeadings = false;
  bool flowFiles = false;
  bool fix = false;
  bool diff = false;  // the repairs as --fix would make them, shown as diffs, nothing written
  std::optional<std::string> json{};   // a file, or "-" for standard output
  std::optional<std::string> tsv{};    // likewise, the findings as a table
  std::optional<CalendarDate> date{};  // the date of backup names; today by default
  std::ostream* progress = nullptr;    // a terminal, for a line on how far long work has come
};

inline constexpr int kNoErrors = 0;
inline constexpr int kErrorsFound = 1;
inline constexpr int kCannotCheck = 2;

// Step 1 with the standard names on a data folder (found in any letter case), then the
// checks of Step 2 in the driver's order, with no window and no question: a question
// that would rewrite a file is answered Yes with `fix` (each file backed up first) and No
// without it, when nothing at all is written. The findings go to `out` as text (or the JSON
// or TSV report, given "-"); why the check could not run goes to `err`. Returns kNoErrors,
// kErrorsFound or kCannotCheck.
int runBatchCheck(const BatchCheck& check, std::ostream& out, std::ostream& err);

}  // namespace tarvex

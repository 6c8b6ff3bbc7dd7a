#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/desktop.h"

namespace tarvex {

struct UndoRequest {
  std::string folder;
  bool diff = false;                 // show what would be put back; write nothing
  std::optional<CalendarDate> date;  // the date of backup names; today by default
};

// Puts back the files of the last repair run of the folder's repair log that no undo has
// put back yet, each from the backup the run made, where the file still holds what the run
// wrote; a file changed since is left alone and named. The undo backs up what it replaces
// and is logged like any rewrite, under the folder's lock. Returns 0 when every file was
// put back, 1 when some were left alone, 2 when there is nothing to undo or the folder
// cannot be used (one line on `err`).
int runUndo(const UndoRequest& request, std::ostream& out, std::ostream& err);

}  // namespace tarvex

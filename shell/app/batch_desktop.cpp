#include "app/batch_desktop.h"

#include <array>
#include <string_view>

#include "checks/fix_station_ids_form.h"
#include "platform/local_system.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

// Questions whose Yes rewrites a file of the data folder.
constexpr std::array<const char*, 5> kRewriteQuestions = {
    "Fix station numbers?", "Lines out of order",
    "Overwrite USERWLS.txt:", "Line Ends:", "Byte-Order Mark:"};

}  // namespace

MsgAnswer BatchDesktop::msgBox(const std::string&, int style, const std::string& title) {
  if ((style & 7) != kYesNo) return MsgAnswer::Ok;
  for (const char* question : kRewriteQuestions)
    if (title == question) return fix_ ? MsgAnswer::Yes : MsgAnswer::No;
  // "... Error:" asks whether to go on checking the other files: always.
  return std::string_view(title).ends_with("Error:") ? MsgAnswer::Yes : MsgAnswer::No;
}

ProgramId BatchDesktop::startProgram(const fs::path&, const fs::path&, WindowStyle) {
  throw RunTimeError(err::kPermissionDenied);
}

void BatchDesktop::showModal(Form& form, Form*) {
  form.setLoaded(true);
  form.load();
  form.setLoaded(false);
}

fs::path BatchDesktop::currentDirectory() { return tarvex::currentDirectory(); }

void BatchDesktop::setCurrentDirectory(const fs::path& folder) {
  tarvex::setCurrentDirectory(folder);
}

CalendarDate BatchDesktop::today() { return date_.value_or(localDate()); }

void BatchDesktop::endProgram() { throw ProgramEnd{}; }

// One line, rewritten in place, on the terminal: nothing when the output is not one.
void BatchWindow::showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) {
  if (!progress_ || !progressPace_.tick() || !progressPace_.showing()) return;
  const std::string line = "TARVEXshellv01: checking " + progressText(what, done, total);
  *progress_ << '\r' << line
             << std::string(progressShown_ > line.size() ? progressShown_ - line.size() : 0, ' ')
             << std::flush;
  progressShown_ = line.size();
}

// The quiet second counts from the start of the whole check, not of each file.
void BatchWindow::endProgress() {
  if (!progress_ || progressShown_ == 0) return;
  *progress_ << '\r' << std::string(progressShown_, ' ') << '\r' << std::flush;
  progressShown_ = 0;
}

// Strip leading characters, strip internal characters, add the leading zero: each step the
// form opens, in its order.
void BatchWindow::showStationRepair() {
  if (!fix_) return;
  FixStationIdsForm form(desktop_, state_);
  form.load();
  for (Control* step :
       {&form.cmdStripLeadingCharacters, &form.cmdStripInternalCharacters, &form.cmdAddLeadingZero})
    if (step->enabled()) form.click(*step);
}

}  // namespace tarvex

#include "viewers/information_form.h"

#include <algorithm>

#include "platform/error_trap.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {

constexpr long kMiddlePage = 63999;  // a later window starts after the previous break
constexpr const char* kSplitError = "fnSplitString Error";
constexpr const char* kReportName = "TARVEX report.txt";

}  // namespace

std::string fnSplitString(std::string_view text, long start, long end) {
  const long length = end - start + 1;
  if (start < 1 || length < 0) return kSplitError;
  const auto size = static_cast<long>(text.size());
  if (start > size) return {};
  return std::string(text.substr(start - 1, std::min(length, size - start + 1)));
}

long fnFindLineBreak(std::string_view text, long start, long end) {
  const auto size = static_cast<long>(text.size());
  // No pair can start after the text's second-to-last character.
  for (long i = std::min(end - 1, size - 1); i >= std::max(start, 1L); --i)
    if (text[i - 1] == '\r' && text[i] == '\n') return i + 1;
  return end;
}

long pageCountFor(long length) {
  static constexpr std::array<long, 6> kUpperBounds = {64000,  127500, 191000,
                                                       254500, 318000, 381500};
  if (length <= kUpperBounds[0]) return 0;
  for (std::size_t k = 1; k < kUpperBounds.size(); ++k)
    if (length <= kUpperBounds[k]) return static_cast<long>(k) + 1;
  return InformationForm::kMaxPages;
}

InformationForm::InformationForm(Desktop& desktop, ShellState& state)
    : Form("frmInformation", "Output Information"),
      Label1(add("Label1", ControlKind::Label, "Output:")),
      tbOutput(add("tbOutput", ControlKind::TextBox, "",
                   "Output information can be copied & pasted to another application")),
      cmdSeePrevious(add("cmdSeePrevious", ControlKind::Button, "See Previous Part of Output")),
      cmdSave(
          add("cmdSave", ControlKind::Button, "Save...", "Save the whole output to a text file")),
      cmdCopy(
          add("cmdCopy", ControlKind::Button, "Copy", "Copy the whole output to the clipboard")),
      cmdClose(add("cmdClose", ControlKind::Button, "Close",
                   "Close this form and return to the main program")),
      cmdSeeNext(add("cmdSeeNext", ControlKind::Button, "See Next Part of Output")),
      desktop_(desktop),
      state_(state) {
  showPagingButtons(false);
  cmdSeeNext.onClick = [this] { cmdSeeNext_Click(); };
  cmdSeePrevious.onClick = [this] { cmdSeePrevious_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  cmdCopy.onClick = [this] { cmdCopy_Click(); };
  cmdClose.onClick = [this] { cmdClose_Click(); };
}

void InformationForm::showPagingButtons(bool show) {
  for (Control* button : {&cmdSeeNext, &cmdSeePrevious}) {
    button->setVisible(show);
    button->setEnabled(show);
  }
}

void InformationForm::load() {
  // Every show starts afresh, so no part of an earlier text can be reached.
  PageCount = 0;
  CurrentPage = 0;
  Pages.fill({});
  PageEnds.fill(0);
  showPagingButtons(false);

  const std::string& text = state_.InformationText;
  TextLength = static_cast<long>(text.size());
  if (TextLength <= kMaxFirstPage)
    tbOutput.setText(text);
  else
    cutIntoPages(text);
  desktop_.setBusy(false);
}

void InformationForm::cutIntoPages(const std::string& text) {
  PageCount = pageCountFor(TextLength);
  showPagingButtons(true);
  // Windows stop at the text's end: a short last window then gives an empty last part
  // instead of a negative one.
  PageEnds[1] = fnFindLineBreak(text, 1, kMaxFirstPage);
  for (long k = 2; k <= PageCount - 1; ++k) {
    const long start = PageEnds[k - 1] + 1;
    PageEnds[k] = fnFindLineBreak(text, start, std::min(start + kMiddlePage - 1, TextLength));
  }
  Pages[1] = fnSplitString(text, 1, PageEnds[1]);
  for (long k = 2; k <= PageCount - 1; ++k)
    Pages[k] = fnSplitString(text, PageEnds[k - 1] + 1, PageEnds[k]);
  Pages[PageCount] = fnSplitString(text, PageEnds[PageCount - 1] + 1, TextLength);
  CurrentPage = 1;
  tbOutput.setText(Pages[1]);
}

void InformationForm::cmdSeeNext_Click() {
  if (PageCount == 0) return;  // a text shown whole has no parts
  if (CurrentPage >= PageCount) {
    tbOutput.setText(Pages[CurrentPage]);
    desktop_.msgBox("We are showing the last part of the output", kInformation, "End of Output:");
    return;
  }
  ++CurrentPage;
  tbOutput.setText(Pages[CurrentPage]);
}

void InformationForm::cmdSeePrevious_Click() {
  if (PageCount == 0) return;
  if (CurrentPage < 2) {
    tbOutput.setText(Pages[CurrentPage]);
    desktop_.msgBox("We are showing the first part of the output", kInformation, "End of Output:");
    return;
  }
  --CurrentPage;
  tbOutput.setText(Pages[CurrentPage]);
}

std::string InformationForm::wholeText() const {
  if (PageCount == 0) return tbOutput.text();
  std::string text;
  for (long k = 1; k <= PageCount; ++k) text += Pages[k];
  return text;
}

// Written as the shell writes the user's files: whole or not at all. A file that is there
// already was asked about by the dialog.
void InformationForm::cmdSave_Click() {
  const std::optional<std::filesystem::path> path =
      desktop_.saveFile({"Save Output Information", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*",
                         kReportName, state_.WorkingDirectory});
  if (!path) return;
  const std::optional<RunTimeError> error = trapped([&] { replaceFile(*path, wholeText()); });
  if (error)
    desktop_.msgBox("The output was not saved to " + path->string() + std::string(kLineBreak) +
                        trapMessage(TrapText::Sub, *error),
                    kCritical, "Save Output:");
}

void InformationForm::cmdCopy_Click() { desktop_.copyToClipboard(wholeText()); }

void InformationForm::cmdClose_Click() { desktop_.unload(*this); }

}  // namespace tarvex

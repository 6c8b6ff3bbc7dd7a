#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/form.h"
#include "state/shell_state.h"

namespace tarvex {

// Characters `start` .. `end` (1-based, inclusive) of `text`; "fnSplitString Error"
// for a start before the text or a negative length. Positions past the text give
// only the characters that exist.
std::string fnSplitString(std::string_view text, long start, long end);

// The position (1-based) of the line feed of the last CR LF pair lying inside
// `start` .. `end`; `end` when there is none.
long fnFindLineBreak(std::string_view text, long start, long end);

// frmInformation: shows InformationText, cut into up to seven pages when long. The whole
// text, every page of it, can be saved to a file or copied.
class InformationForm : public Form {
 public:
  static constexpr long kMaxFirstPage = 64000;
  static constexpr int kMaxPages = 7;

  InformationForm(Desktop& desktop, ShellState& state);

  void load() override;
  const Control* transcriptControl() const override { return &tbOutput; }

  void cmdSeeNext_Click();
  void cmdSeePrevious_Click();
  void cmdSave_Click();
  void cmdCopy_Click();
  void cmdClose_Click();

  long TextLength = 0;
  long PageCount = 0;
  long CurrentPage = 0;
  std::array<std::string, 8> Pages;
  std::array<long, 8> PageEnds{};

  Control& Label1;
  Control& tbOutput;
  Control& cmdSeePrevious;
  Control& cmdSave;
  Control& cmdCopy;
  Control& cmdClose;
  Control& cmdSeeNext;

 private:
  void showPagingButtons(bool show);
  void cutIntoPages(const std::string& text);
  // The text as loaded: its pages joined, or the text shown whole.
  std::string wholeText() const;

  Desktop& desktop_;
  ShellState& state_;
};

// Number of parts for a text of `length` characters: 0 when it is shown whole.
long pageCountFor(long length);

}  // namespace tarvex

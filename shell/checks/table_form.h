#pragma once

#include <string>
#include <string_view>

#include "checks/check_context.h"

namespace tarvex {

// How a table file is written, beside what it holds: the engine reads lines that end with
// a carriage return, fields split at tabs, and no byte-order mark.
struct TableForm {
  long lineFeedEnds = 0;  // lines ended by a line feed alone
  long returnEnds = 0;    // lines ended by a carriage return (with or without a line feed)
  bool byteOrderMark = false;
  bool commasWithoutTabs = false;  // no tab at all, but commas or semicolons
};

// Examines a table a piece at a time, so that a large one is never held.
class TableFormScan {
 public:
  void add(std::string_view bytes);
  TableForm form() const;

 private:
  TableForm form_;
  std::string start_;  // the first bytes, for the mark
  char last_ = 0;      // the byte before the next piece
  bool tab_ = false;
  bool comma_ = false;
};

TableForm examineTable(std::string_view bytes);

// The bytes with every line ended by CR LF and no UTF-8 byte-order mark.
std::string withWindowsLineEnds(std::string_view bytes);

// Checks the form of a table before its contents: a file with Linux (or mixed) line ends or a
// UTF-8 byte-order mark is offered the rewrite that mends it (backed up first); a file that
// holds commas or semicolons and no tab is told the tables are tab-separated. Each problem
// is one finding: a warning when mended, an error when it stands. False when the contents
// cannot be checked as they are (the caller then counts the file as having errors).
bool checkTableForm(CheckContext& context, const std::string& fileName);

}  // namespace tarvex

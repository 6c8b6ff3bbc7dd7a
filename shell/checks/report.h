#pragma once

#include <string>
#include <vector>

#include "checks/check_context.h"
#include "state/finding.h"

namespace tarvex {

// The report of one check as the viewer shows it: lines, each ended by CR LF. A line
// that reports a problem is a finding, recorded and counted the moment it is added; other
// lines (headings, lists) are plain text.
// "4 lines of LP3G.txt would change." for a rewrite question.
std::string linesWouldChange(std::size_t lines, const std::string& fileName);

class Report {
 public:
  explicit Report(CheckContext& context) : context_(context) {}

  // Records and counts the finding and adds its text as the report's last (or first) line.
  void add(Finding finding);
  void addFront(Finding finding);
  // Adds a line that is no finding.
  void addLine(std::string text);
  void addLineFront(std::string text);

  // The length of the report's text, line breaks included.
  std::size_t length() const { return length_; }
  // The lines, each followed by CR LF.
  std::string text() const;
  void clear();

 private:
  void insert(std::string text, bool front);

  CheckContext& context_;
  std::vector<std::string> lines_;
  std::size_t length_ = 0;
};

}  // namespace tarvex

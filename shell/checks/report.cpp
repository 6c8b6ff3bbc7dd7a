#include "checks/report.h"

#include "platform/text_file.h"

namespace tarvex {

std::string linesWouldChange(std::size_t lines, const std::string& fileName) {
  return std::to_string(lines) + (lines == 1 ? " line of " : " lines of ") + fileName +
         " would change.";
}

void Report::insert(std::string text, bool front) {
  length_ += text.size() + kLineBreak.size();
  lines_.insert(front ? lines_.begin() : lines_.end(), std::move(text));
}

void Report::add(Finding finding) {
  insert(finding.text, false);
  context_.found(std::move(finding));
}

void Report::addFront(Finding finding) {
  insert(finding.text, true);
  context_.found(std::move(finding));
}

void Report::addLine(std::string text) { insert(std::move(text), false); }

void Report::addLineFront(std::string text) { insert(std::move(text), true); }

std::string Report::text() const {
  std::string all;
  all.reserve(length_);
  for (const std::string& line : lines_) (all += line) += kLineBreak;
  return all;
}

void Report::clear() {
  lines_.clear();
  length_ = 0;
}

}  // namespace tarvex

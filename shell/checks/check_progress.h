#pragma once

#include <cstdint>
#include <string>

#include "state/shell_report.h"

namespace tarvex {

// Tells the front end how far a check has come through a file, every so many steps so
// that a loop over millions of values pays nothing for it; ends the telling when it goes.
class CheckProgress {
 public:
  CheckProgress(ShellReport& report, std::string what, std::uint64_t total)
      : report_(report), what_(std::move(what)), total_(total) {}
  ~CheckProgress() { report_.endProgress(); }
  CheckProgress(const CheckProgress&) = delete;
  CheckProgress& operator=(const CheckProgress&) = delete;

  void at(std::uint64_t done) {
    if (++steps_ % kStepsPerReport == 0) report_.showProgress(what_, done, total_);
  }

 private:
  static constexpr unsigned kStepsPerReport = 4;

  ShellReport& report_;
  std::string what_;
  std::uint64_t total_;
  unsigned steps_ = 0;
};

}  // namespace tarvex

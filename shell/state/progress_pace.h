#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvex {

// When to tell the user how far a long piece of work has come: the work shows nothing in
// its first second, so that short work does not flicker, and is looked at no more than ten
// times a second, so that the telling costs nothing.
class ProgressPace {
 public:
  using Clock = std::chrono::steady_clock;

  ProgressPace() = default;
  ProgressPace(Clock::duration quiet, Clock::duration interval)
      : quiet_(quiet), interval_(interval) {}

  // True at most every tenth of a second: time to look at the progress (and to let the
  // window draw itself).
  bool tick() {
    const Clock::time_point now = Clock::now();
    if (!start_) start_ = last_ = now;
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
  }
  // True once the work has gone on for a second.
  bool showing() const { return start_ && last_ - *start_ >= quiet_; }
  // The work is over: the next starts from nothing.
  void restart() { start_.reset(); }

 private:
  Clock::duration quiet_ = std::chrono::seconds(1);
  Clock::duration interval_ = std::chrono::milliseconds(100);
  std::optional<Clock::time_point> start_;
  Clock::time_point last_;
};

// "Matrix.txt: 42%": how far the work on `what` has come.
inline std::string progressText(const std::string& what, std::uint64_t done, std::uint64_t total) {
  const std::uint64_t percent =
      total == 0 ? 100 : std::min<std::uint64_t>(done, total) * 100 / total;
  return what + ": " + std::to_string(percent) + "%";
}

}  // namespace tarvex

#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace tarvex::testing {

// An X server of the test's own (Xvfb), on a display number the server picks itself, so that
// no other server can take it between a choice and the start. The constructor returns once
// the display takes connections, or raises after `wait`; the server stops with the object.
class XvfbDisplay {
 public:
  explicit XvfbDisplay(std::chrono::seconds wait = std::chrono::seconds(60));
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  // ":N", which the constructor has also put into DISPLAY.
  const std::string& name() const { return name_; }

 private:
  void start(std::chrono::seconds wait);
  void stop();

  pid_t server_ = -1;
  std::string name_;
};

}  // namespace tarvex::testing

#include "xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#ifndef TARVEX_XVFB
#define TARVEX_XVFB "Xvfb"
#endif

namespace tarvex::testing {

namespace {

using Clock = std::chrono::steady_clock;

bool accepts(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool reached = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reached;
}

}  // namespace

XvfbDisplay::XvfbDisplay(std::chrono::seconds wait) {
  try {
    start(wait);
  } catch (...) {
    stop();
    throw;
  }
}

XvfbDisplay::~XvfbDisplay() { stop(); }

void XvfbDisplay::start(std::chrono::seconds wait) {
  const auto deadline = Clock::now() + wait;
  int ready[2];
  if (::pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("Xvfb: no pipe");
  server_ = ::fork();
  if (server_ < 0) throw std::runtime_error("Xvfb: cannot fork");
  if (server_ == 0) {
    // The server goes with the test, however the test ends.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // Without close-on-exec: the server writes its display there.
    ::dup2(ready[1], 3);
    ::fcntl(3, F_SETFD, 0);
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    // No reset when the last client leaves: the probe below must not restart the server
    // under the program that connects next.
    ::execlp(TARVEX_XVFB, "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ready[1]);
  // The server writes its display number once it listens.
  std::string number;
  for (char c = 0; c != '\n';) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd readable{ready[0], POLLIN, 0};
    int polled;
    do {
      polled = left.count() > 0 ? ::poll(&readable, 1, static_cast<int>(left.count())) : 0;
    } while (polled < 0 && errno == EINTR);
    if (polled <= 0 || ::read(ready[0], &c, 1) != 1) {
      ::close(ready[0]);
      throw std::runtime_error("Xvfb did not start within " + std::to_string(wait.count()) + " s");
    }
    if (c >= '0' && c <= '9') number += c;
  }
  ::close(ready[0]);
  name_ = ":" + number;
  // And it takes connections.
  while (!accepts(name_)) {
    if (Clock::now() >= deadline)
      throw std::runtime_error("display " + name_ + " took no connection within " +
                               std::to_string(wait.count()) + " s");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::setenv("DISPLAY", name_.c_str(), 1);
}

void XvfbDisplay::stop() {
  if (server_ <= 0) return;
  ::kill(server_, SIGTERM);
  int status = 0;
  ::waitpid(server_, &status, 0);
  server_ = -1;
}

}  // namespace tarvex::testing

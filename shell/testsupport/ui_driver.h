#pragma once

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tarvex::testing {

// Plays a user at a running window from inside its event loop. Each step waits for its
// condition (polled), then acts; an act may block in a box or dialog while the later
// steps go on, as a user's next move does. A step that never becomes ready fails the
// run: the driver notes it and leaves every event loop.
class UiDriver {
 public:
  explicit UiDriver(std::chrono::milliseconds timeout = std::chrono::seconds(30));

  UiDriver& step(std::string what, std::function<bool()> ready, std::function<void()> act);
  // Starts polling; the steps run once an event loop runs.
  void start();

  bool done() const { return next_ == steps_.size(); }
  // The step that timed out, if any.
  const std::string& failure() const { return failure_; }

 private:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void poll();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  std::chrono::milliseconds timeout_;
  std::chrono::steady_clock::time_point deadline_;
  std::string failure_;
  QObject context_;  // pending polls go with the driver
};

// The modal window on top, when it is a T.
template <class T>
T* modalOf() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal && modal->isVisible() ? dynamic_cast<T*>(modal) : nullptr;
}

// A named child of a window, as a T.
template <class T = QWidget>
T* child(QWidget* window, const char* name) {
  return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// Drops the offscreen platform's notes on what it leaves out, which come for every
// window and say nothing a test or picture looks at.
void quietOffscreenPlatform();

// A left click in the middle of a widget, as the mouse gives it.
void clickWidget(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace tarvex::testing

#include "ui_driver.h"

#include <QTest>
#include <QTimer>

namespace tarvex::testing {

namespace {

constexpr int kPollMs = 15;

}  // namespace

UiDriver::UiDriver(std::chrono::milliseconds timeout) : timeout_(timeout) {}

UiDriver& UiDriver::step(std::string what, std::function<bool()> ready, std::function<void()> act) {
  steps_.push_back({std::move(what), std::move(ready), std::move(act)});
  return *this;
}

void UiDriver::start() {
  deadline_ = std::chrono::steady_clock::now() + timeout_;
  // A fresh timer each time: a timer whose slot is blocked in a dialog does not fire
  // again inside that dialog's loop.
  QTimer::singleShot(kPollMs, &context_, [this] { poll(); });
}

void UiDriver::poll() {
  if (done() || !failure_.empty()) return;
  Step& current = steps_[next_];
  if (current.ready()) {
    ++next_;
    deadline_ = std::chrono::steady_clock::now() + timeout_;
    if (!done()) QTimer::singleShot(kPollMs, &context_, [this] { poll(); });
    current.act();
    return;
  }
  if (std::chrono::steady_clock::now() > deadline_) {
    failure_ = "timed out waiting for: " + current.what;
    // Leaves every loop, the dialogs' too; no new one runs until the application's does.
    QCoreApplication::exit(1);
    return;
  }
  QTimer::singleShot(kPollMs, &context_, [this] { poll(); });
}

namespace {

void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  qt_message_output(type, context, message);
}

}  // namespace

void quietOffscreenPlatform() { qInstallMessageHandler(dropPlatformNotes); }

void clickWidget(QWidget* widget, Qt::KeyboardModifiers modifiers) {
  QTest::mouseClick(widget, Qt::LeftButton, modifiers, widget->rect().center());
}

}  // namespace tarvex::testing

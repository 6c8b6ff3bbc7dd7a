#include "platform/qt/qt_program.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/form.h"
#include "platform/qt/form_views.h"
#include "platform/qt/qt_desktop.h"

namespace tarvex {

namespace {

constexpr double kReadablePoints = 11;

}  // namespace

std::optional<std::string> displayProblem() {
  // A platform the user chose (offscreen, vnc...) is taken as it is.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return {};
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return "no display to open the window on (DISPLAY is not set)";
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reached = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (!reached) return "cannot open the display \"" + std::string(display) + "\"";
  return {};
}

void applyShellLook() {
  // One style everywhere, whatever the desktop offers, so the window looks as tested.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  QFont font = QApplication::font();
  if (font.pointSizeF() < kReadablePoints) {
    font.setPointSizeF(kReadablePoints);
    QApplication::setFont(font);
  }
  QApplication::setWindowIcon(shellIcon());
}

namespace {

// Qt ends the process (abort) on a fatal start-up problem, such as a platform plugin that
// cannot be loaded: say it in one line, naming the platform asked for, and end with the
// status of a program that could not start. Qt's lesser messages while it starts are left
// out, so that the one line is all.
void startUpMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type != QtFatalMsg) return;
  std::string line = text.split(QLatin1Char('\n')).first().trimmed().toStdString();
  if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform)
    line += std::string(" (QT_QPA_PLATFORM is \"") + platform + "\")";
  std::fprintf(stderr, "TARVEXshellv01: the window cannot start: %s\n", line.c_str());
  std::fflush(stderr);
  std::_Exit(2);
}

std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
  const QtMessageHandler previous = qInstallMessageHandler(startUpMessages);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  return app;
}

}  // namespace

QtProgram::QtProgram(int& argc, char** argv) : app_(startApplication(argc, argv)) {
  // The program ends through Exit alone, never because its last window went away.
  QApplication::setQuitOnLastWindowClosed(false);
  // Desktops match the window to its installed desktop entry, and so to its icon, by this.
  QApplication::setDesktopFileName(QStringLiteral(TARVEX_APP_ID));
  applyShellLook();
}

QtProgram::~QtProgram() = default;

int QtProgram::run(QtDesktop& desktop, Form& mainForm, const std::function<void()>& startUp) {
  int status = 0;
  {
    MainWindowView view(desktop, mainForm);
    desktop.setMainView(mainForm, &view);
    view.show();
    // Start-up runs in the loop, so its boxes come up over the window.
    QTimer::singleShot(0, &view, [&] { desktop.runHandler(startUp); });
    status = QApplication::exec();
    desktop.closeAllViews();
  }
  return status;
}

}  // namespace tarvex

// The program's window under a real X server of the test's own: it starts, shows the main
// window, runs Step 1 on the demo data through the widgets, and ends through Exit.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_program.h"
#include "run_program.h"
#include "temp_dir.h"
#include "ui_driver.h"
#include "window/main_window.h"
#include "xvfb_display.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

QString boxText(QWidget* window, const char* name) {
  auto* box = child<QLineEdit>(window, name);
  return box ? box->text() : QString("(no box)");
}

TEST(WindowSession, StartUpStepOneThroughTheWidgetsAndExit) {
  ASSERT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb") << "this test runs on an X display";
  const XvfbDisplay display;
  ASSERT_FALSE(displayProblem()) << *displayProblem();
  TempDir data;
  fs::copy(fs::path(sourceDir()) / "examples/demo/data", data.path(), fs::copy_options::recursive);
  const fs::path started = fs::current_path();
  fs::current_path(data.path());

  int argc = 1;
  char name[] = "TARVEXshellv01";
  char* argv[] = {name, nullptr};
  QtProgram program(argc, argv);
  QtDesktop desktop(buildBinDir(), CalendarDate{2026, 12, 7});
  ShellState state;
  MainWindow window(desktop, state);
  QWidget* view = nullptr;
  std::vector<QString> seen;
  UiDriver user(std::chrono::seconds(60));
  user.step(
          "the main window, loaded",
          [&] {
            view = desktop.viewOf(window);
            return view && view->isVisible() && window.tbMyStatus.text() == "Status: Loaded";
          },
          [&] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
            clickWidget(child(view, "cmdInputFiles"));
          })
      .step(
          "the site information dialog", [] { return modalOf<QFileDialog>(); },
          [&] {
            QFileDialog* dialog = modalOf<QFileDialog>();
            seen.push_back(dialog->windowTitle());
            auto* fileName = dialog->findChild<QLineEdit*>("fileNameEdit");
            fileName->clear();
            QTest::keyClicks(fileName, "SiteInfo.txt");
            QTest::keyClick(fileName, Qt::Key_Return);
          })
      .step(
          "Step 1 done",
          [&] { return state.InputFilesSpecified && !QApplication::activeModalWidget(); },
          [&] {
            for (const char* box : {"tbSiteInfoFile", "tbFlowChar", "tbLP3G", "tbLP3s", "tbLP3K",
                                    "tbOutputSubdirectory", "tbMyStatus"})
              seen.push_back(boxText(view, box));
            clickWidget(child(view, "cmdExit"));
          });
  user.start();
  const int status = program.run(desktop, window, [&window] { window.load(); });
  fs::current_path(started);

  EXPECT_EQ(status, 0);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(seen,
            (std::vector<QString>{"SiteInfo File Name:", "SiteInfo.txt", "FlowChar.txt", "LP3G.txt",
                                  "LP3s.txt", "LP3K.txt", "TARVEXOutput-2026-12-07Run001",
                                  "Status: Input files successfuly identified. Click the "
                                  "Step 2 button"}));
  EXPECT_EQ(window.tbMyStatus.text(), "Status: Exit Program.");
  EXPECT_EQ(state.WorkingDirectory, fs::canonical(data.path()).string() + "/");
}

}  // namespace
}  // namespace tarvex::testing

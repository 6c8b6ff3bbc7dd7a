// Takes the README's pictures of the window: the main window after start-up and after
// Steps 1 and 2 on the demo data, the station-number repair form, and the viewer with lines
// wider than itself (Step 2 again, on a wide flow characteristics file out of order). It
// plays the user through the real widgets, offscreen, so no display is needed.
//   shell_screenshots --data DIR --shell-dir DIR --out DIR
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "checks/fix_station_ids_form.h"
#include "platform/qt/form_views.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_program.h"
#include "ui_driver.h"
#include "window/main_window.h"

namespace fs = std::filesystem;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

constexpr CalendarDate kPictureDate{2026, 12, 7};

bool save(QWidget* widget, const fs::path& file) {
  const bool saved = widget->grab().save(QString::fromStdString(file.string()));
  std::cout << (saved ? "wrote " : "could not write ") << file.string() << "\n";
  return saved;
}

// Answers whatever a step asks on its way (questions No, other boxes OK, the report
// viewer closed), for as long as it runs: Step 2 then goes on without a pause for backups.
// A viewer showing the text asked for is taken as a picture before it is closed.
class Answerer {
 public:
  void start() {
    QTimer::singleShot(20, &context_, [this] { answer(); });
  }
  void capture(std::string text, fs::path picture) {
    captureText_ = std::move(text);
    picture_ = std::move(picture);
  }
  bool captured() const { return captured_; }
  bool saved() const { return saved_; }

 private:
  void answer() {
    if (auto* box = modalOf<QMessageBox>()) {
      if (QAbstractButton* no = box->button(QMessageBox::No))
        no->click();
      else
        QTest::keyClick(box, Qt::Key_Return);
    } else if (auto* view = modalOf<FormDialog>()) {
      const Form& form = view->binding().form();
      if (form.name() == "frmInformation") {
        const Control* text = form.find("tbOutput");
        if (!picture_.empty() && text && text->text().find(captureText_) != std::string::npos) {
          saved_ = save(view, picture_);
          captured_ = true;
          picture_.clear();
        }
        clickWidget(view->widget("cmdClose"));
      }
    }
    start();
  }
  QObject context_;
  std::string captureText_;
  fs::path picture_;
  bool captured_ = false;
  bool saved_ = false;
};

// The demo's flow characteristics widened to sixteen columns (the four of the demo and
// the return periods between and beyond them), with two stations out of order.
void wideFlowCharOutOfOrder(const fs::path& file) {
  static constexpr const char* kPeriods[] = {"Q1.25", "Q1.5", "Q2",   "Q2.33", "Q5",
                                             "Q10",   "Q20",  "Q25",  "Q50",   "Q100",
                                             "Q200",  "Q250", "Q500", "Q1000", "Q2000"};
  static constexpr double kOfQ2[] = {0.52, 0.74, 1.0,  1.09, 1.62, 2.05, 2.45, 2.62,
                                     3.12, 3.63, 4.13, 4.30, 4.95, 5.46, 5.96};
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  std::ostringstream wide;
  wide << "Station ID";
  for (const char* period : kPeriods) wide << '\t' << period;
  wide << "\r\n";
  std::vector<std::string> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::istringstream fields(lines[i]);
    std::string station;
    double q2 = 0;
    if (!(fields >> station >> q2)) continue;
    std::ostringstream row;
    row << station;
    for (double factor : kOfQ2) row << '\t' << static_cast<long>(q2 * factor + 0.5);
    rows.push_back(row.str() + "\r\n");
  }
  if (rows.size() > 4) std::swap(rows[2], rows[3]);
  for (const std::string& row : rows) wide << row;
  std::ofstream(file, std::ios::binary | std::ios::trunc) << wide.str();
}

// Station numbers with every kind of damage the repair form mends, and long ones that
// the user picks for a leading zero.
void damagedStations(ShellState& state) {
  state.StationNumbers = {"",        "A8012000",  "08013000",   "0801-4500",
                          "8015500", "801640012", "80170001234"};
  state.StationNumbersAsRead = state.StationNumbers;
  state.StationCount = static_cast<long>(state.StationNumbers.size()) - 1;
  state.LeadingCharStationCount = 1;
  state.InternalCharStationCount = 1;
  state.SevenDigitStationCount = 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, fs::path> options;
  for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  if (options.size() != 3 || !options.contains("--data") || !options.contains("--shell-dir") ||
      !options.contains("--out")) {
    std::cerr << "usage: shell_screenshots --data DIR --shell-dir DIR --out DIR\n";
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  quietOffscreenPlatform();
  const fs::path out = fs::absolute(options["--out"]);
  const fs::path shellDir = fs::absolute(options["--shell-dir"]);
  // A fresh copy under a plain name: the pictures show its folder.
  const fs::path data = fs::temp_directory_path() / "tarvex-demo";
  fs::remove_all(data);
  fs::copy(options["--data"], data, fs::copy_options::recursive);
  fs::current_path(data);

  QtProgram program(argc, argv);
  QtDesktop desktop(shellDir, kPictureDate);
  ShellState state;
  MainWindow window(desktop, state);
  ShellState repairState;
  damagedStations(repairState);
  FixStationIdsForm repair(desktop, repairState);
  Answerer answerer;
  bool saved = true;
  QWidget* view = nullptr;

  UiDriver user(std::chrono::seconds(60));
  user.step(
          "the main window, loaded",
          [&] {
            view = desktop.viewOf(window);
            return view && window.tbMyStatus.text() == "Status: Loaded";
          },
          [&] {
            saved &= save(view, out / "window-start.png");
            for (const char* option : {"cbDOVLFiles", "cbUDWMatrix", "cbUDMHeadings"})
              clickWidget(child(view, option));
            clickWidget(child(view, "cmdInputFiles"));
          })
      .step(
          "the site information dialog", [] { return modalOf<QFileDialog>(); },
          [] {
            auto* name = modalOf<QFileDialog>()->findChild<QLineEdit*>("fileNameEdit");
            name->setText("SiteInfo.txt");
            QTest::keyClick(name, Qt::Key_Return);
          })
      .step(
          "Step 1 done",
          [&] { return state.InputFilesSpecified && !QApplication::activeModalWidget(); },
          [&] {
            answerer.start();
            clickWidget(child(view, "cmdQAQCFiles"));
            saved &= save(view, out / "window-step2.png");
            desktop.runHandler([&] { desktop.showModal(repair, &window); });
          })
      .step(
          "the repair form",
          [] {
            auto* form = modalOf<FormDialog>();
            return form && form->binding().form().name() == "frmFixStationIDs";
          },
          [&] {
            FormDialog* form = modalOf<FormDialog>();
            for (const char* button :
                 {"cmdStripLeadingCharacters", "cmdStripInternalCharacters", "cmdAddLeadingZero"})
              clickWidget(form->widget(button));
            auto* list = qobject_cast<QListWidget*>(form->widget("ListFixStations"));
            for (int row : {2, 3})
              QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                list->visualItemRect(list->item(row)).center());
            saved &= save(form, out / "repair-form.png");
            clickWidget(form->widget("cmdClose"));
          })
      .step(
          "the repair form closed", [] { return !QApplication::activeModalWidget(); },
          [&] {
            wideFlowCharOutOfOrder(data / "FlowChar.txt");
            answerer.capture("Stations in proper order:", out / "viewer-wrapped.png");
            clickWidget(child(view, "cmdQAQCFiles"));
          })
      .step(
          "Step 2 again, the viewer taken",
          [&] { return answerer.captured() && !QApplication::activeModalWidget(); },
          [&] {
            saved &= answerer.saved();
            clickWidget(child(view, "cmdExit"));
          });
  user.start();
  program.run(desktop, window, [&window] { window.load(); });
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(data);
  if (!user.done()) std::cerr << "shell_screenshots: " << user.failure() << "\n";
  return user.done() && saved ? 0 : 1;
}

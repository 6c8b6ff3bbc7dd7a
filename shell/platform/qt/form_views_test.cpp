#include "platform/qt/form_views.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <functional>

#include "checks/fix_station_ids_form.h"
#include "platform/qt/qt_desktop.h"
#include "temp_dir.h"
#include "ui_driver.h"
#include "viewers/information_form.h"
#include "window/about_form.h"
#include "window/main_window.h"
#include "window/wait_form.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

// What a control's widget shows as its caption.
QString shownText(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return button->text().replace("&&", "&");
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
  if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return text->toPlainText();
  return {};
}

// Widgets that hold others (frames) may overlap what they hold; nothing else may.
bool isContainer(const Control& control) {
  return control.kind() == ControlKind::Frame || control.kind() == ControlKind::Shape;
}

struct Views {
  QtDesktop desktop{"/"};
  ShellState state;
  MainWindow main{desktop, state};
  InformationForm information{desktop, state};
  FixStationIdsForm repair{desktop, state};
  WaitForm wait{desktop};
  AboutForm about{desktop};
};

TEST(FormViews, EveryControlIsShownWithItsCaptionAndTooltipAndNothingOverlaps) {
  Views v;
  MainWindowView mainView(v.desktop, v.main);
  struct Row {
    Form& form;
    std::function<QWidget*()> view;
    QSize size;
  };
  std::vector<std::unique_ptr<FormDialog>> dialogs;
  const auto dialog = [&](Form& form) {
    return [&dialogs, &v, &form]() -> QWidget* {
      dialogs.push_back(makeFormView(v.desktop, form, nullptr));
      return dialogs.back().get();
    };
  };
  const std::vector<Row> rows = {
      {v.main, [&]() -> QWidget* { return &mainView; }, {1240, 680}},
      {v.information, dialog(v.information), {960, 640}},
      {v.repair, dialog(v.repair), {940, 520}},
      {v.wait, dialog(v.wait), {560, 200}},
      {v.about, dialog(v.about), {600, 260}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.form.name());
    QWidget* view = row.view();
    EXPECT_EQ(view->windowTitle().toStdString(), row.form.caption());
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    EXPECT_EQ(view->size(), row.size);
    std::vector<std::pair<std::string, QRect>> leaves;
    for (const auto& control : row.form.controls()) {
      if (control->kind() == ControlKind::FileDialog) continue;
      SCOPED_TRACE(control->name());
      QWidget* widget = child(view, control->name().c_str());
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->toolTip().toStdString(), control->tooltip());
      if (!isContainer(*control) && !qobject_cast<QListWidget*>(widget)) {
        EXPECT_EQ(shownText(widget).toStdString(), control->text());
      }
      EXPECT_EQ(widget->isVisibleTo(view), control->visible());
      if (!control->visible()) continue;
      const QRect rect(widget->mapTo(view, QPoint(0, 0)), widget->size());
      EXPECT_TRUE(view->rect().contains(rect)) << rect.x() << "," << rect.y();
      EXPECT_FALSE(rect.isEmpty());
      if (!isContainer(*control)) leaves.emplace_back(control->name(), rect);
    }
    for (std::size_t i = 0; i < leaves.size(); ++i)
      for (std::size_t j = i + 1; j < leaves.size(); ++j)
        EXPECT_FALSE(leaves[i].second.intersects(leaves[j].second))
            << leaves[i].first << " overlaps " << leaves[j].first;
  }
}

TEST(FormViews, RepairFormTakesTheStationsPickedWithShiftAndControl) {
  Views v;
  v.state.StationCount = 5;
  v.state.StationNumbers = {"", "1234567", "801200012", "8013000", "801450012", "801550012"};
  v.state.SevenDigitStationCount = 2;
  QListWidget* list = nullptr;
  const auto pick = [&](int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(list->item(row)).center());
  };
  UiDriver user;
  user.step(
      "the repair form", [] { return modalOf<FormDialog>(); },
      [&] {
        FormDialog* form = modalOf<FormDialog>();
        clickWidget(form->widget("cmdAddLeadingZero"));
        list = qobject_cast<QListWidget*>(form->widget("ListFixStations"));
        // The three stations of nine digits, the first and last picked.
        pick(0, Qt::NoModifier);
        pick(2, Qt::ShiftModifier);
        pick(1, Qt::ControlModifier);
        clickWidget(form->widget("cmdFixIt"));
        clickWidget(form->widget("cmdClose"));
      });
  user.start();
  v.desktop.showModal(v.repair, nullptr);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(v.state.StationNumbers,
            (std::vector<std::string>{"", "01234567", "0801200012", "08013000", "801450012",
                                      "0801550012"}));
  EXPECT_TRUE(v.state.StationIDsFixed);
}

TEST(FormViews, TheViewerWrapsLongLinesAndSavesAndCopiesTheWholeText) {
  TempDir dir;
  Views v;
  std::string wide = "08010500";
  for (int column = 0; column < 60; ++column) wide += "\t" + std::to_string(1457 + column);
  const std::string report = "FlowChar.txt file problems: \r\n" + wide + "\r\n" +
                             std::string(300, 'x') + "\r\nlast line\r\n";
  v.state.InformationText = report;
  v.state.WorkingDirectory = dir.dir();
  QPlainTextEdit::LineWrapMode wrapMode{};
  int horizontalRange = -1;
  std::vector<int> lineCounts;
  QString clipboard, suggested;
  UiDriver user;
  user.step(
          "the viewer", [] { return modalOf<FormDialog>(); },
          [&] {
            FormDialog* view = modalOf<FormDialog>();
            auto* text = qobject_cast<QPlainTextEdit*>(view->widget("tbOutput"));
            wrapMode = text->lineWrapMode();
            horizontalRange = text->horizontalScrollBar()->maximum();
            for (int block = 0; block < 4; ++block)
              lineCounts.push_back(
                  text->document()->findBlockByNumber(block).layout()->lineCount());
            clickWidget(view->widget("cmdCopy"));
            clipboard = QGuiApplication::clipboard()->text();
            clickWidget(view->widget("cmdSave"));
          })
      .step(
          "the save dialog", [] { return modalOf<QFileDialog>(); },
          [&] {
            auto* name = modalOf<QFileDialog>()->findChild<QLineEdit*>("fileNameEdit");
            suggested = name->text();
            QTest::keyClick(name, Qt::Key_Return);
          })
      .step(
          "the viewer again, the report saved",
          [&] { return modalOf<FormDialog>() && fs::exists(dir.path() / "TARVEX report.txt"); },
          [] { clickWidget(modalOf<FormDialog>()->widget("cmdClose")); });
  user.start();
  v.desktop.showModal(v.information, nullptr);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(wrapMode, QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(horizontalRange, 0);  // nothing reaches past the right edge
  ASSERT_EQ(lineCounts.size(), 4u);
  EXPECT_EQ(lineCounts[0], 1);
  EXPECT_GT(lineCounts[1], 1);  // the wide table line, wrapped
  EXPECT_GT(lineCounts[2], 1);  // one long word, wrapped anywhere
  EXPECT_EQ(lineCounts[3], 1);
  EXPECT_EQ(clipboard.toStdString(), "FlowChar.txt file problems: \n" + wide + "\n" +
                                         std::string(300, 'x') + "\nlast line\n");
  EXPECT_EQ(suggested, "TARVEX report.txt");
  EXPECT_EQ(dir.read("TARVEX report.txt"), report);
}

}  // namespace
}  // namespace tarvex::testing

#include "platform/qt/form_binding.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "platform/qt/qt_desktop.h"
#include "ui_driver.h"

namespace tarvex::testing {
namespace {

using K = ControlKind;

class ProbeForm : public Form {
 public:
  ProbeForm() : Form("frmProbe", "Probe") {}
  Control& go = add("cmdGo", K::Button, "Go", "Run it");
  Control& box = add("tbBox", K::TextBox, "", "A box");
  Control& notes = add("tbNotes", K::TextBox);
  Control& label = add("lblNote", K::Label, "Note");
  Control& tick = add("ckTick", K::CheckBox, "Tick");
  Control& many = add("ListMany", K::ListBox);
  Control& one = add("ListOne", K::ListBox);
};

// A form bound to widgets in a shown window.
struct Bound {
  Bound() {
    window.resize(400, 600);
    window.show();
  }
  template <class T>
  T* w(const char* name) {
    return qobject_cast<T*>(binding.widget(name));
  }
  // The list's item i, clicked with the mouse.
  void clickItem(const char* list, int i, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QListWidget* items = w<QListWidget>(list);
    QTest::mouseClick(items->viewport(), Qt::LeftButton, modifiers,
                      items->visualItemRect(items->item(i)).center());
  }
  std::vector<int> selected(const Control& list) const {
    std::vector<int> picks;
    for (int i = 0; i < list.itemCount(); ++i)
      if (list.selected(i)) picks.push_back(i);
    return picks;
  }

  QtDesktop desktop{"/"};
  ProbeForm form;
  QWidget window;
  FormBinding binding{desktop, form, &window, {{"tbNotes"}, {"ListMany"}}};
};

TEST(FormBinding, EveryChangeShowsInItsWidgetWhileTheHandlerRuns) {
  Bound b;
  struct Row {
    const char* what;
    std::function<void(ProbeForm&)> change;
    std::function<bool(Bound&)> shows;
  };
  const std::vector<Row> rows = {
      {"text", [](ProbeForm& f) { f.box.setText("Status: Loaded"); },
       [](Bound& b) { return b.w<QLineEdit>("tbBox")->text() == "Status: Loaded"; }},
      {"bytes of another code page", [](ProbeForm& f) { f.box.setText("R\xEDo"); },
       [](Bound& b) { return b.w<QLineEdit>("tbBox")->text() == QString::fromUtf8("R\u00EDo"); }},
      {"line breaks of a label", [](ProbeForm& f) { f.label.setText("one\r\ntwo\rthree"); },
       [](Bound& b) { return b.w<QLabel>("lblNote")->text() == "one\ntwo\nthree"; }},
      {"a report", [](ProbeForm& f) { f.notes.setText("1\tA\r\n2\tB\r\n"); },
       [](Bound& b) { return b.w<QPlainTextEdit>("tbNotes")->toPlainText() == "1\tA\n2\tB\n"; }},
      {"an ampersand in a caption", [](ProbeForm& f) { f.tick.setText("Sites & gauges"); },
       [](Bound& b) { return b.w<QCheckBox>("ckTick")->text() == "Sites && gauges"; }},
      {"disabled", [](ProbeForm& f) { f.box.setEnabled(false); },
       [](Bound& b) { return !b.w<QLineEdit>("tbBox")->isEnabled(); }},
      {"hidden", [](ProbeForm& f) { f.label.setVisible(false); },
       [](Bound& b) { return b.w<QLabel>("lblNote")->isHidden(); }},
      {"bold", [](ProbeForm& f) { f.go.setBold(true); },
       [](Bound& b) { return b.w<QPushButton>("cmdGo")->font().bold(); }},
      {"a smaller font", [](ProbeForm& f) { f.box.setFontSize(7); },
       [](Bound& b) {
         return b.w<QLineEdit>("tbBox")->font().pointSizeF() == pointSizeFor(8) - 1;
       }},
      {"grey", [](ProbeForm& f) { f.box.setBackColour(BackColour::InactiveBorder); },
       [](Bound& b) {
         const QPalette& p = b.w<QLineEdit>("tbBox")->palette();
         return p.color(QPalette::Base) == p.color(QPalette::Window);
       }},
      {"ticked", [](ProbeForm& f) { f.tick.setChecked(true); },
       [](Bound& b) { return b.w<QCheckBox>("ckTick")->isChecked(); }},
      {"items",
       [](ProbeForm& f) {
         for (const char* item : {"08012000", "08013000", "08014500"}) f.many.addItem(item);
       },
       [](Bound& b) {
         auto* list = b.w<QListWidget>("ListMany");
         return list->count() == 3 && list->item(2)->text() == "08014500";
       }},
      {"a selection", [](ProbeForm& f) { f.many.setSelected(1, true); },
       [](Bound& b) {
         return b.w<QListWidget>("ListMany")->selectedItems().size() == 1 &&
                b.w<QListWidget>("ListMany")->item(1)->isSelected();
       }},
      {"items again, fewer",
       [](ProbeForm& f) {
         f.many.clearItems();
         f.many.addItem("09000000");
       },
       [](Bound& b) { return b.w<QListWidget>("ListMany")->count() == 1; }},
      {"focus", [](ProbeForm& f) { f.tick.setFocus(); },
       [](Bound& b) { return b.window.focusWidget() == b.binding.widget("ckTick"); }},
  };
  std::vector<bool> shown;
  b.form.go.onClick = [&] {
    for (const Row& row : rows) {
      row.change(b.form);
      shown.push_back(row.shows(b));
    }
  };
  clickWidget(b.binding.widget("cmdGo"));
  ASSERT_EQ(shown.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_TRUE(shown[i]) << rows[i].what;
}

TEST(FormBinding, ClicksRunTheHandlerOnceAndOnlyWhenEnabled) {
  Bound b;
  int runs = 0;
  std::vector<bool> tickSeen;
  b.form.go.onClick = [&] { ++runs; };
  b.form.tick.onClick = [&] { tickSeen.push_back(b.form.tick.checked()); };
  clickWidget(b.binding.widget("cmdGo"));
  b.form.go.setEnabled(false);
  clickWidget(b.binding.widget("cmdGo"));
  EXPECT_EQ(runs, 1);
  clickWidget(b.binding.widget("ckTick"));
  clickWidget(b.binding.widget("ckTick"));
  EXPECT_EQ(tickSeen, (std::vector<bool>{true, false}));
  EXPECT_FALSE(b.w<QCheckBox>("ckTick")->isChecked());
}

TEST(FormBinding, MouseAndKeySelectionsReachTheListAndClickIt) {
  Bound b;
  for (const char* item : {"A", "B", "C", "D", "E"}) {
    b.form.many.addItem(item);
    b.form.one.addItem(item);
  }
  std::vector<std::vector<int>> clicksMany, clicksOne;
  b.form.many.onClick = [&] { clicksMany.push_back(b.selected(b.form.many)); };
  b.form.one.onClick = [&] { clicksOne.push_back(b.selected(b.form.one)); };

  // Extended selection: a click, a shift-click range, a control-click that drops one.
  b.clickItem("ListMany", 0);
  b.clickItem("ListMany", 3, Qt::ShiftModifier);
  b.clickItem("ListMany", 1, Qt::ControlModifier);
  EXPECT_EQ(b.selected(b.form.many), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(clicksMany, (std::vector<std::vector<int>>{{0}, {0, 1, 2, 3}, {0, 2, 3}}));

  // One at a time: a click on the selected station clicks again; the keys click too.
  b.clickItem("ListOne", 1);
  b.clickItem("ListOne", 1);
  QTest::keyClick(b.binding.widget("ListOne"), Qt::Key_Down);
  EXPECT_EQ(clicksOne, (std::vector<std::vector<int>>{{1}, {1}, {2}}));
}

// The boxes show what the shell wrote: the user may select and copy, not type.
TEST(FormBinding, TheUsersFocusReachesTheFormButTypingChangesNoBox) {
  Bound b;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&b.window));
  clickWidget(b.binding.widget("tbBox"));
  EXPECT_EQ(b.form.focus(), "tbBox");
  b.form.notes.setText("a report");
  for (const char* box : {"tbBox", "tbNotes"}) QTest::keyClicks(b.binding.widget(box), "typed");
  EXPECT_EQ(b.w<QLineEdit>("tbBox")->text(), "");
  EXPECT_EQ(b.w<QPlainTextEdit>("tbNotes")->toPlainText(), "a report");
  EXPECT_EQ(b.form.box.text(), "");
  b.form.go.setFocus();
  EXPECT_TRUE(b.binding.widget("cmdGo")->hasFocus());
}

}  // namespace
}  // namespace tarvex::testing

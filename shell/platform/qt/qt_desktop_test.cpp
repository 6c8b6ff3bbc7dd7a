#include "platform/qt/qt_desktop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/form_views.h"
#include "platform/run_time_error.h"
#include "temp_dir.h"
#include "transcript.h"
#include "ui_driver.h"
#include "window/about_form.h"
#include "window/wait_form.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

TEST(QtFileFilter, TheShellsFiltersInQtsSyntax) {
  const std::vector<std::pair<std::string, QString>> rows = {
      {"All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Data Files (*.dat)|*.dat",
       "All Files (*);;Text Files (*.txt);;Data Files (*.dat)"},
      {"Tables|*.txt;*.tab", "Tables (*.txt *.tab)"},
      {"A label without its patterns", ""},
      {"", ""},
  };
  for (const auto& [shell, qt] : rows) EXPECT_EQ(qtFileFilter(shell), qt) << shell;
}

TEST(QtDesktop, MessageBoxesShowTheirIconAndButtonsAndReturnTheAnswer) {
  struct Row {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton press;  // NoButton: Escape
    MsgAnswer answer;
  };
  const std::vector<Row> rows = {
      {kCritical, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, MsgAnswer::Ok},
      {kExclamation, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, MsgAnswer::Ok},
      {kInformation, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, MsgAnswer::Ok},
      {kYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
       MsgAnswer::Yes},
      {kYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
       MsgAnswer::No},
      {kYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton,
       MsgAnswer::No},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.style) + " pressing " + std::to_string(row.press));
    QtDesktop desktop("/");
    QMessageBox::Icon icon{};
    QMessageBox::StandardButtons buttons{};
    QString title, text;
    UiDriver user;
    user.step(
        "a message box", [] { return modalOf<QMessageBox>(); },
        [&] {
          QMessageBox* box = modalOf<QMessageBox>();
          icon = box->icon();
          buttons = box->standardButtons();
          title = box->windowTitle();
          text = box->text();
          if (row.press == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
          else
            clickWidget(box->button(row.press));
        });
    user.start();
    EXPECT_EQ(desktop.msgBox("Error: 53\r\nType of Error: File <not> found", row.style, "Sub X"),
              row.answer);
    EXPECT_TRUE(user.done()) << user.failure();
    EXPECT_EQ(icon, row.icon);
    EXPECT_EQ(buttons, row.buttons);
    EXPECT_EQ(title, "Sub X");
    EXPECT_EQ(text, "Error: 53\nType of Error: File <not> found");
  }
}

TEST(QtDesktop, InputBoxGivesWhatWasTypedOrNothingOnCancel) {
  QtDesktop desktop("/");
  QString prompt, shown;
  UiDriver user;
  user.step(
          "an input box", [] { return modalOf<QInputDialog>(); },
          [&] {
            QInputDialog* box = modalOf<QInputDialog>();
            prompt = box->labelText();
            QLineEdit* line = box->findChild<QLineEdit*>();
            shown = line->text();
            line->clear();
            QTest::keyClicks(line, "Run 7");
            QTest::keyClick(line, Qt::Key_Return);
          })
      .step(
          "a second input box", [] { return modalOf<QInputDialog>(); },
          [] { QTest::keyClick(modalOf<QInputDialog>(), Qt::Key_Escape); });
  user.start();
  EXPECT_EQ(desktop.inputBox("New name:", "Output", "TARVEXOutput-1"), "Run 7");
  EXPECT_EQ(desktop.inputBox("New name:", "Output", "TARVEXOutput-1"), "");
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(prompt, "New name:");
  EXPECT_EQ(shown, "TARVEXOutput-1");
}

TEST(QtDesktop, FileDialogOpensWhereAskedWithTheFilterAndName) {
  TempDir dir;
  dir.write("SiteInfo.txt", "x");
  QtDesktop desktop("/");
  QString title, filter, directory;
  QStringList filters;
  UiDriver user;
  user.step(
          "the file dialog", [] { return modalOf<QFileDialog>(); },
          [&] {
            QFileDialog* dialog = modalOf<QFileDialog>();
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            filter = dialog->selectedNameFilter();
            directory = dialog->directory().absolutePath();
            // Typing replaces the suggested name when the name box has the focus, as it has
            // for a user.
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            QLineEdit* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setFocus();
            name->clear();
            QTest::keyClicks(name, "Other.txt");  // a name that is not there is given back too
            QTest::keyClick(name, Qt::Key_Return);
          })
      .step(
          "the file dialog again", [] { return modalOf<QFileDialog>(); },
          [] { modalOf<QFileDialog>()->reject(); });
  user.start();
  const OpenFileRequest request{
      "SiteInfo File Name:", "All Files (*.*)|*.*|Text Files(*.txt)|*.txt", 2, "SiteInfo.txt",
      dir.path().string()};
  EXPECT_EQ(desktop.openFile(request), dir.path() / "Other.txt");
  EXPECT_EQ(desktop.openFile(request), std::nullopt);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(title, "SiteInfo File Name:");
  EXPECT_EQ(filters, (QStringList{"All Files (*)", "Text Files (*.txt)"}));
  EXPECT_EQ(filter, "Text Files (*.txt)");
  EXPECT_EQ(fs::path(directory.toStdString()), fs::canonical(dir.path()));
}

TEST(QtDesktop, SaveDialogAsksBeforeReplacingAFile) {
  TempDir dir;
  dir.write("TARVEX report.txt", "older");
  QtDesktop desktop("/");
  QString title, suggested, directory;
  QFileDialog::AcceptMode mode{};
  std::vector<std::string> questions;
  const auto name = [] { return modalOf<QFileDialog>()->findChild<QLineEdit*>("fileNameEdit"); };
  const auto answer = [&](QMessageBox::StandardButton button) {
    questions.push_back(modalOf<QMessageBox>()->text().toStdString());
    clickWidget(modalOf<QMessageBox>()->button(button));
  };
  UiDriver user;
  user.step(
          "the save dialog", [] { return modalOf<QFileDialog>(); },
          [&] {
            QFileDialog* dialog = modalOf<QFileDialog>();
            title = dialog->windowTitle();
            mode = dialog->acceptMode();
            directory = dialog->directory().absolutePath();
            suggested = name()->text();
            QTest::keyClick(name(), Qt::Key_Return);
          })
      .step(
          "the question whether to replace it", [] { return modalOf<QMessageBox>(); },
          [&] { answer(QMessageBox::No); })
      .step(
          "the dialog again, another name", [] { return modalOf<QFileDialog>(); },
          [&] {
            // Typed as a user types it, so that the file picked in the list lets go.
            QFileDialog* dialog = modalOf<QFileDialog>();
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            name()->setFocus();
            name()->clear();
            QTest::keyClicks(name(), "new.txt");
            QTest::keyClick(name(), Qt::Key_Return);
          })
      .step(
          "the second dialog", [] { return modalOf<QFileDialog>(); },
          [&] { QTest::keyClick(name(), Qt::Key_Return); })
      .step(
          "the question again", [] { return modalOf<QMessageBox>(); },
          [&] { answer(QMessageBox::Yes); })
      .step(
          "the third dialog", [] { return modalOf<QFileDialog>(); },
          [] { modalOf<QFileDialog>()->reject(); });
  user.start();
  const SaveFileRequest request{"Save Output Information", "Text Files (*.txt)|*.txt",
                                "TARVEX report.txt", dir.path().string()};
  EXPECT_EQ(desktop.saveFile(request), dir.path() / "new.txt");
  EXPECT_EQ(desktop.saveFile(request), dir.path() / "TARVEX report.txt");
  EXPECT_EQ(desktop.saveFile(request), std::nullopt);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_EQ(title, "Save Output Information");
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
  EXPECT_EQ(fs::path(directory.toStdString()), fs::canonical(dir.path()));
  EXPECT_EQ(suggested, "TARVEX report.txt");
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_NE(questions[0].find("TARVEX report.txt already exists"), std::string::npos);
  // The dialog only chose: nothing was written.
  EXPECT_EQ(dir.read("TARVEX report.txt"), "older");
}

TEST(QtDesktop, ClipboardTakesTheTextWithTheDesktopsLineBreaks) {
  QtDesktop desktop("/");
  desktop.copyToClipboard("Errors:\r\nline 2\r\n\tlast");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Errors:\nline 2\n\tlast");
}

TEST(QtDesktop, ClosingAModalFormIsItsCloseButtonWhichMayRefuse) {
  QtDesktop desktop("/");
  WaitForm wait(desktop);
  std::vector<std::string> asked;
  const auto answer = [&](QMessageBox::StandardButton button) {
    QMessageBox* box = modalOf<QMessageBox>();
    asked.push_back(box->windowTitle().toStdString());
    clickWidget(box->button(button));
  };
  const auto waitView = [] {
    QDialog* dialog = modalOf<QDialog>();
    return qobject_cast<QMessageBox*>(dialog) ? nullptr : dialog;
  };
  UiDriver user;
  user.step("the wait form", waitView, [&] { QTest::keyClick(waitView(), Qt::Key_Escape); })
      .step(
          "the question", [] { return modalOf<QMessageBox>(); }, [&] { answer(QMessageBox::No); })
      .step("the wait form still there", waitView, [&] { waitView()->close(); })
      .step(
          "the question again", [] { return modalOf<QMessageBox>(); },
          [&] { answer(QMessageBox::Yes); });
  user.start();
  desktop.showModal(wait, nullptr);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_FALSE(wait.loaded());
  EXPECT_EQ(asked,
            (std::vector<std::string>{"Are You Done with TARVEX?", "Are You Done with TARVEX?"}));
  EXPECT_EQ(desktop.viewOf(wait), nullptr);
}

TEST(QtDesktop, AboutIsModelessAndShownOnce) {
  QtDesktop desktop("/");
  AboutForm about(desktop);
  desktop.showModeless(about);
  QWidget* view = desktop.viewOf(about);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  desktop.showModeless(about);
  EXPECT_EQ(desktop.viewOf(about), view);
  clickWidget(child(view, "cmdClose"));
  EXPECT_FALSE(about.loaded());
  EXPECT_EQ(desktop.viewOf(about), nullptr);
  EXPECT_FALSE(view->isVisible());
}

// A form whose button ends the program, from inside a box inside the form.
class EndingForm : public Form {
 public:
  explicit EndingForm(Desktop& desktop) : Form("frmEnding", "Ending") {
    end.onClick = [&desktop] {
      desktop.msgBox("Last words", kInformation, "Ending");
      desktop.endProgram();
    };
  }
  Control& end = add("cmdEnd", ControlKind::Button, "End");
};

TEST(QtDesktop, EndingTheProgramLeavesEveryLoopAndNothingOpensAfter) {
  QtDesktop desktop("/");
  EndingForm form(desktop);
  bool afterModal = false;
  UiDriver user;
  user.step(
          "the form", [] { return modalOf<QDialog>(); },
          [] { clickWidget(child(modalOf<QDialog>(), "cmdEnd")); })
      .step(
          "the box", [] { return modalOf<QMessageBox>(); },
          [] { QTest::keyClick(modalOf<QMessageBox>(), Qt::Key_Return); });
  user.start();
  QTimer::singleShot(0, [&] {
    desktop.runHandler([&] {
      desktop.showModal(form, nullptr);
      afterModal = true;
    });
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(user.done()) << user.failure();
  EXPECT_FALSE(afterModal);
  EXPECT_TRUE(desktop.ending());
  EXPECT_FALSE(form.loaded());
  EXPECT_THROW(desktop.msgBox("more", kInformation, "x"), ProgramEnd);
}

class FailingForm : public Form {
 public:
  FailingForm() : Form("frmFailing", "Failing") {}
  void load() override { throw RunTimeError(err::kFileNotFound); }
};

TEST(QtDesktop, AFormWhoseLoadFailsIsNotLeftShown) {
  QtDesktop desktop("/");
  FailingForm form;
  EXPECT_RUNTIME_ERROR(desktop.showModal(form, nullptr), err::kFileNotFound);
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(desktop.viewOf(form), nullptr);
}

TEST(QtDesktop, BusyPointerDoesNotStack) {
  QtDesktop desktop("/");
  desktop.setBusy(true);
  desktop.setBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  desktop.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tarvex::testing

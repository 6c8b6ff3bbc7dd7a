#include "platform/qt/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/error_trap.h"
#include "platform/qt/form_views.h"
#include "platform/qt/qt_text.h"

namespace tarvex {

namespace fs = std::filesystem;

QString qtFileFilter(const std::string& filter) {
  const QStringList parts = toQt(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString label = parts[i].trimmed();
    // "Text Files(*.txt)" already names its patterns; Qt adds the ones it uses.
    const qsizetype open = label.lastIndexOf(QLatin1Char('('));
    if (label.endsWith(QLatin1Char(')')) && open > 0) label = label.left(open).trimmed();
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    entries << label + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return entries.join(QLatin1String(";;"));
}

QtDesktop::QtDesktop(fs::path programFolder, std::optional<CalendarDate> fixedDate)
    : programFolder_(std::move(programFolder)), fixedDate_(fixedDate) {}

QtDesktop::~QtDesktop() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void QtDesktop::stopIfEnding() const {
  if (ending_) throw ProgramEnd{};
}

QWidget* QtDesktop::dialogParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return mainView_;
}

void QtDesktop::setMainView(Form& form, QWidget* view) {
  mainForm_ = &form;
  mainView_ = view;
}

QWidget* QtDesktop::viewOf(const Form& form) const {
  if (&form == mainForm_) return mainView_;
  const auto found = open_.find(&form);
  return found == open_.end() ? nullptr : found->second.view.data();
}

MsgAnswer QtDesktop::msgBox(const std::string& prompt, int style, const std::string& title) {
  stopIfEnding();
  QMessageBox box(dialogParent());
  box.setWindowTitle(toQt(title));
  box.setTextFormat(Qt::PlainText);  // a '<' in a file name is no markup
  box.setText(toQtLines(prompt));
  switch (style & 0x70) {
    case kCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case kExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
  }
  const bool yesNo = (style & 7) == kYesNo;
  if (yesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  box.exec();
  stopIfEnding();
  if (!yesNo) return MsgAnswer::Ok;
  return box.clickedButton() == box.button(QMessageBox::Yes) ? MsgAnswer::Yes : MsgAnswer::No;
}

std::string QtDesktop::inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) {
  stopIfEnding();
  QInputDialog dialog(dialogParent());
  dialog.setWindowTitle(toQt(title));
  dialog.setLabelText(toQtLines(prompt));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(toQt(defaultText));
  const int result = dialog.exec();
  stopIfEnding();
  return result == QDialog::Accepted ? fromQt(dialog.textValue()) : std::string();
}

std::optional<fs::path> QtDesktop::openFile(const OpenFileRequest& request) {
  return runFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<fs::path> QtDesktop::saveFile(const SaveFileRequest& request) {
  // Qt's own question before a name that is taken stays on.
  return runFileDialog({.title = request.title,
                        .filter = request.filter,
                        .filterIndex = 0,
                        .fileName = request.fileName,
                        .initialDir = request.initialDir},
                       QFileDialog::AcceptSave);
}

std::optional<fs::path> QtDesktop::runFileDialog(const OpenFileRequest& request,
                                                 QFileDialog::AcceptMode mode) {
  stopIfEnding();
  const fs::path folder =
      request.initialDir.empty() ? currentDirectory() : fs::path(request.initialDir);
  QFileDialog dialog(dialogParent(), toQt(request.title), pathToQt(folder),
                     qtFileFilter(request.filter));
  // Any name may be typed: the shell itself tells the user when a file to open is missing.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(mode);
  const QStringList filters = dialog.nameFilters();
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  if (!request.fileName.empty()) dialog.selectFile(toQt(request.fileName));
  dialog.resize(820, 520);
  const int result = dialog.exec();
  stopIfEnding();
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return pathFromQt(dialog.selectedFiles().first());
}

// With the desktop's line breaks, as every text the window shows.
void QtDesktop::copyToClipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(toQtLines(text));
}

// The engine is a console program here: there is no window to minimize.
ProgramId QtDesktop::startProgram(const fs::path& program, const fs::path& folder, WindowStyle) {
  stopIfEnding();
  return programs_.start(program, folder);
}

void QtDesktop::openFolder(const fs::path& folder) {
  stopIfEnding();
  openFolderInBrowser(programs_, folder);
}

void QtDesktop::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtDesktop::keepResponsive() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDesktop::showModal(Form& form, Form* owner) {
  stopIfEnding();
  QWidget* parent = owner ? viewOf(*owner) : nullptr;
  std::unique_ptr<FormDialog> view = makeFormView(*this, form, parent ? parent : dialogParent());
  open_[&form] = {&form, view.get(), true};
  // However the showing ends (a load that raised included), the form is gone.
  struct Forget {
    QtDesktop& desktop;
    Form& form;
    ~Forget() {
      desktop.open_.erase(&form);
      form.setLoaded(false);
    }
  } forget{*this, form};
  form.setLoaded(true);
  form.load();
  view->binding().syncAll();
  if (form.loaded() && !ending_) view->exec();
  stopIfEnding();
}

void QtDesktop::showModeless(Form& form) {
  stopIfEnding();
  if (QWidget* shown = viewOf(form)) {
    shown->raise();
    shown->activateWindow();
    return;
  }
  // Owned by the main view, so it goes with it; unload lets go of it sooner.
  FormDialog* view = makeFormView(*this, form, mainView_).release();
  open_[&form] = {&form, view, false};
  form.setLoaded(true);
  form.load();
  view->binding().syncAll();
  if (form.loaded()) view->show();
}

void QtDesktop::unload(Form& form) {
  if (!form.loaded()) return;
  form.setLoaded(false);
  const auto found = open_.find(&form);
  if (found == open_.end()) return;
  FormDialog* view = found->second.view;
  if (found->second.modal) {
    // showModal's exec returns and lets go of the view.
    if (view) view->done(QDialog::Rejected);
    return;
  }
  open_.erase(found);
  if (view) {
    view->binding().detach();
    view->hide();
    view->deleteLater();  // its handler may still be running
  }
}

void QtDesktop::closeAllViews() {
  std::vector<Form*> shown;
  for (const auto& entry : open_) shown.push_back(entry.second.form);
  for (Form* form : shown) unload(*form);
}

fs::path QtDesktop::currentDirectory() { return tarvex::currentDirectory(); }

void QtDesktop::setCurrentDirectory(const fs::path& folder) { tarvex::setCurrentDirectory(folder); }

CalendarDate QtDesktop::today() { return fixedDate_ ? *fixedDate_ : localDate(); }

void QtDesktop::endProgram() {
  if (!ending_) {
    ending_ = true;
    closeAllViews();
    if (mainView_) mainView_->hide();
    // Leaves every event loop, the nested ones of modal forms and boxes included.
    QCoreApplication::exit(0);
  }
  throw ProgramEnd{};
}

void QtDesktop::runHandler(const std::function<void()>& handler) {
  if (ending_) return;
  try {
    handler();
  } catch (const ProgramEnd&) {
    if (!ending_) {
      try {
        endProgram();
      } catch (const ProgramEnd&) {
      }
    }
  } catch (const std::exception& e) {
    // A handler's own trap missed it: say so rather than lose it.
    try {
      if (!ending_)
        msgBox(trapMessage(TrapText::Sub, asRunTimeError(e)), kCritical,
               mainForm_ ? mainForm_->caption() : std::string("Error"));
    } catch (...) {
    }
  } catch (...) {
  }
}

}  // namespace tarvex

#pragma once

#include <QFileDialog>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/local_system.h"

class QDialog;
class QWidget;

namespace tarvex {

class FormDialog;

// The shell's filter ("Label|pattern|Label|pattern...") in Qt's syntax ("Label
// (patterns);;..."). Windows' "*.*" means every file, as "*" does here.
QString qtFileFilter(const std::string& filter);

// The desktop of the window program: Qt's message boxes and dialogs, the views of the
// forms, the busy pointer; the machine through the shared local services.
//
// Handlers run inside Qt's event loop, which no exception may cross. runHandler is
// the boundary: the program's end (ProgramEnd) and any error that escaped a handler's
// own trap stop there. Once the program ends, every call that would block raises
// ProgramEnd again, so the handlers still on the stack unwind instead of opening new
// boxes.
class QtDesktop : public Desktop {
 public:
  explicit QtDesktop(std::filesystem::path programFolder,
                     std::optional<CalendarDate> fixedDate = std::nullopt);
  ~QtDesktop() override;
  QtDesktop(const QtDesktop&) = delete;
  QtDesktop& operator=(const QtDesktop&) = delete;

  MsgAnswer msgBox(const std::string& prompt, int style, const std::string& title) override;
  std::string inputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) override;
  std::optional<std::filesystem::path> saveFile(const SaveFileRequest& request) override;
  void copyToClipboard(const std::string& text) override;
  ProgramId startProgram(const std::filesystem::path& program, const std::filesystem::path& folder,
                         WindowStyle style) override;
  ProgramStatus programStatus(ProgramId program) override { return programs_.status(program); }
  void openFolder(const std::filesystem::path& folder) override;
  void setBusy(bool busy) override;
  void keepResponsive() override;
  void showModal(Form& form, Form* owner) override;
  void showModeless(Form& form) override;
  void unload(Form& form) override;
  std::filesystem::path programFolder() override { return programFolder_; }
  std::filesystem::path currentDirectory() override;
  void setCurrentDirectory(const std::filesystem::path& folder) override;
  CalendarDate today() override;
  [[noreturn]] void endProgram() override;

  // The main form and its view: the owner of the other forms' views.
  void setMainView(Form& form, QWidget* view);
  // Runs a handler called from the event loop (see above).
  void runHandler(const std::function<void()>& handler);
  bool ending() const { return ending_; }
  // The view showing a form, or nullptr.
  QWidget* viewOf(const Form& form) const;
  // Unloads every form still shown; the program does so before its forms go away.
  void closeAllViews();

 private:
  struct OpenView {
    Form* form = nullptr;
    QPointer<FormDialog> view;
    bool modal = false;
  };

  // Raises ProgramEnd once the program has ended.
  void stopIfEnding() const;
  QWidget* dialogParent() const;
  // A file dialog as the request sets it up (filter index 0: the first); the file chosen.
  std::optional<std::filesystem::path> runFileDialog(const OpenFileRequest& request,
                                                     QFileDialog::AcceptMode mode);

  std::filesystem::path programFolder_;
  std::optional<CalendarDate> fixedDate_;
  StartedPrograms programs_;
  Form* mainForm_ = nullptr;
  QPointer<QWidget> mainView_;
  std::map<const Form*, OpenView> open_;
  bool busy_ = false;
  bool ending_ = false;
};

}  // namespace tarvex

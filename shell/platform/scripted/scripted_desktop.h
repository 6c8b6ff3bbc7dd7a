#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/desktop.h"
#include "platform/local_system.h"
#include "platform/scripted/script.h"
#include "platform/scripted/transcript_text.h"

namespace tarvex {

// A desktop without a screen. Boxes and dialogs take their answers from the script
// lazily (the next line, when it is of the matching kind; otherwise the default
// answer), and every event is written to the transcript.
class ScriptedDesktop : public Desktop {
 public:
  // Runs one "FORM: LINE" action against a modal form.
  using FormAction =
      std::function<void(Form& form, const ScriptLine& line, std::string_view action)>;

  ScriptedDesktop(std::ostream& transcript, std::filesystem::path programFolder,
                  std::optional<CalendarDate> fixedDate = std::nullopt);
  ~ScriptedDesktop() override;

  // The script answers come from; without one every box gets its default.
  void setScript(Script* script) { script_ = script; }
  void setFormAction(FormAction action) { formAction_ = std::move(action); }
  std::ostream& transcript() { return out_; }

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
  void setBusy(bool busy) override { busy_ = busy; }
  void showModal(Form& form, Form* owner) override;
  void showModeless(Form& form) override;
  void unload(Form& form) override;
  std::filesystem::path programFolder() override { return programFolder_; }
  std::filesystem::path currentDirectory() override;
  void setCurrentDirectory(const std::filesystem::path& folder) override;
  CalendarDate today() override;
  [[noreturn]] void endProgram() override;

  bool busy() const { return busy_; }
  // Waits up to `seconds` for the last started program; true when it exited.
  bool waitForStartedProgram(int seconds);

 private:
  // The next script line when its verb is one of `verbs`; it is then consumed.
  const ScriptLine* takeAnswer(std::initializer_list<std::string_view> verbs);
  // A dialog's answer: the path of `verb` (relative to the current folder) or Cancel.
  std::optional<std::filesystem::path> choosePath(std::string_view verb);
  void runFormLines(Form& form);
  void closeAsUser(Form& form);

  std::ostream& out_;
  std::filesystem::path programFolder_;
  std::optional<CalendarDate> fixedDate_;
  std::filesystem::path startDirectory_;
  Script* script_ = nullptr;
  FormAction formAction_;
  bool busy_ = false;
  StartedPrograms programs_;
};

}  // namespace tarvex

#include "platform/scripted/scripted_desktop.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/run_time_error.h"
#include "platform/scripted/transcript_text.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

// Prints the text of a form's watched control each time it changes.
class TranscriptObserver : public FormObserver {
 public:
  TranscriptObserver(std::ostream& out, const Control* watched) : out_(out), watched_(watched) {}
  void controlChanged(const Control& control) override {
    if (&control == watched_) out_ << transcriptText(control.text()) << "\n";
  }
  void focusChanged(const Control&) override {}

 private:
  std::ostream& out_;
  const Control* watched_;
};

}  // namespace

ScriptedDesktop::ScriptedDesktop(std::ostream& transcript, fs::path programFolder,
                                 std::optional<CalendarDate> fixedDate)
    : out_(transcript), programFolder_(std::move(programFolder)), fixedDate_(fixedDate) {
  std::error_code ec;
  startDirectory_ = fs::current_path(ec);
}

ScriptedDesktop::~ScriptedDesktop() {
  std::error_code ec;
  if (!startDirectory_.empty()) fs::current_path(startDirectory_, ec);
  if (startedPid_ > 0) ::waitpid(startedPid_, nullptr, WNOHANG);
}

const ScriptLine* ScriptedDesktop::takeAnswer(std::initializer_list<std::string_view> verbs) {
  if (!script_) return nullptr;
  const ScriptLine* next = script_->peek();
  if (!next || splitFormLine(next->text)) return nullptr;
  const std::string_view word = splitVerb(next->text).word;
  for (std::string_view verb : verbs)
    if (word == verb) return &script_->take();
  return nullptr;
}

MsgAnswer ScriptedDesktop::msgBox(const std::string& prompt, int style, const std::string& title) {
  out_ << "== msgbox " << style << " " << transcriptQuoted(title) << "\n"
       << transcriptText(prompt) << "\n";
  if ((style & 7) != kYesNo) {
    out_ << "-> ok\n";
    return MsgAnswer::Ok;
  }
  const ScriptLine* line = takeAnswer({"answer"});
  if (!line) {
    out_ << "-> no (default)\n";
    return MsgAnswer::No;
  }
  const bool yes = splitVerb(line->text).rest == "yes";
  out_ << (yes ? "-> yes\n" : "-> no\n");
  return yes ? MsgAnswer::Yes : MsgAnswer::No;
}

std::string ScriptedDesktop::inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
  out_ << "== inputbox " << transcriptQuoted(title) << " default=" << transcriptQuoted(defaultText)
       << "\n"
       << transcriptText(prompt) << "\n";
  const ScriptLine* line = takeAnswer({"input"});
  if (!line) {
    out_ << "-> cancel (default)\n";
    return {};
  }
  const std::string typed(splitVerb(line->text).rest);
  out_ << (typed.empty() ? std::string("-> cancel") : "-> " + transcriptQuoted(typed)) << "\n";
  return typed;
}

std::optional<fs::path> ScriptedDesktop::openFile(const OpenFileRequest& request) {
  out_ << "== open " << transcriptQuoted(request.title)
       << " suggested=" << transcriptQuoted(request.fileName) << "\n";
  const ScriptLine* line = takeAnswer({"open", "cancel"});
  if (!line) {
    out_ << "-> cancel (default)\n";
    return std::nullopt;
  }
  const Verb verb = splitVerb(line->text);
  if (verb.word == "cancel" || verb.rest.empty()) {
    out_ << "-> cancel\n";
    return std::nullopt;
  }
  fs::path chosen(verb.rest);
  if (chosen.is_relative()) chosen = currentDirectory() / chosen;
  chosen = chosen.lexically_normal();
  out_ << "-> " << transcriptLine(chosen.string()) << "\n";
  return chosen;
}

void ScriptedDesktop::startProgram(const fs::path& program, const fs::path& folder,
                                   WindowStyle style) {
  out_ << "== start " << transcriptQuoted(program.string()) << " in "
       << transcriptQuoted(folder.string()) << " window=" << static_cast<int>(style) << "\n";
  out_.flush();
  // Fail here, as a desktop does, rather than in a child nobody watches.
  std::error_code ec;
  if (!fs::is_regular_file(program, ec)) throw RunTimeError(err::kFileNotFound);
  if (::access(program.c_str(), X_OK) != 0) throw fromErrno(errno);
  if (!fs::is_directory(folder, ec)) throw RunTimeError(err::kPathNotFound);
  const pid_t pid = ::fork();
  if (pid < 0) throw fromErrno(errno);
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  startedPid_ = pid;
}

bool ScriptedDesktop::waitForStartedProgram(int seconds) {
  if (startedPid_ <= 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = ::waitpid(startedPid_, &status, WNOHANG);
    if (done == startedPid_ || done < 0) {
      startedPid_ = -1;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void ScriptedDesktop::openFolder(const fs::path& folder) {
  out_ << "== explore " << transcriptQuoted(folder.string()) << "\n";
}

void ScriptedDesktop::showModal(Form& form, Form*) {
  out_ << "== form " << form.name() << "\n";
  TranscriptObserver observer(out_, form.transcriptControl());
  form.setObserver(&observer);
  form.setLoaded(true);
  try {
    form.load();
    runFormLines(form);
    if (form.loaded()) closeAsUser(form);
  } catch (...) {
    form.setObserver(nullptr);
    throw;
  }
  form.setObserver(nullptr);
}

void ScriptedDesktop::runFormLines(Form& form) {
  while (form.loaded() && script_ && !script_->atEnd()) {
    const auto formLine = splitFormLine(script_->peek()->text);
    if (!formLine || formLine->form != form.name()) return;
    const ScriptLine& line = script_->take();
    if (!formAction_) throw ScriptError(describe(line) + ": no form actions in this run");
    formAction_(form, line, formLine->line);
  }
}

void ScriptedDesktop::closeAsUser(Form& form) {
  if (Control* close = form.find("cmdClose")) form.click(*close);
  // A user who declines to close a form still leaves the script's run.
  if (form.loaded()) unload(form);
}

void ScriptedDesktop::showModeless(Form& form) {
  out_ << "== form " << form.name() << "\n";
  form.setLoaded(true);
  form.load();
}

void ScriptedDesktop::unload(Form& form) {
  if (!form.loaded()) return;
  form.setLoaded(false);
  out_ << "== close " << form.name() << "\n";
}

fs::path ScriptedDesktop::currentDirectory() {
  std::error_code ec;
  fs::path current = fs::current_path(ec);
  if (ec) throw fromErrorCode(ec, true);
  return current;
}

void ScriptedDesktop::setCurrentDirectory(const fs::path& folder) {
  std::error_code ec;
  fs::current_path(folder, ec);
  if (ec) throw fromErrorCode(ec, true);
}

CalendarDate ScriptedDesktop::today() {
  if (fixedDate_) return *fixedDate_;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void ScriptedDesktop::endProgram() {
  out_ << "== end\n";
  throw ProgramEnd{};
}

}  // namespace tarvex

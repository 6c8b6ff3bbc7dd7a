#include "platform/scripted/scripted_desktop.h"

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
  return choosePath("open");
}

std::optional<fs::path> ScriptedDesktop::saveFile(const SaveFileRequest& request) {
  out_ << "== save " << transcriptQuoted(request.title)
       << " suggested=" << transcriptQuoted(request.fileName) << "\n";
  return choosePath("save");
}

std::optional<fs::path> ScriptedDesktop::choosePath(std::string_view verb) {
  const ScriptLine* line = takeAnswer({verb, "cancel"});
  if (!line) {
    out_ << "-> cancel (default)\n";
    return std::nullopt;
  }
  const Verb answer = splitVerb(line->text);
  if (answer.word == "cancel" || answer.rest.empty()) {
    out_ << "-> cancel\n";
    return std::nullopt;
  }
  fs::path chosen(answer.rest);
  if (chosen.is_relative()) chosen = currentDirectory() / chosen;
  chosen = chosen.lexically_normal();
  out_ << "-> " << transcriptLine(chosen.string()) << "\n";
  return chosen;
}

void ScriptedDesktop::copyToClipboard(const std::string& text) {
  out_ << "== clipboard\n" << transcriptText(text) << "\n";
}

ProgramId ScriptedDesktop::startProgram(const fs::path& program, const fs::path& folder,
                                        WindowStyle style) {
  out_ << "== start " << transcriptQuoted(program.string()) << " in "
       << transcriptQuoted(folder.string()) << " window=" << static_cast<int>(style) << "\n";
  out_.flush();
  return programs_.start(program, folder);
}

bool ScriptedDesktop::waitForStartedProgram(int seconds) { return programs_.waitForLast(seconds); }

void ScriptedDesktop::openFolder(const fs::path& folder) {
  out_ << "== explore " << transcriptQuoted(folder.string()) << "\n";
}

void ScriptedDesktop::showModal(Form& form, Form*) {
  out_ << "== form " << form.name() << "\n";
  TranscriptObserver observer(out_, form.transcriptControl());
  const ScopedObserver following(form, observer);
  form.setLoaded(true);
  form.load();
  runFormLines(form);
  if (form.loaded()) closeAsUser(form);
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

fs::path ScriptedDesktop::currentDirectory() { return tarvex::currentDirectory(); }

void ScriptedDesktop::setCurrentDirectory(const fs::path& folder) {
  tarvex::setCurrentDirectory(folder);
}

CalendarDate ScriptedDesktop::today() { return fixedDate_ ? *fixedDate_ : localDate(); }

void ScriptedDesktop::endProgram() {
  out_ << "== end\n";
  throw ProgramEnd{};
}

}  // namespace tarvex

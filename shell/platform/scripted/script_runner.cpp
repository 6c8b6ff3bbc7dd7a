#include "platform/scripted/script_runner.h"

#include <charconv>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int kWaitSeconds = 120;

Control& controlFor(Form& form, const ScriptLine& line, std::string_view name) {
  if (Control* control = form.find(name)) return *control;
  throw ScriptError(describe(line) + ": " + form.name() + " has no control named \"" +
                    std::string(name) + "\"");
}

}  // namespace

ScriptRunner::ScriptRunner(ScriptedDesktop& desktop, Form& mainForm, StatePrinter printState)
    : desktop_(desktop), mainForm_(mainForm), printState_(std::move(printState)) {
  desktop_.setFormAction([this](Form& form, const ScriptLine& line, std::string_view action) {
    act(form, line, action);
  });
}

void ScriptRunner::run(Script& script) {
  desktop_.setScript(&script);
  while (!script.atEnd()) {
    // A session whose transcript is lost must not go on acting on the user's files.
    if (!desktop_.transcript().flush()) throw ScriptError("cannot write the transcript");
    const ScriptLine& line = script.take();
    if (auto formLine = splitFormLine(line.text)) {
      // A form line whose form is not showing has nothing to act on.
      desktop_.transcript() << "== skipped " << describe(line) << ": " << formLine->form
                            << " is not open\n";
      continue;
    }
    act(mainForm_, line, line.text);
  }
}

void ScriptRunner::act(Form& form, const ScriptLine& line, std::string_view action) {
  const Verb verb = splitVerb(action);
  std::ostream& out = desktop_.transcript();
  const bool acts =
      verb.word == "click" || verb.word == "tick" || verb.word == "untick" || verb.word == "select";
  if (acts) {
    // A user cannot click a disabled control.
    const Control& target = controlFor(form, line, splitVerb(verb.rest).word);
    if (!target.enabled()) {
      out << "== disabled " << target.name() << "\n";
      return;
    }
  }
  if (verb.word == "click") {
    form.click(controlFor(form, line, verb.rest));
  } else if (verb.word == "tick" || verb.word == "untick") {
    Control& box = controlFor(form, line, verb.rest);
    if (box.kind() != ControlKind::CheckBox)
      throw ScriptError(describe(line) + ": " + box.name() + " is not a check box");
    if (box.checked() != (verb.word == "tick")) form.click(box);
  } else if (verb.word == "select") {
    select(form, line, verb.rest);
  } else if (verb.word == "show") {
    out << "== show " << verb.rest << "\n"
        << transcriptText(controlFor(form, line, verb.rest).text()) << "\n";
  } else if (verb.word == "state") {
    out << "== state\n" << printState_();
  } else if (verb.word == "wait") {
    out << (desktop_.waitForStartedProgram(kWaitSeconds) ? "== waited\n" : "== wait timed out\n");
  } else {
    // An answer that no box asked for.
    out << "== unused " << describe(line) << "\n";
  }
}

void ScriptRunner::select(Form& form, const ScriptLine& line, std::string_view rest) {
  const Verb name = splitVerb(rest);
  Control& list = controlFor(form, line, name.word);
  if (list.kind() != ControlKind::ListBox)
    throw ScriptError(describe(line) + ": " + list.name() + " is not a list box");
  std::vector<int> picks;
  std::string_view indices = name.rest;
  while (!indices.empty()) {
    const Verb next = splitVerb(indices);
    int index = -1;
    auto [end, ec] = std::from_chars(next.word.data(), next.word.data() + next.word.size(), index);
    if (ec != std::errc() || end != next.word.data() + next.word.size() || index < 0 ||
        index >= list.itemCount())
      throw ScriptError(describe(line) + ": no item " + std::string(next.word) + " in " +
                        list.name());
    picks.push_back(index);
    indices = next.rest;
  }
  for (int i = 0; i < list.itemCount(); ++i) list.setSelected(i, false);
  for (int index : picks) list.setSelected(index, true);
  if (list.onClick) list.onClick();
}

}  // namespace tarvex

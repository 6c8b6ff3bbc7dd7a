#include "platform/form.h"

#include <algorithm>

#include "platform/run_time_error.h"

namespace tarvex {

Form::Form(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

Form::~Form() = default;

Control& Form::add(std::string name, ControlKind kind, std::string text, std::string tooltip) {
  controls_.push_back(
      std::make_unique<Control>(*this, std::move(name), kind, std::move(text), std::move(tooltip)));
  return *controls_.back();
}

Control* Form::find(std::string_view name) const {
  for (const auto& control : controls_)
    if (control->name() == name) return control.get();
  return nullptr;
}

Control& Form::control(std::string_view name) const {
  if (Control* found = find(name)) return *found;
  throw RunTimeError(err::kInvalidProcedureCall,
                     "Form " + name_ + " has no control named " + std::string(name));
}

void Form::setFocus(const Control& control) {
  focus_ = control.name();
  tellObservers([&](FormObserver& observer) { observer.focusChanged(control); });
}

void Form::click(Control& control) {
  if (control.kind() == ControlKind::CheckBox) control.setChecked(!control.checked());
  if (control.onClick) control.onClick();
}

void Form::addObserver(FormObserver& observer) { observers_.push_back(&observer); }

void Form::removeObserver(FormObserver& observer) { std::erase(observers_, &observer); }

void Form::notifyChanged(const Control& control) {
  tellObservers([&](FormObserver& observer) { observer.controlChanged(control); });
}

void Form::tellObservers(const std::function<void(FormObserver&)>& tell) {
  // An observer may leave (or another join) while it is told: only those still
  // registered hear of the change.
  for (FormObserver* observer : std::vector(observers_))
    if (std::ranges::find(observers_, observer) != observers_.end()) tell(*observer);
}

}  // namespace tarvex

#include "platform/form.h"

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
  if (observer_) observer_->focusChanged(control);
}

void Form::click(Control& control) {
  if (control.kind() == ControlKind::CheckBox) control.setChecked(!control.checked());
  if (control.onClick) control.onClick();
}

void Form::notifyChanged(const Control& control) {
  if (observer_) observer_->controlChanged(control);
}

}  // namespace tarvex

#include "platform/control.h"

#include "platform/form.h"
#include "platform/run_time_error.h"

namespace tarvex {

Control::Control(Form& owner, std::string name, ControlKind kind, std::string text,
                 std::string tooltip)
    : owner_(owner),
      name_(std::move(name)),
      kind_(kind),
      text_(std::move(text)),
      tooltip_(std::move(tooltip)) {}

void Control::changed() { owner_.notifyChanged(*this); }

void Control::setText(std::string text) {
  text_ = std::move(text);
  changed();
}

void Control::setEnabled(bool enabled) {
  enabled_ = enabled;
  changed();
}

void Control::setVisible(bool visible) {
  visible_ = visible;
  changed();
}

void Control::setBold(bool bold) {
  bold_ = bold;
  changed();
}

void Control::setFontSize(int points) {
  fontSize_ = points;
  changed();
}

void Control::setBackColour(BackColour colour) {
  backColour_ = colour;
  changed();
}

void Control::setChecked(bool checked) {
  checked_ = checked;
  changed();
}

void Control::clearItems() {
  items_.clear();
  selected_.clear();
  changed();
}

void Control::addItem(std::string item) {
  items_.push_back(std::move(item));
  selected_.push_back(false);
  changed();
}

bool Control::selected(int index) const {
  if (index < 0 || index >= itemCount()) throw RunTimeError(err::kInvalidProcedureCall);
  return selected_[static_cast<std::size_t>(index)];
}

void Control::setSelected(int index, bool selected) {
  if (index < 0 || index >= itemCount()) throw RunTimeError(err::kInvalidProcedureCall);
  selected_[static_cast<std::size_t>(index)] = selected;
  changed();
}

void Control::setFocus() { owner_.setFocus(*this); }

}  // namespace tarvex

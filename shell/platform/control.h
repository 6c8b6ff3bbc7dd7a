#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarvex {

class Form;

enum class ControlKind { Button, TextBox, CheckBox, ListBox, Label, Frame, Shape, FileDialog };

// Background colours the shell switches between.
enum class BackColour { Window, InactiveBorder };

// One control of a form, held as data. Every change notifies the owning form so a
// view can follow while a handler runs.
class Control {
 public:
  Control(Form& owner, std::string name, ControlKind kind, std::string text, std::string tooltip);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Form& form() const { return owner_; }

  const std::string& text() const { return text_; }
  void setText(std::string text);
  const std::string& tooltip() const { return tooltip_; }
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  bool visible() const { return visible_; }
  void setVisible(bool visible);
  bool bold() const { return bold_; }
  void setBold(bool bold);
  int fontSize() const { return fontSize_; }
  void setFontSize(int points);
  BackColour backColour() const { return backColour_; }
  void setBackColour(BackColour colour);

  // Check boxes.
  bool checked() const { return checked_; }
  void setChecked(bool checked);

  // List boxes: items with a selected state each.
  const std::vector<std::string>& items() const { return items_; }
  int itemCount() const { return static_cast<int>(items_.size()); }
  void clearItems();
  void addItem(std::string item);
  bool selected(int index) const;
  void setSelected(int index, bool selected);

  void setFocus();

  // The click handler, if the control has one.
  std::function<void()> onClick;

 private:
  void changed();

  Form& owner_;
  std::string name_;
  ControlKind kind_;
  std::string text_;
  std::string tooltip_;
  bool enabled_ = true;
  bool visible_ = true;
  bool bold_ = false;
  int fontSize_ = 8;
  BackColour backColour_ = BackColour::Window;
  bool checked_ = false;
  std::vector<std::string> items_;
  std::vector<bool> selected_;
};

}  // namespace tarvex

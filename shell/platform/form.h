#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control.h"

namespace tarvex {

// What a view of a form learns about changes.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void controlChanged(const Control& control) = 0;
  virtual void focusChanged(const Control& control) = 0;
};

// A form: its controls in creation order, the focus, and its load hook.
class Form {
 public:
  Form(std::string name, std::string caption);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(std::string_view name) const;
  // The control of that name; a run-time error when there is none.
  Control& control(std::string_view name) const;

  const std::string& focus() const { return focus_; }
  void setFocus(const Control& control);

  // Clicks a control as a user would: a check box toggles first, then the handler runs.
  void click(Control& control);

  // Runs each time the form is shown; the base does nothing.
  virtual void load() {}
  // The control whose text a transcript of the form follows, if any.
  virtual const Control* transcriptControl() const { return nullptr; }
  bool loaded() const { return loaded_; }
  void setLoaded(bool loaded) { loaded_ = loaded; }

  // Views and transcripts that follow the form; each is told of every change, in the
  // order they were added. An observer removes itself before it goes away.
  void addObserver(FormObserver& observer);
  void removeObserver(FormObserver& observer);
  void notifyChanged(const Control& control);

 protected:
  Control& add(std::string name, ControlKind kind, std::string text = {}, std::string tooltip = {});

 private:
  void tellObservers(const std::function<void(FormObserver&)>& tell);

  std::string name_;
  std::string caption_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::string focus_;
  bool loaded_ = false;
  std::vector<FormObserver*> observers_;
};

// Follows a form for the lifetime of this object.
class ScopedObserver {
 public:
  ScopedObserver(Form& form, FormObserver& observer) : form_(form), observer_(observer) {
    form_.addObserver(observer_);
  }
  ~ScopedObserver() { form_.removeObserver(observer_); }
  ScopedObserver(const ScopedObserver&) = delete;
  ScopedObserver& operator=(const ScopedObserver&) = delete;

 private:
  Form& form_;
  FormObserver& observer_;
};

}  // namespace tarvex

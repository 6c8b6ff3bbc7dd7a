#pragma once

#include <QObject>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/form.h"

class QWidget;

namespace tarvex {

class QtDesktop;

// How a view wants some of its controls shown; every other control gets the plain
// widget of its kind.
struct BindingStyle {
  std::set<std::string, std::less<>> multiLine;          // text boxes of wrapped lines
  std::set<std::string, std::less<>> extendedSelection;  // lists with shift- and control-click
};

// Binds a form's controls to widgets by name. Each control gets one widget, made as a
// child of `owner` for the view to place; every change of a control shows at once, even
// while a handler runs, and the user's clicks, selections and focus go to the form.
class FormBinding : public QObject, private FormObserver {
 public:
  FormBinding(QtDesktop& desktop, Form& form, QWidget* owner, const BindingStyle& style = {});
  ~FormBinding() override;

  Form& form() const { return form_; }
  // The widget of a control; nullptr for a control no widget shows (the file dialog).
  QWidget* widget(std::string_view name) const;
  // Stops following the form, for a view that goes away later than its form's showing.
  void detach();
  // Brings every widget into line with its control.
  void syncAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* make(Control& control, QWidget* owner, const BindingStyle& style);
  void bindList(Control& control, QWidget* list);
  void sync(const Control& control, QWidget* widget);
  void syncList(const Control& control, QWidget* widget);
  void controlChanged(const Control& control) override;
  void focusChanged(const Control& control) override;

  QtDesktop& desktop_;
  Form& form_;
  std::map<std::string, QWidget*, std::less<>> widgets_;
  std::map<const QObject*, Control*> controlOf_;
  // The font size and weight each widget last took from its control. Until a control
  // leaves the design's 8 points, plain, the view's own font for it stands.
  std::map<const QWidget*, std::pair<int, bool>> appliedFont_;
  bool attached_ = true;
  bool syncing_ = false;
};

// The point size that stands for a control's font size: the shell's 8 points are the
// application's own size, so that text stays readable and smaller sizes stay smaller.
double pointSizeFor(int controlPoints);

}  // namespace tarvex

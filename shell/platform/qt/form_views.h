#pragma once

#include <QDialog>
#include <QWidget>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/form.h"
#include "platform/qt/form_binding.h"

class QBoxLayout;
class QGridLayout;
class QLayout;

namespace tarvex {

class QtDesktop;

// Places a view's bound widgets by control name, and keeps track of what it placed so
// that a control no layout names still shows (at the end) instead of floating.
class Placer {
 public:
  explicit Placer(FormBinding& binding) : binding_(binding) {}
  // The widget of a control, taken as placed; nullptr when the form has no such control.
  QWidget* take(std::string_view name);
  void add(QBoxLayout* layout, std::string_view name, int stretch = 0);
  void add(QGridLayout* layout, std::string_view name, int row, int column, int rowSpan = 1,
           int columnSpan = 1, Qt::Alignment alignment = {});
  // Tab moves through these controls in this order.
  void tabOrder(std::initializer_list<const char*> names) const;
  // Adds every widget not placed yet to `layout`.
  void addRest(QBoxLayout* layout);

 private:
  FormBinding& binding_;
  std::set<std::string, std::less<>> placed_;
};

// A form shown in its own window. Closing the window (or Escape) is the user's
// click of the form's Close button, which decides whether the form goes.
class FormDialog : public QDialog {
 public:
  FormDialog(QtDesktop& desktop, Form& form, QWidget* parent, const BindingStyle& style = {});
  FormBinding& binding() { return binding_; }
  QWidget* widget(std::string_view name) const { return binding_.widget(name); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  // The form's Close button alone on a row at the bottom right of `layout`.
  void addCloseRow(QBoxLayout* layout);

  QtDesktop& desktop_;
  FormBinding binding_;
  Placer place_;

 private:
  void closeAsUser();
};

// The main window. Closing it is a click of Exit: the program ends only there.
class MainWindowView : public QWidget {
 public:
  MainWindowView(QtDesktop& desktop, Form& form);
  FormBinding& binding() { return binding_; }
  QWidget* widget(std::string_view name) const { return binding_.widget(name); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QtDesktop& desktop_;
  FormBinding binding_;
  Placer place_;
};

// The view of a form shown by the desktop: frmInformation, frmFixStationIDs, frmWait and
// frmAbout have their own layouts; any other form lists its controls in order.
std::unique_ptr<FormDialog> makeFormView(QtDesktop& desktop, Form& form, QWidget* parent);

// The program's icon, drawn rather than shipped as a file.
QIcon shellIcon();

}  // namespace tarvex

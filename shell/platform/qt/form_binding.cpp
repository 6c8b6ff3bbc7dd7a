#include "platform/qt/form_binding.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_text.h"

namespace tarvex {

namespace {

constexpr int kDesignPoints = 8;

// Sets a flag for the lifetime of the guard, so that changes this binding makes are
// not taken for the user's or the form's.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = old_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

// Buttons take '&' as a shortcut marker; captions mean it literally.
QString caption(const std::string& text) { return toQt(text).replace('&', QLatin1String("&&")); }

}  // namespace

double pointSizeFor(int controlPoints) {
  return QApplication::font().pointSizeF() + (controlPoints - kDesignPoints);
}

FormBinding::FormBinding(QtDesktop& desktop, Form& form, QWidget* owner, const BindingStyle& style)
    : desktop_(desktop), form_(form) {
  for (const auto& control : form.controls()) {
    QWidget* widget = make(*control, owner, style);
    if (!widget) continue;
    widget->setObjectName(toQt(control->name()));
    widget->installEventFilter(this);
    widgets_.emplace(control->name(), widget);
    controlOf_.emplace(widget, control.get());
  }
  form_.addObserver(*this);
  syncAll();
}

FormBinding::~FormBinding() { detach(); }

void FormBinding::detach() {
  if (!attached_) return;
  attached_ = false;
  form_.removeObserver(*this);
}

QWidget* FormBinding::widget(std::string_view name) const {
  const auto found = widgets_.find(name);
  return found == widgets_.end() ? nullptr : found->second;
}

QWidget* FormBinding::make(Control& control, QWidget* owner, const BindingStyle& style) {
  const auto click = [this, &control] {
    desktop_.runHandler([this, &control] { form_.click(control); });
  };
  switch (control.kind()) {
    case ControlKind::Button: {
      auto* button = new QPushButton(owner);
      connect(button, &QPushButton::clicked, this, click);
      return button;
    }
    case ControlKind::CheckBox: {
      // Qt has ticked the box already; the form's click ticks its control, then runs
      // the handler, so the two agree.
      auto* box = new QCheckBox(owner);
      connect(box, &QCheckBox::clicked, this, click);
      return box;
    }
    case ControlKind::TextBox:
      if (style.multiLine.contains(control.name())) {
        // Long lines wrap at the box's edge, anywhere when a word is wider than the box,
        // so nothing is cut off to the right.
        auto* text = new QPlainTextEdit(owner);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return text;
      } else {
        // The shell writes these boxes; the user reads and copies them.
        auto* line = new QLineEdit(owner);
        line->setReadOnly(true);
        return line;
      }
    case ControlKind::ListBox: {
      auto* list = new QListWidget(owner);
      list->setSelectionMode(style.extendedSelection.contains(control.name())
                                 ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
      bindList(control, list);
      return list;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(owner);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::Frame:
    case ControlKind::Shape: {
      auto* frame = new QFrame(owner);
      frame->setFrameShape(control.kind() == ControlKind::Shape ? QFrame::StyledPanel
                                                                : QFrame::NoFrame);
      return frame;
    }
    case ControlKind::FileDialog:
      return nullptr;
  }
  return nullptr;
}

void FormBinding::bindList(Control& control, QWidget* widget) {
  auto* list = static_cast<QListWidget*>(widget);
  const auto click = [this, &control] {
    desktop_.runHandler([this, &control] { form_.click(control); });
  };
  connect(list, &QListWidget::itemSelectionChanged, this, [this, &control, list, click] {
    if (syncing_ || !attached_) return;
    {
      const FlagGuard guard(syncing_);
      for (int i = 0; i < list->count() && i < control.itemCount(); ++i)
        if (control.selected(i) != list->item(i)->isSelected())
          control.setSelected(i, list->item(i)->isSelected());
    }
    // A mouse click runs the handler when the button comes up; the keys run it here.
    if (QApplication::mouseButtons() == Qt::NoButton) click();
  });
  connect(list, &QListWidget::itemClicked, this, [this, click] {
    if (attached_) click();
  });
}

void FormBinding::syncAll() {
  for (const auto& control : form_.controls())
    if (QWidget* w = widget(control->name())) {
      if (auto* list = qobject_cast<QListWidget*>(w)) {
        const FlagGuard guard(syncing_);
        list->clear();
      }
      sync(*control, w);
    }
  if (QWidget* focus = widget(form_.focus())) {
    const FlagGuard guard(syncing_);
    focus->setFocus(Qt::OtherFocusReason);
  }
}

void FormBinding::sync(const Control& control, QWidget* w) {
  const FlagGuard guard(syncing_);
  w->setEnabled(control.enabled());
  if (w->isHidden() == control.visible()) w->setVisible(control.visible());
  const QString tip = toQt(control.tooltip());
  if (w->toolTip() != tip) w->setToolTip(tip);
  const std::pair<int, bool> wanted{control.fontSize(), control.bold()};
  auto applied = appliedFont_.try_emplace(w, kDesignPoints, false).first;
  if (applied->second != wanted) {
    QFont font = w->font();
    font.setPointSizeF(pointSizeFor(control.fontSize()));
    font.setBold(control.bold());
    w->setFont(font);
    applied->second = wanted;
  }

  if (auto* button = qobject_cast<QPushButton*>(w)) {
    if (button->text() != caption(control.text())) button->setText(caption(control.text()));
  } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
    if (box->text() != caption(control.text())) box->setText(caption(control.text()));
    box->setChecked(control.checked());
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    if (line->text() != toQt(control.text())) {
      line->setText(toQt(control.text()));
      line->setCursorPosition(0);
    }
    QPalette palette = QApplication::palette(line);
    if (control.backColour() == BackColour::InactiveBorder)
      palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    line->setPalette(palette);
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
    if (text->toPlainText() != toQtLines(control.text()))
      text->setPlainText(toQtLines(control.text()));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->pixmap().isNull() && label->text() != toQtLines(control.text()))
      label->setText(toQtLines(control.text()));
  } else if (qobject_cast<QListWidget*>(w)) {
    syncList(control, w);
  }
}

void FormBinding::syncList(const Control& control, QWidget* widget) {
  auto* list = static_cast<QListWidget*>(widget);
  // Items change only by clearing and by adding one at the end, and this binding hears
  // of each such change (syncAll starts from an empty list).
  const int count = control.itemCount();
  if (count == 0) {
    list->clear();
  } else if (count == list->count() + 1) {
    list->addItem(toQt(control.items().back()));
  } else if (count != list->count()) {
    list->clear();
    for (const std::string& item : control.items()) list->addItem(toQt(item));
  }
  for (int i = 0; i < count; ++i)
    if (list->item(i)->isSelected() != control.selected(i))
      list->item(i)->setSelected(control.selected(i));
}

void FormBinding::controlChanged(const Control& control) {
  if (syncing_) return;
  if (QWidget* w = widget(control.name())) sync(control, w);
}

void FormBinding::focusChanged(const Control& control) {
  if (syncing_) return;
  if (QWidget* w = widget(control.name())) {
    const FlagGuard guard(syncing_);
    w->setFocus(Qt::OtherFocusReason);
  }
}

bool FormBinding::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && !syncing_ && attached_) {
    const auto found = controlOf_.find(watched);
    if (found != controlOf_.end() && form_.focus() != found->second->name()) {
      const FlagGuard guard(syncing_);
      form_.setFocus(*found->second);
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tarvex

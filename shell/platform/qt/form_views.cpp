#include "platform/qt/form_views.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_text.h"

namespace tarvex {

namespace {

constexpr int kHelpButtonSize = 32;
constexpr int kStepButtonHeight = 48;

void setPointDelta(QWidget* widget, double delta, bool bold) {
  if (!widget) return;
  QFont font = widget->font();
  font.setPointSizeF(font.pointSizeF() + delta);
  font.setBold(bold);
  widget->setFont(font);
}

void wrap(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setWordWrap(true);
}

// "?" buttons are small squares beside what they explain.
void helpButton(QWidget* widget) {
  if (widget) widget->setFixedSize(kHelpButtonSize, kHelpButtonSize);
}

QHBoxLayout* row() {
  auto* layout = new QHBoxLayout;
  layout->setContentsMargins(0, 0, 0, 0);
  return layout;
}

}  // namespace

QWidget* Placer::take(std::string_view name) {
  QWidget* widget = binding_.widget(name);
  if (widget) placed_.emplace(name);
  return widget;
}

void Placer::add(QBoxLayout* layout, std::string_view name, int stretch) {
  if (QWidget* widget = take(name)) layout->addWidget(widget, stretch);
}

void Placer::add(QGridLayout* layout, std::string_view name, int row, int column, int rowSpan,
                 int columnSpan, Qt::Alignment alignment) {
  if (QWidget* widget = take(name))
    layout->addWidget(widget, row, column, rowSpan, columnSpan, alignment);
}

void Placer::tabOrder(std::initializer_list<const char*> names) const {
  QWidget* previous = nullptr;
  for (const char* name : names) {
    QWidget* next = binding_.widget(name);
    if (!next) continue;
    if (previous) QWidget::setTabOrder(previous, next);
    previous = next;
  }
}

void Placer::addRest(QBoxLayout* layout) {
  for (const auto& control : binding_.form().controls())
    if (!placed_.contains(control->name())) add(layout, control->name());
}

QIcon shellIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x5f, 0x9e));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  // Three waves: a stream's flow.
  painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  for (int y : {20, 33, 46}) {
    QPainterPath wave;
    wave.moveTo(12, y);
    wave.cubicTo(22, y - 8, 30, y + 8, 40, y);
    wave.cubicTo(45, y - 4, 49, y - 4, 52, y);
    painter.drawPath(wave);
  }
  return QIcon(pixmap);
}

// ---- Dialog forms -------------------------------------------------------------------

FormDialog::FormDialog(QtDesktop& desktop, Form& form, QWidget* parent, const BindingStyle& style)
    : QDialog(parent), desktop_(desktop), binding_(desktop, form, this, style), place_(binding_) {
  setWindowTitle(toQt(form.caption()));
}

void FormDialog::closeAsUser() {
  Form& form = binding_.form();
  if (!form.loaded() || desktop_.ending()) return;
  Control* close = form.find("cmdClose");
  if (close && close->enabled())
    desktop_.runHandler([&] { form.click(*close); });
  else if (!close)
    desktop_.runHandler([&] { desktop_.unload(form); });
}

void FormDialog::closeEvent(QCloseEvent* event) {
  if (binding_.form().loaded() && !desktop_.ending()) {
    event->ignore();
    closeAsUser();
    return;
  }
  QDialog::closeEvent(event);
}

void FormDialog::addCloseRow(QBoxLayout* layout) {
  auto* bottom = row();
  bottom->addStretch(1);
  place_.add(bottom, "cmdClose");
  if (QWidget* close = widget("cmdClose")) close->setMinimumWidth(120);
  layout->addLayout(bottom);
}

void FormDialog::reject() {
  if (binding_.form().loaded() && !desktop_.ending())
    closeAsUser();
  else
    QDialog::reject();
}

namespace {

// frmInformation: the report in a box that keeps its columns and wraps long lines, paging
// buttons at either side under it, Save, Copy and Close between them.
class InformationView : public FormDialog {
 public:
  InformationView(QtDesktop& desktop, Form& form, QWidget* parent)
      : FormDialog(desktop, form, parent, {{"tbOutput"}, {}}) {
    auto* layout = new QVBoxLayout(this);
    place_.add(layout, "Label1");
    if (QWidget* output = place_.take("tbOutput")) {
      QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
      mono.setPointSizeF(output->font().pointSizeF());
      output->setFont(mono);
      layout->addWidget(output, 1);
    }
    auto* buttons = row();
    place_.add(buttons, "cmdSeePrevious");
    buttons->addStretch(1);
    for (const char* name : {"cmdSave", "cmdCopy", "cmdClose"}) {
      place_.add(buttons, name);
      if (QWidget* button = widget(name)) button->setMinimumWidth(120);
    }
    buttons->addStretch(1);
    place_.add(buttons, "cmdSeeNext");
    layout->addLayout(buttons);
    place_.addRest(layout);
    resize(960, 640);
  }
};

// frmFixStationIDs: the three repairs in their order with their counts; the stations
// to pick from beside them.
class FixStationIdsView : public FormDialog {
 public:
  FixStationIdsView(QtDesktop& desktop, Form& form, QWidget* parent)
      : FormDialog(desktop, form, parent, {{}, {"ListFixStations"}}) {
    auto* layout = new QVBoxLayout(this);
    auto* columns = row();
    columns->setSpacing(18);

    auto* repairs = new QVBoxLayout;
    auto* grid = new QGridLayout;
    const char* rows[][3] = {{"cmdStripLeadingCharacters", "Label3", "tbNoLeading"},
                             {"cmdStripInternalCharacters", "Label4", "tbNoInternal"},
                             {"cmdAddLeadingZero", "lbl3", "tb7Digit"}};
    for (int r = 0; r < 3; ++r) {
      place_.add(grid, rows[r][0], r, 0);
      place_.add(grid, rows[r][1], r, 1);
      place_.add(grid, rows[r][2], r, 2);
      if (QWidget* button = widget(rows[r][0])) button->setMinimumHeight(kStepButtonHeight);
      if (QWidget* count = widget(rows[r][2])) count->setFixedWidth(70);
    }
    grid->setColumnStretch(0, 1);
    repairs->addLayout(grid);
    repairs->addSpacing(12);
    wrap(widget("Label2"));
    place_.add(repairs, "Label2");
    repairs->addStretch(1);
    columns->addLayout(repairs, 1);

    auto* stations = new QVBoxLayout;
    stations->setContentsMargins(0, 0, 0, 0);
    place_.add(stations, "Label1");
    place_.add(stations, "ListFixStations", 1);
    place_.add(stations, "cmdFixIt");
    if (QWidget* fix = widget("cmdFixIt")) fix->setMinimumHeight(kStepButtonHeight);
    auto* stationsPanel = new QWidget(this);
    stationsPanel->setLayout(stations);
    stationsPanel->setFixedWidth(300);
    columns->addWidget(stationsPanel);
    layout->addLayout(columns, 1);

    addCloseRow(layout);
    place_.addRest(layout);
    resize(940, 520);
  }
};

// frmWait: what to do while the engine runs, and the Close that ends the wait.
class WaitView : public FormDialog {
 public:
  WaitView(QtDesktop& desktop, Form& form, QWidget* parent) : FormDialog(desktop, form, parent) {
    auto* layout = new QVBoxLayout(this);
    wrap(widget("lblTitle"));
    setPointDelta(widget("lblTitle"), 1, true);
    place_.add(layout, "lblTitle");
    wrap(widget("Label1"));
    place_.add(layout, "Label1");
    layout->addStretch(1);
    addCloseRow(layout);
    place_.addRest(layout);
    resize(560, 200);
  }
};

// frmAbout: the icon beside the program's name, description and credits.
class AboutView : public FormDialog {
 public:
  AboutView(QtDesktop& desktop, Form& form, QWidget* parent) : FormDialog(desktop, form, parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(18);
    if (QWidget* frame = place_.take("imgIcon")) {
      auto* icon = new QLabel(frame);
      icon->setPixmap(shellIcon().pixmap(64, 64));
      auto* inside = new QVBoxLayout(frame);
      inside->setContentsMargins(0, 0, 0, 0);
      inside->addWidget(icon);
      static_cast<QFrame*>(frame)->setFrameShape(QFrame::NoFrame);
      auto* column = new QVBoxLayout;
      column->addWidget(frame);
      column->addStretch(1);
      layout->addLayout(column);
    }
    auto* text = new QVBoxLayout;
    setPointDelta(widget("lblVersion"), 2, true);
    for (const char* name : {"lblVersion", "lblDescription", "lblCredits", "lblReference"}) {
      wrap(widget(name));
      place_.add(text, name);
    }
    text->addStretch(1);
    addCloseRow(text);
    place_.addRest(text);
    layout->addLayout(text, 1);
    resize(600, 260);
  }
};

// Any other form: its controls top to bottom, in creation order.
class PlainView : public FormDialog {
 public:
  PlainView(QtDesktop& desktop, Form& form, QWidget* parent) : FormDialog(desktop, form, parent) {
    place_.addRest(new QVBoxLayout(this));
  }
};

}  // namespace

std::unique_ptr<FormDialog> makeFormView(QtDesktop& desktop, Form& form, QWidget* parent) {
  const std::string& name = form.name();
  if (name == "frmInformation") return std::make_unique<InformationView>(desktop, form, parent);
  if (name == "frmFixStationIDs") return std::make_unique<FixStationIdsView>(desktop, form, parent);
  if (name == "frmWait") return std::make_unique<WaitView>(desktop, form, parent);
  if (name == "frmAbout") return std::make_unique<AboutView>(desktop, form, parent);
  return std::make_unique<PlainView>(desktop, form, parent);
}

// ---- The main window ------------------------------------------------------------------

MainWindowView::MainWindowView(QtDesktop& desktop, Form& form)
    : desktop_(desktop), binding_(desktop, form, this), place_(binding_) {
  setWindowTitle(toQt(form.caption()));
  setWindowIcon(shellIcon());
  // On a screen too small for the window the content scrolls instead of overlapping.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  auto* content = new QWidget(scroll);
  scroll->setWidget(content);
  outer->addWidget(scroll);
  auto* root = new QVBoxLayout(content);
  root->setContentsMargins(14, 10, 14, 10);
  root->setSpacing(10);

  setPointDelta(widget("Label3"), 4, true);
  place_.add(root, "Label3");

  auto* body = row();
  body->setSpacing(16);

  // Left: the options Step 1 reads, then the four steps in order, then clean-up.
  auto* steps = new QVBoxLayout;
  steps->setSpacing(10);
  const auto group = [&](const char* box, std::initializer_list<const char*> options,
                         const char* ask) {
    QWidget* frame = place_.take(box);
    if (!frame) return;
    auto* grid = new QGridLayout(frame);
    int r = 0;
    for (const char* option : options) place_.add(grid, option, r++, 0);
    place_.add(grid, ask, 0, 1, r, 1, Qt::AlignTop);
    helpButton(widget(ask));
    grid->setColumnStretch(0, 1);
    steps->addWidget(frame);
  };
  group("BoxPrefixSuffix", {"ckboxSameFilePrefix", "ckboxSameFileSuffix"}, "cmdAskPrefixSuffix");
  group("BoxUserDefinedMatrix", {"cbUDWMatrix", "cbUDMHeadings"}, "cmdAskUDWMatrix");
  group("BoxDOVLFlowFiles", {"cbDOVLFiles"}, "cmdAskFlowFiles");
  steps->addSpacing(6);
  const auto step = [&](const char* button, const char* ask) {
    auto* line = row();
    place_.add(line, button, 1);
    if (QWidget* w = widget(button)) w->setMinimumHeight(kStepButtonHeight);
    if (ask) {
      place_.add(line, ask);
      helpButton(widget(ask));
    } else {
      // An empty square where the "?" would be keeps the step buttons one width.
      auto* gap = new QWidget(content);
      gap->setFixedSize(kHelpButtonSize, kHelpButtonSize);
      line->addWidget(gap);
    }
    steps->addLayout(line);
  };
  step("cmdInputFiles", "cmdAskInputFiles");
  step("cmdQAQCFiles", "cmdAskQAQCFiles");
  step("cmdRunTARVEX", "cmdAskRunTARVEX");
  step("cmdOpenOutPutDirectory", nullptr);
  steps->addStretch(1);
  auto* cleanUp = row();
  place_.add(cleanUp, "ckboxCleanUp", 1);
  place_.add(cleanUp, "cmdAskDeleteTempFiles");
  helpButton(widget("cmdAskDeleteTempFiles"));
  steps->addLayout(cleanUp);
  auto* stepsPanel = new QWidget(content);
  stepsPanel->setLayout(steps);
  steps->setContentsMargins(0, 0, 0, 0);
  stepsPanel->setFixedWidth(490);
  body->addWidget(stepsPanel);

  // Right of the steps: the files and the stations above, how it went below.
  auto* results = new QVBoxLayout;
  results->setSpacing(10);
  auto* top = row();
  top->setSpacing(16);
  QWidget* filesFrame = place_.take("frameTab02");
  QWidget* filesBox = place_.take("BoxFileName");
  if (filesFrame && filesBox) {
    auto* frameLayout = new QVBoxLayout(filesFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(filesBox);
    frameLayout->addStretch(1);
    auto* grid = new QGridLayout(filesBox);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    const char* files[][2] = {
        {"lblDir", "tbDirectory"},     {"lblSiteInfo", "tbSiteInfoFile"},
        {"lblFlowChar", "tbFlowChar"}, {"Label4", "tbLP3G"},
        {"Label5", "tbLP3s"},          {"Label6", "tbLP3K"},
        {"Label7", "tbUDWLS"},         {"lblOutPutSubDir", "tbOutputSubdirectory"}};
    int r = 0;
    for (const auto& file : files) {
      place_.add(grid, file[0], r, 0);
      place_.add(grid, file[1], r, 1);
      ++r;
    }
    auto* change = row();
    change->addStretch(1);
    place_.add(change, "cmdChangeOutputSubDir");
    if (QWidget* w = widget("cmdChangeOutputSubDir")) w->setMinimumHeight(kHelpButtonSize);
    place_.add(change, "cmdAskChangeOutputSubDir");
    helpButton(widget("cmdAskChangeOutputSubDir"));
    grid->addLayout(change, r, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    top->addWidget(filesFrame, 1);
  }
  auto* stations = new QVBoxLayout;
  stations->setContentsMargins(0, 0, 0, 0);
  auto* countRow = row();
  place_.add(countRow, "lblStationCount");
  place_.add(countRow, "tbStationCount", 1);
  stations->addLayout(countRow);
  wrap(widget("lblStations"));
  place_.add(stations, "lblStations");
  place_.add(stations, "ListStations", 1);
  auto* stationsPanel = new QWidget(content);
  stationsPanel->setLayout(stations);
  stationsPanel->setFixedWidth(190);
  top->addWidget(stationsPanel);
  results->addLayout(top, 1);
  place_.add(results, "tbMyStatus");
  auto* counts = row();
  place_.add(counts, "tbMyErrors", 1);
  place_.add(counts, "tbMyWarnings", 1);
  results->addLayout(counts);
  body->addLayout(results, 1);
  root->addLayout(body, 1);

  auto* footer = row();
  place_.add(footer, "Label1");
  footer->addStretch(1);
  for (const char* button : {"cmdAbout", "cmdExit"}) {
    place_.add(footer, button);
    if (QWidget* w = widget(button)) w->setMinimumWidth(110);
  }
  root->addLayout(footer);
  place_.addRest(root);
  place_.tabOrder({"ckboxSameFilePrefix",
                   "ckboxSameFileSuffix",
                   "cmdAskPrefixSuffix",
                   "cbUDWMatrix",
                   "cbUDMHeadings",
                   "cmdAskUDWMatrix",
                   "cbDOVLFiles",
                   "cmdAskFlowFiles",
                   "cmdInputFiles",
                   "cmdAskInputFiles",
                   "cmdQAQCFiles",
                   "cmdAskQAQCFiles",
                   "cmdRunTARVEX",
                   "cmdAskRunTARVEX",
                   "cmdOpenOutPutDirectory",
                   "ckboxCleanUp",
                   "cmdAskDeleteTempFiles",
                   "tbDirectory",
                   "tbSiteInfoFile",
                   "tbFlowChar",
                   "tbLP3G",
                   "tbLP3s",
                   "tbLP3K",
                   "tbUDWLS",
                   "tbOutputSubdirectory",
                   "cmdChangeOutputSubDir",
                   "cmdAskChangeOutputSubDir",
                   "tbMyStatus",
                   "tbMyErrors",
                   "tbMyWarnings",
                   "tbStationCount",
                   "ListStations",
                   "cmdAbout",
                   "cmdExit"});
  // A user starts at Step 1.
  if (form.focus().empty())
    if (QWidget* first = widget("cmdInputFiles")) first->setFocus(Qt::OtherFocusReason);
  resize(1240, 680);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  if (desktop_.ending()) {
    QWidget::closeEvent(event);
    return;
  }
  event->ignore();
  if (Control* exit = binding_.form().find("cmdExit"))
    desktop_.runHandler([&] { binding_.form().click(*exit); });
}

}  // namespace tarvex

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/captions.h"
#include "app/control_table.h"
#include "app/field_tools.h"
#include "app/fonts.h"
#include "app/number_box.h"
#include "app/plan_view.h"
#include "app/profile_view.h"
#include "app/readout_view.h"
#include "app/route_panel.h"
#include "app/said.h"
#include "app/section_view.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quenlor {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Twips across to pixels, drawn `scale` times wider.
int across(int twips, double scale) { return int(std::lround(twips * scale / kTwipsPerPixel)); }

// A control's place in pixels: its table's, drawn `scale` times wider; the
// ends are scaled, so that neighbours keep their gaps.
QRect pixelRect(const WindowControl& c, double scale) {
  const int left = across(c.left, scale);
  return {left, c.top / kTwipsPerPixel, across(c.left + c.width, scale) - left,
          c.height / kTwipsPerPixel};
}

// The one local file dragged, or nothing.
QString droppedFile(const QMimeData* data) {
  const QList<QUrl> urls = data->urls();
  return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

double formScale(int windowWidth) {
  constexpr int gaps = 3 * 8;
  const double room = double(windowWidth - kLeastViewsWidth - gaps) * kTwipsPerPixel;
  return std::clamp(room / kClientWidthTwips, 1.0, kMostFormScale);
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(fromUtf8(kWindowName));
  setWindowTitle(fromUtf8(kWindowCaption));
  setMinimumSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  setFont(controlFont());
  buildControls();
  buildFoldButton();
  readout_ = new ReadoutView(form_, this);
  orderTabs();
  buildViews();
  tools_ = new FieldToolsPanel(form_, this);
  tools_->setRouteBoxes(&routeBoxes_);
  routePanel_->setRouteBoxes(&routeBoxes_);
  toolsArea_ = new QScrollArea(this);
  toolsArea_->setObjectName(QStringLiteral("fieldToolsArea"));
  toolsArea_->setWidget(tools_);
  toolsArea_->setWidgetResizable(true);
  toolsArea_->setFrameShape(QFrame::NoFrame);
  plan_->setFieldAnswers(&tools_->answers());
  tools_->setListener([this] { plan_->formChanged(); });
  form_.setObserver([this](Box box, const std::string& text) {
    showText(box, text);
    readout_->formChanged();
    plan_->formChanged();
    tools_->formChanged();
    profile_->formChanged();
    section_->formChanged();
  });
  routePanel_->setStakeTable([this] { return &tools_->answers().table; });
  routePanel_->setSheetHeader([this] { return tools_->sheetHeader(); });
  routePanel_->setRouteListener([this] { showRoute(); });
  routePanel_->setSelectionListener([this] { showSelectedJd(); });
  connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, routePanel_,
          [this] { routePanel_->openDialog(); });
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, routePanel_,
          [this] { routePanel_->save(); });
  // The route's undo, where the focus is not in a text box: a box (of the
  // form, the tools or a cell being typed) takes Ctrl+Z itself, for its own
  // text, before the window's shortcut would.
  connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, routePanel_,
          [this] { routePanel_->undo(); });
  for (const QKeySequence& keys :
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
    connect(new QShortcut(keys, this), &QShortcut::activated, routePanel_,
            [this] { routePanel_->redo(); });
  setAcceptDrops(true);
  // Enter goes on to the next box, as on a field calculator.
  for (QLineEdit* edit : findChildren<QLineEdit*>())
    edit->installEventFilter(this);
}

void MainWindow::buildViews() {
  plan_ = new PlanView(form_, this);
  profile_ = new ProfileView(form_, this);
  section_ = new SectionView(form_, this);
  routePanel_ = new RoutePanel(form_, this);
  views_ = new QTabWidget(this);
  views_->setObjectName(QStringLiteral("views"));
  views_->addTab(plan_, caption(captions::kPlanTab));
  views_->addTab(profile_, caption(captions::kProfileTab));
  views_->addTab(section_, caption(captions::kSectionTab));
  views_->addTab(routePanel_, caption(captions::kRouteTab));
}

// The route in the panel, to every view of it: the same model to each, or
// none where it has no geometry (the plan and the tools then work on the
// boxes' curve).
void MainWindow::showRoute() {
  const auto route = routePanel_->document().drawable();
  plan_->setRoute(route);
  tools_->setRoute(route);
  profile_->setRoute(route);
  section_->setRoute(route);
  plan_->setSelectedJd(routePanel_->selectedJd());
}

// The JD chosen in the table, picked out on the plan, which centres on it
// with its neighbours in reach.
void MainWindow::showSelectedJd() {
  const auto jd = routePanel_->selectedJd();
  plan_->setSelectedJd(jd);
  if (!jd || !routePanel_->document().drawable())
    return;
  const route::RouteDefinition& d = routePanel_->document().route().definition();
  const route::Route& route = routePanel_->document().route();
  const auto pointAt = [&](std::size_t i) {
    return i < d.jds.size() ? route.jdPoint(i) : route.endPoint();
  };
  const PlanePoint at = pointAt(*jd);
  const PlanePoint before = *jd == 0 ? PlanePoint{d.start.x, d.start.y} : pointAt(*jd - 1);
  const PlanePoint after = pointAt(*jd + 1);
  const double reach = std::max(std::hypot(at.x - before.x, at.y - before.y),
                                std::hypot(at.x - after.x, at.y - after.y));
  plan_->centreOn(at, 2 * reach);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty())
    return;
  event->acceptProposedAction();
  routePanel_->open(file);
  views_->setCurrentWidget(routePanel_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (routePanel_->mayCloseWindow())
    event->accept();
  else
    event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A file dropped on a box opens as a route instead of landing in the box
  // as text.
  const QEvent::Type type = event->type();
  if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
      qobject_cast<QLineEdit*>(watched) &&
      !droppedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
    if (type == QEvent::Drop)
      dropEvent(static_cast<QDropEvent*>(event));
    else
      static_cast<QDropEvent*>(event)->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QCoreApplication::sendEvent(watched, &tab);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// The controls keep their places at the top left, drawn wider where the
// window has room. The views (plan, profile, route panel) take the height of
// the window right of them; the field tools take what is below them, in an
// area that scrolls where the window is too low for all of them. Where the
// window is too narrow for the views beside the controls, they go below the
// tools. Folded, the controls give their room up: the tools stand below the
// fold button, as wide as the controls would be or less than half the
// window, and the views right of them.
void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  constexpr int gap = 8, leastPlanSide = 160, leastToolsHeight = 60;
  constexpr double foldedToolsShare = 0.45;
  const double scale = formScale(width());
  placeControls(scale);
  const int formWidth = across(kClientWidthTwips, scale);
  const int controlsRight =
      (folded_ ? std::min(kClientWidthTwips / kTwipsPerPixel, int(width() * foldedToolsShare))
               : formWidth) +
      gap;
  const int controlsBottom =
      folded_ ? fold_->geometry().bottom() + gap : kClientHeightTwips / kTwipsPerPixel + gap;
  const int belowHeight = height() - controlsBottom - gap;
  const bool planBeside = width() - controlsRight - gap >= leastPlanSide;

  const int toolsWidth = planBeside ? controlsRight - 2 * gap : width() - 2 * gap;
  int toolsHeight = belowHeight;
  if (!planBeside)
    toolsHeight = std::min(belowHeight, tools_->minimumSizeHint().height());
  toolsArea_->setVisible(toolsHeight >= leastToolsHeight);
  toolsArea_->setGeometry(gap, controlsBottom, toolsWidth, toolsHeight);

  QRect plan(controlsRight, gap, width() - controlsRight - gap, height() - 2 * gap);
  if (!planBeside) {
    const int top = controlsBottom + toolsHeight + gap;
    plan = QRect(gap, top, width() - 2 * gap, height() - top - gap);
  }
  const bool planFits = plan.width() >= leastPlanSide && plan.height() >= leastPlanSide;
  views_->setVisible(planFits);
  if (planFits)
    views_->setGeometry(plan);
}

// The readout takes the free corner right of the notice (Label2), below the
// title's box (Label1) and above the station's row (Label3).
void MainWindow::placeControls(double scale) {
  for (const auto& [widget, control] : controls_) {
    widget->setGeometry(pixelRect(*control, scale));
    widget->setVisible(!folded_);
  }
  constexpr int gap = 8;
  const QRect notice = findChild<QWidget*>(QStringLiteral("Label2"))->geometry();
  const int top = findChild<QWidget*>(QStringLiteral("Label1"))->geometry().bottom() + gap;
  const int bottom = findChild<QWidget*>(QStringLiteral("Label3"))->geometry().top();
  const int left = notice.right() + 2 * gap, right = across(kClientWidthTwips, scale);
  readout_->setGeometry(left, top, right - left, bottom - gap - top);
  readout_->setVisible(!folded_);
}

// In the empty corner left of the title, clear of every control.
void MainWindow::buildFoldButton() {
  fold_ = new QToolButton(this);
  fold_->setObjectName(QStringLiteral("foldForm"));
  fold_->setText(caption(captions::kFold));
  fold_->setToolTip(said(Say::TipFold));
  fold_->setFocusPolicy(Qt::NoFocus);
  fold_->move(8, 4);
  fold_->adjustSize();
  connect(fold_, &QToolButton::clicked, this, [this] { setFormFolded(!folded_); });
}

void MainWindow::setFormFolded(bool folded) {
  folded_ = folded;
  fold_->setText(caption(folded ? captions::kUnfold : captions::kFold));
  fold_->adjustSize();
  QResizeEvent event(size(), size());
  resizeEvent(&event);
}

void MainWindow::buildControls() {
  for (const WindowControl& control : windowControls()) {
    QWidget* widget = nullptr;
    const QString caption = fromUtf8(control.caption);
    switch (control.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(caption, this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(control.name == "Label2");
      if (control.name == "Label1")
        label->setFont(titleFont());
      widget = label;
      break;
    }
    case ControlKind::TextBox: {
      const Box box = *boxFromName(control.name);
      auto* edit = new NumberBox(this);
      boxes_[std::size_t(boxNumber(box))] = edit;
      // Every user edit, whatever its kind (keys, paste, cut, undo, input
      // method), arrives here once with the whole new text; texts the form
      // writes with setText() do not.
      connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        if (box == Box::Text26)
          routeBoxes_.beforeChainage(form_, routePanel_->document().drawable().get(),
                                     text.toStdString());
        form_.edit(box, text.toStdString());
      });
      widget = edit;
      break;
    }
    case ControlKind::Button: {
      const Button button = *buttonFromName(control.name);
      auto* push = new QPushButton(caption, this);
      buttons_[std::size_t(button)] = push;
      connect(push, &QPushButton::clicked, this, [this, button] { form_.click(button); });
      widget = push;
      break;
    }
    }
    widget->setObjectName(fromUtf8(control.name));
    widget->setGeometry(pixelRect(control, 1));
    controls_.emplace_back(widget, &control);
  }
}

void MainWindow::orderTabs() {
  std::vector<const WindowControl*> focusable;
  for (const WindowControl& control : windowControls())
    if (control.kind != ControlKind::Label)
      focusable.push_back(&control);
  std::sort(focusable.begin(), focusable.end(), [](const WindowControl* a, const WindowControl* b) {
    return a->tabIndex < b->tabIndex;
  });
  for (std::size_t i = 1; i < focusable.size(); ++i)
    QWidget::setTabOrder(findChild<QWidget*>(fromUtf8(focusable[i - 1]->name)),
                         findChild<QWidget*>(fromUtf8(focusable[i]->name)));
}

void MainWindow::showText(Box box, const std::string& text) {
  QLineEdit* edit = this->box(box);
  const QString shown = QString::fromStdString(text);
  // The user's own edit is already in the box: leave its cursor alone.
  if (edit->text() == shown)
    return;
  edit->setText(shown);
  // A box typed in goes on from the end of its new text; any other shows the
  // leading digits, which are the ones a surveyor reads.
  if (!edit->hasFocus())
    edit->setCursorPosition(0);
}

} // namespace quenlor

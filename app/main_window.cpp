// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/control_table.h"
#include "app/field_tools.h"
#include "app/fonts.h"
#include "app/plan_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <vector>

namespace quenlor {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QRect pixelRect(const WindowControl& c) {
  return {c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
          c.height / kTwipsPerPixel};
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(fromUtf8(kWindowName));
  setWindowTitle(fromUtf8(kWindowCaption));
  setMinimumSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  setFont(controlFont());
  buildControls();
  orderTabs();
  plan_ = new PlanView(form_, this);
  tools_ = new FieldToolsPanel(form_, this);
  form_.setObserver([this](Box box, const std::string& text) {
    showText(box, text);
    plan_->formChanged();
    tools_->formChanged();
  });
}

// The field tools go below the controls, the plan right of them, or below
// the tools where the window is too narrow for that; the controls never move.
void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  constexpr int gap = 8, toolsHeight = 300, leastPlanSide = 160;
  const int controlsRight = kClientWidthTwips / kTwipsPerPixel + gap;
  const int controlsBottom = kClientHeightTwips / kTwipsPerPixel + gap;
  const int belowHeight = height() - controlsBottom - gap;

  const bool toolsFit = belowHeight >= 160;
  tools_->setVisible(toolsFit);
  const int toolsWidth = std::min(width() - 2 * gap, controlsRight - gap);
  if (toolsFit)
    tools_->setGeometry(gap, controlsBottom, toolsWidth, std::min(belowHeight, toolsHeight));

  QRect plan(controlsRight, gap, width() - controlsRight - gap, height() - 2 * gap);
  if (plan.width() < leastPlanSide) {
    const int top = controlsBottom + (toolsFit ? tools_->height() + gap : 0);
    plan = QRect(gap, top, width() - 2 * gap, height() - top - gap);
  }
  const bool planFits = plan.width() >= leastPlanSide && plan.height() >= leastPlanSide;
  plan_->setVisible(planFits);
  if (planFits)
    plan_->setGeometry(plan);
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
      auto* edit = new QLineEdit(this);
      // No box is limited in length: a long paste arrives whole, never cut
      // at the toolkit's default of 32,767 characters.
      edit->setMaxLength(std::numeric_limits<int>::max());
      boxes_[std::size_t(boxNumber(box))] = edit;
      // Every user edit, whatever its kind (keys, paste, cut, undo, input
      // method), arrives here once with the whole new text; texts the form
      // writes with setText() do not.
      connect(edit, &QLineEdit::textEdited, this,
              [this, box](const QString& text) { form_.edit(box, text.toStdString()); });
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
    widget->setGeometry(pixelRect(control));
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

#include "app/main_window.h"

#include "app/fonts.h"
#include "app/plan_view.h"
#include "main/window_layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace quenlor {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QRect pixelRect(const ControlSpec& c) {
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
  form_.setObserver([this](Box box, const std::string& text) {
    showText(box, text);
    plan_->formChanged();
  });
}

// The plan takes the larger of the free areas right of the controls and below
// them; the controls never move.
void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  constexpr int gap = 8;
  const int controlsRight = kClientWidthTwips / kTwipsPerPixel + gap;
  const int controlsBottom = kClientHeightTwips / kTwipsPerPixel + gap;
  const QRect right(controlsRight, gap, width() - controlsRight - gap, height() - 2 * gap);
  const QRect below(gap, controlsBottom, width() - 2 * gap, height() - controlsBottom - gap);
  const auto area = [](const QRect& r) {
    return r.isValid() ? qint64(r.width()) * r.height() : qint64(0);
  };
  const QRect& larger = area(right) >= area(below) ? right : below;
  const bool fits =
      larger.width() >= plan_->minimumWidth() && larger.height() >= plan_->minimumHeight();
  plan_->setVisible(fits);
  if (fits)
    plan_->setGeometry(larger);
}

void MainWindow::buildControls() {
  for (const ControlSpec& spec : windowControls()) {
    QWidget* widget = nullptr;
    const QString caption = fromUtf8(spec.caption);
    switch (spec.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(caption, this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(spec.name == "Label2");
      if (spec.name == "Label1")
        label->setFont(titleFont());
      widget = label;
      break;
    }
    case ControlKind::TextBox: {
      const Box box = *boxFromName(spec.name);
      auto* edit = new QLineEdit(this);
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
      const Button button = *buttonFromName(spec.name);
      auto* push = new QPushButton(caption, this);
      buttons_[std::size_t(button)] = push;
      connect(push, &QPushButton::clicked, this, [this, button] { form_.click(button); });
      widget = push;
      break;
    }
    }
    widget->setObjectName(fromUtf8(spec.name));
    widget->setGeometry(pixelRect(spec));
  }
}

void MainWindow::orderTabs() {
  std::vector<const ControlSpec*> focusable;
  for (const ControlSpec& spec : windowControls())
    if (spec.kind != ControlKind::Label)
      focusable.push_back(&spec);
  std::sort(focusable.begin(), focusable.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
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

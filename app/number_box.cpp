// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/number_box.h"

#include "numeric/shown_number.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <limits>

namespace quenlor {
namespace {

// Room QLineEdit keeps beside its text, inside the frame.
constexpr int kHorizontalMargin = 2;

} // namespace

NumberBox::NumberBox(QWidget* parent) : QLineEdit(parent) {
  // No box is limited in length: a pasted megabyte arrives whole.
  setMaxLength(std::numeric_limits<int>::max());
  connect(this, &QLineEdit::textChanged, this, [this] { updateToolTip(); });
}

QRect NumberBox::textArea() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  return contents.marginsRemoved(textMargins())
      .adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
}

bool NumberBox::fits(const QString& text) const {
  return fontMetrics().horizontalAdvance(text) <= textArea().width();
}

QString NumberBox::displayedText() const {
  const int width = textArea().width();
  const QFontMetrics metrics = fontMetrics();
  const std::string shown = shownNumber(text().toStdString(), [&](std::string_view t) {
    return metrics.horizontalAdvance(QString::fromUtf8(t.data(), qsizetype(t.size()))) <= width;
  });
  return QString::fromStdString(shown);
}

void NumberBox::updateToolTip() { setToolTip(fits(text()) ? QString() : text()); }

void NumberBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Tab leaves the text selected and scrolled to its end: show its start.
  deselect();
  setCursorPosition(0);
}

void NumberBox::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  updateToolTip();
}

void NumberBox::paintEvent(QPaintEvent* event) {
  if (hasFocus() || fits(text())) {
    QLineEdit::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionFrame option;
  initStyleOption(&option);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, displayedText());
}

} // namespace quenlor

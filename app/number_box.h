// SPDX-License-Identifier: GPL-3.0-or-later
// A text box of the form. While it has the focus it is an ordinary line edit.
// Without the focus it shows the start of its text, never the tail a cursor
// left in view, and a number too wide for it keeps its sign, its leading
// digits and its exponent, with an ellipsis where digits are left out; the
// whole text is then in its tooltip. The text itself, what is selected,
// copied and computed with, is never changed by what the box shows.
#pragma once

#include <QLineEdit>

namespace quenlor {

class NumberBox : public QLineEdit {
public:
  explicit NumberBox(QWidget* parent);

  // What the box shows of its text while it has no focus.
  QString displayedText() const;

protected:
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  QRect textArea() const;
  bool fits(const QString& text) const;
  void updateToolTip();
};

} // namespace quenlor

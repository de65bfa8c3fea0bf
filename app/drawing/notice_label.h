// SPDX-License-Identifier: GPL-3.0-or-later
// A notice line: one line of plain text in the notice colour, cut short with
// an ellipsis where it is wider than the line (the whole text is its
// tooltip), cut anew as the line's width changes. It takes the width its
// layout gives it and never asks for more, so that a long notice cannot
// widen a panel.
#pragma once

#include <QLabel>

namespace quenlor {

class NoticeLabel : public QLabel {
public:
  NoticeLabel(const char* name, QWidget* parent);

  void setNotice(const QString& text);
  const QString& notice() const { return notice_; }

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void showElided();

  QString notice_;
};

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/notice_label.h"

namespace quenlor {

NoticeLabel::NoticeLabel(const char* name, QWidget* parent) : QLabel(parent) {
  setObjectName(QString::fromUtf8(name));
  setStyleSheet(QStringLiteral("color: #b45000;"));
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void NoticeLabel::setNotice(const QString& text) {
  if (text == notice_)
    return;
  notice_ = text;
  setToolTip(text);
  showElided();
}

void NoticeLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  showElided();
}

// The label's own width: what its layout gave it.
void NoticeLabel::showElided() {
  const QString shown = fontMetrics().elidedText(notice_, Qt::ElideRight, width());
  if (shown != text())
    setText(shown);
}

} // namespace quenlor

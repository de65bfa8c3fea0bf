// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/kept_picture.h"

#include <QPainter>
#include <QWidget>

namespace quenlor {

bool KeptPicture::stale(const QWidget& widget) const {
  const qreal ratio = widget.devicePixelRatioF();
  return dropped_ || picture_.devicePixelRatio() != ratio ||
         picture_.size() != widget.size() * ratio;
}

QPixmap& KeptPicture::remake(const QWidget& widget) {
  const qreal ratio = widget.devicePixelRatioF();
  if (picture_.devicePixelRatio() != ratio || picture_.size() != widget.size() * ratio) {
    picture_ = QPixmap(widget.size() * ratio);
    picture_.setDevicePixelRatio(ratio);
  }
  picture_.fill(Qt::white);
  dropped_ = false;
  return picture_;
}

void KeptPicture::paint(QPainter& painter) const { painter.drawPixmap(0, 0, picture_); }

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/point_stamp.h"

#include "app/drawing/clipped_lines.h"

#include <QPainter>

#include <climits>
#include <cmath>

namespace quenlor {

void PointStamp::draw(QPainter& painter, std::span<const QPointF> points) {
  const qreal ratio = painter.device()->devicePixelRatioF();
  const double side = 2 * std::ceil(reach_);
  if (picture_.isNull() || picture_.devicePixelRatio() != ratio) {
    picture_ = QPixmap(QSize(int(side), int(side)) * ratio);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(Qt::transparent);
    QPainter p(&picture_);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(side / 2, side / 2);
    symbol_(p);
  }
  QPoint last(INT_MIN, INT_MIN);
  for (const QPointF& at : points) {
    if (!paintable(at))
      continue;
    const QPoint pixel = at.toPoint();
    if (pixel == last)
      continue;
    last = pixel;
    painter.drawPixmap(QPointF(pixel) - QPointF(side / 2, side / 2), picture_);
  }
}

} // namespace quenlor

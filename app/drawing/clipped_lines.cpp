// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/clipped_lines.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

// Screen coordinates beyond this are not painted.
constexpr double kPaintLimit = 1e6;

bool finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

bool inside(const QPolygonF& points, const QRectF& area) {
  return std::all_of(points.begin(), points.end(),
                     [&](const QPointF& p) { return finite(p) && area.contains(p); });
}

} // namespace

bool paintable(const QPointF& p) {
  return finite(p) && std::fabs(p.x()) < kPaintLimit && std::fabs(p.y()) < kPaintLimit;
}

bool clipSegment(QPointF& a, QPointF& b, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0)
        return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1)
    return false;
  const QPointF start = a;
  a = start + t0 * QPointF(dx, dy);
  b = start + t1 * QPointF(dx, dy);
  return true;
}

void drawClippedLine(QPainter& painter, QPointF a, QPointF b, const QRectF& area) {
  if (finite(a) && finite(b) && clipSegment(a, b, area))
    painter.drawLine(a, b);
}

void drawClippedPolyline(QPainter& painter, const QPolygonF& points, const QRectF& area) {
  if (inside(points, area)) {
    painter.drawPolyline(points);
    return;
  }
  for (qsizetype i = 1; i < points.size(); ++i)
    drawClippedLine(painter, points[i - 1], points[i], area);
}

void drawClippedPolylines(QPainter& painter, std::span<const QPolygonF> lines, const QRectF& area) {
  if (!std::all_of(lines.begin(), lines.end(),
                   [&](const QPolygonF& l) { return inside(l, area); })) {
    for (const QPolygonF& line : lines)
      drawClippedPolyline(painter, line, area);
    return;
  }
  QPainterPath path;
  for (const QPolygonF& line : lines)
    path.addPolygon(line);
  painter.strokePath(path, painter.pen());
}

} // namespace quenlor

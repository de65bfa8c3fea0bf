// SPDX-License-Identifier: GPL-3.0-or-later
// A small symbol drawn once into a picture and stamped at many points, each
// on the pixel nearest it: a profile's thousands of grade points cost a copy
// each, and a point on the same pixel as the one before it costs nothing.
#pragma once

#include <QPixmap>
#include <QPointF>

#include <span>

class QPainter;

namespace quenlor {

class PointStamp {
public:
  // The symbol, drawn about the origin by `symbol` within `reach` pixels of
  // it.
  using Symbol = void (*)(QPainter& painter);
  PointStamp(Symbol symbol, double reach) : symbol_(symbol), reach_(reach) {}

  // Stamps the symbol at each point, in order.
  void draw(QPainter& painter, std::span<const QPointF> points);

private:
  Symbol symbol_;
  double reach_;
  QPixmap picture_; // at the pixel ratio of the last painter
};

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Lines whose points may land far outside the view: a mistyped exponent, a
// zoom into a long route or a large exaggeration puts them millions of
// pixels away, where the painter's rasteriser is not meant to work. They
// are clipped to an area a little larger than the view first.
#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <span>

class QPainter;

namespace quenlor {

// Both coordinates finite and within a million pixels of the origin.
bool paintable(const QPointF& p);

// Clips the segment to the area (Liang–Barsky); false when none of it is in.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& area);

// With the painter's pen; nothing of a segment with a point not finite.
void drawClippedLine(QPainter& painter, QPointF a, QPointF b, const QRectF& area);
// In one stroke where every point lies in the area (the usual case),
// segment by segment, each clipped, where some do not.
void drawClippedPolyline(QPainter& painter, const QPolygonF& points, const QRectF& area);
// Many at once: one stroke for all where every point lies in the area (a
// profile's thousands of vertical curves cost one call), else each alone.
void drawClippedPolylines(QPainter& painter, std::span<const QPolygonF> lines, const QRectF& area);

} // namespace quenlor

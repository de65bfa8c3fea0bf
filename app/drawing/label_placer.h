// SPDX-License-Identifier: GPL-3.0-or-later
// Labels placed beside their anchors, clear of each other and of what else
// the view shows: obstacles (a north arrow, a scale box) and markers (the
// small symbols at points, each an obstacle to every label but its own).
//
// A label goes to the first of its candidate places that covers nothing;
// where none is clear, to the one that covers least. What a place covers is
// the area it shares with the obstacles, the markers and the labels placed
// before it (each taken a pixel larger, so that labels do not touch), plus
// ten times its area outside the view: a label cut off by the edge is worse
// than one over another.
//
// Obstacles, markers and placed labels are kept in a grid of cells over the
// view, so that a place is weighed against its neighbours alone, and a
// candidate is given up as soon as it covers more than the best before it:
// placing n labels costs about n, however many there are.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <span>
#include <vector>

namespace quenlor {

class LabelPlacer {
public:
  // Labels are to stay inside the view.
  explicit LabelPlacer(const QRectF& view = {}) { reset(view); }
  // Forgets everything: a new paint.
  void reset(const QRectF& view);

  void addObstacle(const QRectF& area);
  // A square marker of the given half side at a point.
  void addMarker(const QPointF& at, double halfSide);

  struct Place {
    QRectF rect;
    double cover = 0; // 0: clear
  };
  // The place of a label of a size at an anchor. `corners`: where its top
  // left corner may go, relative to the anchor, most wanted first; at least
  // one. An anchor not finite has no place: its cover is infinite.
  Place place(const QSizeF& size, const QPointF& anchor, std::span<const QPointF> corners) const;
  // Whether a place overlaps a label placed before.
  bool coversALabel(const QRectF& place) const;
  // Whether every candidate place of a label of at least this size
  // overlaps a label placed before. Where a larger label's candidates each
  // hold the smaller one's (corners that grow away from the anchor, as
  // labels beside, above and below it do), the larger label would overlap
  // one wherever it went: a view can pass over it without making its text.
  bool crowded(const QSizeF& least, const QPointF& anchor, std::span<const QPointF> corners) const;
  // A label placed: later ones avoid it.
  void keep(const QRectF& label);
  // The labels placed, in order.
  const std::vector<QRectF>& labels() const { return labels_; }

private:
  enum class Kind : std::uint8_t { Obstacle, Marker, Label };
  struct Item {
    QRectF area;  // as weighed: a label a pixel larger
    QPointF mark; // a marker's point
    Kind kind;
    std::uint32_t label; // a label's index in labels_
  };
  void add(const Item& item);
  // What a place covers, or at least `enough` once it has covered that much.
  double coverOf(const QRectF& place, const QPointF& anchor, double enough) const;
  // Calls `f` with each item whose cells meet the rectangle, once, until it
  // answers false.
  template <class F> void near(const QRectF& rect, F f) const;
  // The cells a rectangle meets: columns and rows, first and last. Beyond
  // the grid, the cells at its edge stand for the plane outside.
  struct CellRange {
    int left, top, right, bottom;
  };
  CellRange cellsOf(const QRectF& rect) const;

  QRectF view_;
  QPointF gridOrigin_;
  int columns_ = 1, rows_ = 1;
  std::vector<Item> items_;
  std::vector<std::uint32_t> large_;              // items over too many cells, weighed always
  std::vector<std::vector<std::uint32_t>> cells_; // row by row
  std::vector<QRectF> labels_;
  mutable std::vector<std::uint32_t> seen_; // the last query that met each item
  mutable std::uint32_t query_ = 0;
};

} // namespace quenlor

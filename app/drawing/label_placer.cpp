// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/label_placer.h"

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

constexpr double kCell = 64;            // pixels a side of a grid cell
constexpr double kGridMargin = 256;     // pixels of grid around the view
constexpr double kMostCellsAcross = 16; // an item over more is weighed always
constexpr double kOutsideWeight = 10;   // a pixel outside the view, against one covered
constexpr double kLabelRoom = 1;        // pixels kept free around a label

double areaOf(const QRectF& r) { return r.width() * r.height(); }

bool finite(const QRectF& r) {
  return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) &&
         std::isfinite(r.bottom());
}

bool spansTooManyCells(const QRectF& r) {
  return r.width() > kCell * kMostCellsAcross || r.height() > kCell * kMostCellsAcross;
}

// The area two rectangles share, 0 when they are apart (the usual case,
// told without making their intersection).
double sharedArea(const QRectF& a, const QRectF& b) {
  if (a.right() <= b.left() || b.right() <= a.left() || a.bottom() <= b.top() ||
      b.bottom() <= a.top())
    return 0;
  return areaOf(a.intersected(b));
}

// The area of a place outside the view: none when inside, and never less
// than none however the difference rounds.
double outsideArea(const QRectF& place, const QRectF& view) {
  if (view.contains(place))
    return 0;
  return std::max(0.0, areaOf(place) - areaOf(place.intersected(view)));
}

} // namespace

void LabelPlacer::reset(const QRectF& view) {
  view_ = view;
  gridOrigin_ = view.topLeft() - QPointF(kGridMargin, kGridMargin);
  const auto count = [](double length) {
    return std::clamp(int(std::ceil((length + 2 * kGridMargin) / kCell)), 1, 4096);
  };
  columns_ = count(view.width());
  rows_ = count(view.height());
  items_.clear();
  large_.clear();
  cells_.resize(std::size_t(columns_) * std::size_t(rows_));
  for (auto& cell : cells_)
    cell.clear();
  labels_.clear();
  seen_.clear();
}

LabelPlacer::CellRange LabelPlacer::cellsOf(const QRectF& r) const {
  const auto cell = [](double at, int count) {
    return int(std::clamp(std::floor(at / kCell), 0.0, double(count - 1)));
  };
  return {cell(r.left() - gridOrigin_.x(), columns_), cell(r.top() - gridOrigin_.y(), rows_),
          cell(r.right() - gridOrigin_.x(), columns_), cell(r.bottom() - gridOrigin_.y(), rows_)};
}

void LabelPlacer::add(const Item& item) {
  if (!finite(item.area))
    return;
  const auto index = std::uint32_t(items_.size());
  items_.push_back(item);
  seen_.push_back(query_);
  if (spansTooManyCells(item.area)) {
    large_.push_back(index);
    return;
  }
  const CellRange range = cellsOf(item.area);
  for (int row = range.top; row <= range.bottom; ++row)
    for (int column = range.left; column <= range.right; ++column)
      cells_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)].push_back(index);
}

void LabelPlacer::addObstacle(const QRectF& area) { add({area, {}, Kind::Obstacle, 0}); }

void LabelPlacer::addMarker(const QPointF& at, double halfSide) {
  add({QRectF(at - QPointF(halfSide, halfSide), QSizeF(2 * halfSide, 2 * halfSide)), at,
       Kind::Marker, 0});
}

void LabelPlacer::keep(const QRectF& label) {
  add({label.adjusted(-kLabelRoom, -kLabelRoom, kLabelRoom, kLabelRoom),
       {},
       Kind::Label,
       std::uint32_t(labels_.size())});
  labels_.push_back(label);
}

template <class F> void LabelPlacer::near(const QRectF& rect, F f) const {
  ++query_;
  const auto visit = [&](std::uint32_t index) {
    if (seen_[index] == query_)
      return true;
    seen_[index] = query_;
    return f(items_[index]);
  };
  for (const std::uint32_t index : large_)
    if (!visit(index))
      return;
  if (!finite(rect) || spansTooManyCells(rect)) {
    for (std::uint32_t index = 0; index < items_.size(); ++index)
      if (!visit(index))
        return;
    return;
  }
  const CellRange range = cellsOf(rect);
  for (int row = range.top; row <= range.bottom; ++row)
    for (int column = range.left; column <= range.right; ++column)
      for (const std::uint32_t index :
           cells_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)])
        if (!visit(index))
          return;
}

double LabelPlacer::coverOf(const QRectF& place, const QPointF& anchor, double enough) const {
  double covered = outsideArea(place, view_) * kOutsideWeight;
  if (covered >= enough)
    return covered;
  near(place, [&](const Item& item) {
    if (item.kind != Kind::Marker || item.mark != anchor)
      covered += sharedArea(place, item.area);
    return covered < enough;
  });
  return covered;
}

LabelPlacer::Place LabelPlacer::place(const QSizeF& size, const QPointF& anchor,
                                      std::span<const QPointF> corners) const {
  Place best{QRectF(anchor + corners.front(), size), INFINITY};
  if (!std::isfinite(anchor.x()) || !std::isfinite(anchor.y()))
    return best;
  for (const QPointF& corner : corners) {
    const QRectF rect(anchor + corner, size);
    const double cover = coverOf(rect, anchor, best.cover);
    if (cover == 0)
      return {rect, 0};
    if (cover < best.cover)
      best = {rect, cover};
  }
  return best;
}

bool LabelPlacer::coversALabel(const QRectF& place) const {
  bool covers = false;
  near(place, [&](const Item& item) {
    covers = item.kind == Kind::Label && labels_[item.label].intersects(place);
    return !covers;
  });
  return covers;
}

bool LabelPlacer::crowded(const QSizeF& least, const QPointF& anchor,
                          std::span<const QPointF> corners) const {
  return std::all_of(corners.begin(), corners.end(), [&](const QPointF& corner) {
    return coversALabel(QRectF(anchor + corner, least));
  });
}

} // namespace quenlor

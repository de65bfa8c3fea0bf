// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/curve_line.h"

#include "chainage/stake_table.h"
#include "chainage/stakes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenlor {
namespace {

// Points a curve piece is sampled at for the line's extent: every point of
// it lies within its length / (2 kExtentSamples) of one of them.
constexpr int kExtentSamples = 8;

// The boxes' table as the centre line gives it.
class CurveStakes final : public StakePositions {
public:
  explicit CurveStakes(const StakeTableRequest& request) : table_(request) {}
  std::size_t size() const override { return table_.size(); }
  StakePosition at(std::size_t row) const override {
    const StakeTable::Stake stake = table_.at(row);
    return {stake.chainage, {stake.chainage, 0}, stake.kind, -1};
  }
  bool truncated() const override { return table_.truncated(); }

private:
  StakeTable table_;
};

} // namespace

BoxCurveLine::BoxCurveLine(const Inputs& inputs) : inputs_(inputs) {
  listMainPoints();
  cutPieces();
  findExtent();
}

std::optional<double> BoxCurveLine::measureOf(const Station& station) const {
  return std::isfinite(station.chainage) ? std::optional(station.chainage) : std::nullopt;
}

std::optional<CentrePoint> BoxCurveLine::pointAt(double measure) const {
  return centreAt(inputs_.curve, measure);
}

std::optional<Location> BoxCurveLine::locate(PlanePoint p) const {
  return quenlor::locate(inputs_.curve, p.x, p.y);
}

std::unique_ptr<const StakePositions> BoxCurveLine::stakes(const StakeRequest& request) const {
  return std::make_unique<CurveStakes>(StakeTableRequest{request.fromMeasure, request.toMeasure,
                                                         request.interval, request.spacing,
                                                         inputs_.mainChainages});
}

// A curve without transitions starts at ZY and ends at YZ, as its stake
// table and a route name them.
void BoxCurveLine::listMainPoints() {
  for (const NamedChainage& m : curveMainPoints(inputs_.mainChainages))
    mainPoints_.push_back({m.chainage, m.kind, -1});
  std::stable_sort(mainPoints_.begin(), mainPoints_.end(),
                   [](const NamedPoint& a, const NamedPoint& b) { return a.measure < b.measure; });
}

void BoxCurveLine::cutPieces() {
  const BoxCurve& c = inputs_.curve;
  const double zh = c.zhChainage, hz = c.hzChainage, length = hz - zh;
  const auto zhPoint = pointAt(zh), hzPoint = pointAt(hz);
  if (!(length > 0) || !std::isfinite(length) || !zhPoint || !hzPoint)
    return;
  const double half = length / 2;
  const double hy = zh + std::clamp(c.transitionLength, 0.0, half);
  const double yh = hz - std::clamp(c.transitionLength2.value_or(c.transitionLength), 0.0, half);
  const double reach = std::max(length, std::fabs(c.tangentLength));
  const double reachAfter = inputs_.nextJd ? std::hypot(inputs_.nextJd->x - hzPoint->point.x,
                                                        inputs_.nextJd->y - hzPoint->point.y)
                                           : reach;
  const double radius = std::fabs(c.radius), straight = std::numeric_limits<double>::infinity();
  const Piece all[] = {
      {zh - reach, zh, PieceKind::Straight, straight, std::nullopt, -1},
      {zh, hy, PieceKind::Transition, radius, std::nullopt, -1},
      {hy, yh, PieceKind::Arc, radius, std::nullopt, -1},
      {yh, hz, PieceKind::Transition, radius, std::nullopt, -1},
      {hz, hz + reachAfter, PieceKind::Straight, straight, std::nullopt, -1},
  };
  for (const Piece& piece : all)
    if (piece.to > piece.from)
      pieces_.push_back(piece);
}

void BoxCurveLine::findExtent() {
  std::optional<std::pair<PlanePoint, PlanePoint>> box;
  const auto add = [&](double measure, double margin) {
    const auto p = pointAt(measure);
    if (!p)
      return;
    const PlanePoint low{p->point.x - margin, p->point.y - margin};
    const PlanePoint high{p->point.x + margin, p->point.y + margin};
    if (!box)
      box = std::pair(low, high);
    box->first = {std::min(box->first.x, low.x), std::min(box->first.y, low.y)};
    box->second = {std::max(box->second.x, high.x), std::max(box->second.y, high.y)};
  };
  for (const Piece& piece : pieces_) {
    const bool straight = piece.kind == PieceKind::Straight;
    const int samples = straight ? 1 : kExtentSamples;
    const double margin = straight ? 0 : (piece.to - piece.from) / (2 * kExtentSamples);
    for (int i = 0; i <= samples; ++i)
      add(i == samples ? piece.to : piece.from + (piece.to - piece.from) * i / samples, margin);
  }
  extent_ = box;
}

void BoxCurveLine::piecesWithin(PlanePoint, PlanePoint,
                                const std::function<void(const Piece&)>& seen) const {
  for (const Piece& piece : pieces_)
    seen(piece);
}

} // namespace quenlor

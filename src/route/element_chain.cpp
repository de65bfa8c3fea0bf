// SPDX-License-Identifier: GPL-3.0-or-later
// A route by elements: each element made from its row and chained on from
// where the one before ends, and the main points where they meet.
#include "route/route.h"

#include <algorithm>
#include <cmath>

namespace quenlor::route {
namespace {

// Curvatures this close (relative) are the same: a clothoid ends on the
// arc after it.
constexpr double kSameCurvature = 1e-9;

bool sameCurvature(double a, double b) {
  return std::fabs(a - b) <= kSameCurvature * std::max(std::fabs(a), std::fabs(b));
}

// A radius is none (infinite) or a positive number within kLargestValue.
std::optional<CheckKind> radiusFault(double radius) {
  if (radius == kNoRadius)
    return std::nullopt;
  if (std::isnan(radius) || radius > kLargestValue)
    return CheckKind::UnusableNumber;
  if (!(radius > 0))
    return CheckKind::RadiusNotPositive;
  return std::nullopt;
}

double curvatureOf(double radius) { return radius == kNoRadius ? 0 : 1 / radius; }

double turnOf(Turn turn) { return turn == Turn::Right ? 1 : (turn == Turn::Left ? -1 : 0); }

// How the JD pattern names the point where p meets n, or ElementStart.
StakeKind meetingKind(const Element& p, const Element& n) {
  const bool sameSide = p.turn == n.turn;
  switch (p.shape) {
  case Shape::Straight:
    if (n.shape == Shape::Spiral && n.startCurvature == 0)
      return StakeKind::ZH;
    if (n.shape == Shape::Arc)
      return StakeKind::ZY;
    break;
  case Shape::Spiral:
    if (n.shape == Shape::Arc && sameSide && sameCurvature(p.endCurvature, 1 / n.radius))
      return StakeKind::HY;
    if (n.shape == Shape::Straight && p.endCurvature == 0)
      return StakeKind::HZ;
    break;
  case Shape::Arc:
    if (n.shape == Shape::Spiral && sameSide && sameCurvature(n.startCurvature, 1 / p.radius))
      return StakeKind::YH;
    if (n.shape == Shape::Straight)
      return StakeKind::YZ;
    break;
  case Shape::FirstTransition:
  case Shape::SecondTransition: break; // a JD's, not an element route's
  }
  return StakeKind::ElementStart;
}

} // namespace

// The elements before `from` are as they were; the chain is made again
// from there on.
void Route::chainElements(std::size_t from) {
  const StartPoint& bp = definition_.start;
  usable_ = usablePoint(bp.x, bp.y) && isUsableValue(bp.chainage) && std::isfinite(bp.azimuth);
  vertexBefore_.clear();
  lastVertex_ = -1;
  from = std::min(from, chain_.size());
  chain_.resize(from);
  chain_.reserve(definition_.elements.size());
  PlanePoint at = usable_ ? local(bp.x, bp.y) : PlanePoint{};
  double azimuth = usable_ ? reducedAzimuth(bp.azimuth) : 0, measure = 0;
  if (from > 0) {
    const Chained& before = chain_[from - 1];
    at = before.end;
    azimuth = before.endAzimuth;
    measure = before.element.start + before.element.length;
  }
  for (std::size_t k = from; k < definition_.elements.size(); ++k) {
    Chained c = chained(k, at, azimuth, measure);
    if (c.element.length > 0) {
      const ElementPoint end = pointOn(c.element, c.element.length);
      c.box = c.element.shape == Shape::Straight ? boundsOf(at, end.point)
                                                 : boundsOf(c.element, at, end.point);
      at = end.point;
      azimuth = reducedAzimuth(end.azimuth);
      measure += c.element.length;
    }
    c.end = at;
    c.endAzimuth = azimuth;
    chain_.push_back(c);
  }
  chainEnd_ = at;
  endMeasure_ = measure;
  length_ = usable_ ? measure : 0;
}

// The element of row k starting at `at` along `azimuth`: as typed where it
// can be made, else the nearest that can (route.h), with why.
Route::Chained Route::chained(std::size_t k, PlanePoint at, double azimuth, double measure) const {
  const ElementRow& row = definition_.elements[k];
  const int owner = static_cast<int>(k);
  Chained c;
  if (row.x && row.y && usablePoint(*row.x, *row.y))
    c.gap = distanceBetween(local(*row.x, *row.y), at);
  if (!isUsableValue(row.length) || !(row.length > 0)) {
    c.element = straight(owner, measure, 0, at, azimuth);
    c.fault = CheckKind::LengthNotPositive;
    return c;
  }
  c.element = straight(owner, measure, row.length, at, azimuth); // where nothing else can be
  if (row.kind == ElementKind::Straight)
    return c;
  // An arc's one radius (its start radius, the end radius where only that
  // is given), a clothoid's two.
  const bool arc = row.kind == ElementKind::Arc;
  const double arcRadius = row.startRadius == kNoRadius ? row.endRadius : row.startRadius;
  const double r0 = arc ? arcRadius : row.startRadius, r1 = arc ? arcRadius : row.endRadius;
  c.fault = radiusFault(r0) ? radiusFault(r0) : radiusFault(r1);
  if (c.fault)
    return c;
  if (arc && r0 == kNoRadius) {
    c.fault = CheckKind::ArcWithoutRadius;
    return c;
  }
  if (!arc && r0 == r1) {
    c.fault = CheckKind::RadiiEqual; // an arc of that radius
    if (r0 == kNoRadius)
      return c;
  }
  const double turn = turnOf(row.turn);
  if (turn == 0) {
    c.fault = CheckKind::TurnMissing;
    return c;
  }
  if (r0 == r1) {
    const PlanePoint centre = moved(at, rightOf(along(azimuth)), turn * r0);
    c.element = route::arc(owner, measure, row.length, at, azimuth, turn, r0, centre);
  } else {
    c.element =
        spiral(owner, measure, row.length, at, azimuth, turn, curvatureOf(r0), curvatureOf(r1));
  }
  return c;
}

// Where each element of some length meets the one before it.
void Route::listElementPoints() {
  const Element* before = nullptr;
  for (std::size_t k = 0; usable_ && k < chain_.size(); ++k) {
    const Element& e = chain_[k].element;
    if (!(e.length > 0))
      continue;
    if (before)
      mainPoints_.push_back({e.start, meetingKind(*before, e), static_cast<int>(k)});
    before = &e;
  }
}

} // namespace quenlor::route

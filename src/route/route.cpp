// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace quenlor::route {
namespace {

constexpr double kEndTolerance = 1e-6; // metres beyond an end that still count as the end

// T1 + T2 - L: how much shorter the curve is than the way over the JD.
double savedLength(const Curve& c) { return c.tangent1 + c.tangent2 - c.length; }

PlanePoint shifted(PlanePoint p, PlanePoint by) { return {p.x + by.x, p.y + by.y}; }

} // namespace

Route::Route(RouteDefinition definition) : definition_(std::move(definition)) {
  placeOrigin();
  jds_.resize(definition_.jds.size());
  update();
}

void Route::replaceJd(std::size_t index, Jd jd) {
  definition_.jds.at(index) = std::move(jd);
  jds_[index].stale = true;
  update();
}

void Route::insertJd(std::size_t index, Jd jd) {
  index = std::min(index, jdCount());
  definition_.jds.insert(definition_.jds.begin() + static_cast<std::ptrdiff_t>(index),
                         std::move(jd));
  jds_.insert(jds_.begin() + static_cast<std::ptrdiff_t>(index), JdState{});
  update();
}

void Route::eraseJd(std::size_t index) {
  if (index >= jdCount())
    throw std::out_of_range("Route::eraseJd");
  definition_.jds.erase(definition_.jds.begin() + static_cast<std::ptrdiff_t>(index));
  jds_.erase(jds_.begin() + static_cast<std::ptrdiff_t>(index));
  update();
}

void Route::setStart(StartPoint start) {
  definition_.start = std::move(start);
  placeOrigin(); // a new origin moves every neighbour: every curve is made again
  update();
}

void Route::setEnd(EndPoint end) {
  definition_.end = std::move(end);
  update();
}

void Route::setBreaks(std::vector<ChainBreak> breaks) {
  definition_.breaks = std::move(breaks);
  update();
}

void Route::setGradePoints(std::vector<GradePointRow> gradePoints) {
  definition_.gradePoints = std::move(gradePoints);
}

void Route::setName(std::string name) { definition_.name = std::move(name); }

void Route::setCrossSection(CrossSection section) { definition_.section = std::move(section); }

void Route::setCurveSection(std::size_t jd, section::CurveSettings settings) {
  if (jd >= jdCount())
    throw std::out_of_range("Route::setCurveSection");
  definition_.jds[jd].section = settings;
}

// BP rounded to whole metres: the differences from it are exact.
void Route::placeOrigin() {
  const StartPoint& bp = definition_.start;
  origin_ = usablePoint(bp.x, bp.y) ? PlanePoint{std::round(bp.x), std::round(bp.y)} : PlanePoint{};
}

bool Route::usablePoint(double x, double y) const { return isUsableValue(x) && isUsableValue(y); }

PlanePoint Route::local(double x, double y) const { return {x - origin_.x, y - origin_.y}; }

PlanePoint Route::plane(PlanePoint p) const { return shifted(p, origin_); }

void Route::update() {
  findVertices();
  computeCurves();
  carryMeasures();
  cutPieces();
  chainages_ = ChainageMap(definition_.start.chainage, definition_.breaks, length_);
  collectChecks();
}

// Which JDs the straights run through, and the one before each JD.
void Route::findVertices() {
  const StartPoint& bp = definition_.start;
  const EndPoint& ep = definition_.end;
  usable_ = usablePoint(bp.x, bp.y) && usablePoint(ep.x, ep.y) && isUsableValue(bp.chainage);
  const PlanePoint end = local(ep.x, ep.y);
  PlanePoint before = local(bp.x, bp.y);
  int beforeIndex = -1;
  vertexBefore_.resize(jds_.size());
  for (std::size_t i = 0; i < jds_.size(); ++i) {
    const Jd& jd = definition_.jds[i];
    const PlanePoint here = local(jd.x, jd.y);
    jds_[i].inRoute = usable_ && usablePoint(jd.x, jd.y) &&
                      distanceBetween(here, before) >= kSamePoint &&
                      distanceBetween(here, end) >= kSamePoint;
    vertexBefore_[i] = beforeIndex;
    if (jds_[i].inRoute) {
      before = here;
      beforeIndex = static_cast<int>(i);
    }
  }
  lastVertex_ = beforeIndex;
}

// Recomputes the curves whose JD changed, or whose neighbours did, since
// they were last made.
void Route::computeCurves() {
  const StartPoint& bp = definition_.start;
  PlanePoint next = local(definition_.end.x, definition_.end.y);
  for (std::size_t k = jds_.size(); k-- > 0;) {
    JdState& s = jds_[k];
    const Jd& jd = definition_.jds[k];
    const PlanePoint here = local(jd.x, jd.y);
    if (!s.inRoute) {
      s.stale = true;
      s.curve = Curve{};
      s.curve.zh = s.curve.hy = s.curve.qz = s.curve.yh = s.curve.hz = s.curve.centre = here;
      continue;
    }
    const int before = vertexBefore_[k];
    const Jd* jdBefore = before < 0 ? nullptr : &definition_.jds[before];
    const PlanePoint previous = jdBefore ? local(jdBefore->x, jdBefore->y) : local(bp.x, bp.y);
    if (s.stale || !(previous == s.previous) || !(next == s.next)) {
      s.previous = previous;
      s.next = next;
      s.curve = curveAt({previous, here, next, jd.radius, jd.ls1, jd.secondTransition()});
      const Curve& c = s.curve;
      const CurvePieces pieces = curvePieces(c, static_cast<int>(k), 0);
      s.boxes[0] = boundsOf(pieces.first, c.zh, c.hy);
      s.boxes[1] = boundsOf(pieces.arc, c.hy, c.yh);
      s.boxes[2] = boundsOf(pieces.second, c.yh, c.hz);
      s.stale = false;
    }
    next = here;
  }
}

// JD chainages carried along: each the one before plus the leg minus the
// curve before's T1 + T2 - L (the main points follow from each, curve.h).
void Route::carryMeasures() {
  double measure = 0, saved = 0;
  PlanePoint last = local(definition_.start.x, definition_.start.y);
  for (std::size_t i = 0; i < jds_.size(); ++i) {
    JdState& s = jds_[i];
    if (!s.inRoute)
      continue;
    const PlanePoint here = local(definition_.jds[i].x, definition_.jds[i].y);
    s.measure = measure + distanceBetween(s.previous, here) - saved;
    measure = s.measure;
    saved = savedLength(s.curve);
    last = here;
  }
  const PlanePoint end = local(definition_.end.x, definition_.end.y);
  const double endLeg = usable_ ? distanceBetween(last, end) : 0;
  endMeasure_ = measure + endLeg - saved;
  length_ = usable_ && endMeasure_ > 0 ? endMeasure_ : 0;

  for (std::size_t i = 0; i < jds_.size(); ++i) {
    JdState& s = jds_[i];
    if (s.inRoute)
      continue;
    const Jd& jd = definition_.jds[i];
    const bool onEnd =
        usablePoint(jd.x, jd.y) && distanceBetween(local(jd.x, jd.y), end) < kSamePoint;
    const int before = vertexBefore_[i];
    s.measure = onEnd ? length_ : (before < 0 ? 0 : jds_[before].measure);
  }
}

Element Route::element(std::size_t k) const {
  if (k == 4 * jds_.size())
    return straightToEnd();
  const std::size_t i = k / 4;
  const JdState& s = jds_.at(i);
  if (!s.inRoute)
    return straight(static_cast<int>(i), s.measure, 0, s.curve.zh, 0);
  if (k % 4 == 0)
    return straightInto(i);
  const CurvePieces pieces = curvePieces(s.curve, static_cast<int>(i), s.main().zh);
  return k % 4 == 1 ? pieces.first : (k % 4 == 2 ? pieces.arc : pieces.second);
}

// From HZ of the JD before (or BP) to ZH of this one.
Element Route::straightInto(std::size_t i) const {
  const JdState& s = jds_[i];
  const int before = vertexBefore_[i];
  const PlanePoint from =
      before < 0 ? local(definition_.start.x, definition_.start.y) : jds_[before].curve.hz;
  const double fromMeasure = before < 0 ? 0 : jds_[before].main().hz;
  return straight(static_cast<int>(i), fromMeasure, s.main().zh - fromMeasure, from,
                  s.curve.incomingAzimuth);
}

Element Route::straightToEnd() const {
  const PlanePoint start = local(definition_.start.x, definition_.start.y);
  const PlanePoint from = lastVertex_ < 0 ? start : jds_[lastVertex_].curve.hz;
  const double fromMeasure = lastVertex_ < 0 ? 0 : jds_[lastVertex_].main().hz;
  const double azimuth = lastVertex_ < 0
                             ? azimuthBetween(start, local(definition_.end.x, definition_.end.y))
                             : jds_[lastVertex_].curve.outgoingAzimuth;
  return straight(static_cast<int>(jds_.size()), fromMeasure, length_ - fromMeasure, from, azimuth);
}

// The pieces of the centre line in measure order, each element cut where an
// earlier one already reaches (overlapping curves) and to [0, length].
void Route::cutPieces() {
  pieces_.clear();
  pieces_.reserve(elementCount());
  double reach = 0;
  const auto cut = [&](const Element& e, std::size_t k) {
    const double from = std::max(e.start, reach);
    const double to = std::min(e.start + e.length, length_);
    if (!(to > from))
      return;
    pieces_.push_back({from, to, static_cast<int>(k)});
    reach = to;
  };
  for (std::size_t i = 0; length_ > 0 && i < jds_.size(); ++i) {
    const JdState& s = jds_[i];
    if (!s.inRoute)
      continue;
    cut(straightInto(i), 4 * i);
    const CurvePieces curve = curvePieces(s.curve, static_cast<int>(i), s.main().zh);
    cut(curve.first, 4 * i + 1);
    cut(curve.arc, 4 * i + 2);
    cut(curve.second, 4 * i + 3);
  }
  if (length_ > 0)
    cut(straightToEnd(), 4 * jds_.size());
  tree_.build(static_cast<int>(pieces_.size()), [this](int i) { return pieceBox(pieces_[i]); });
}

// Straights from their two ends, curves from the boxes kept with the JD.
Box Route::pieceBox(const Piece& piece) const {
  const std::size_t i = static_cast<std::size_t>(piece.element) / 4, part = piece.element % 4;
  if (i == jds_.size())
    return boundsOf(straightToEnd().base, local(definition_.end.x, definition_.end.y));
  if (part == 0)
    return boundsOf(straightInto(i).base, jds_[i].curve.zh);
  return jds_[i].boxes[part - 1];
}

Expected<double> Route::measureOf(const Station& station) const {
  if (!hasGeometry())
    return Failure{"the route has no geometry (see its checks)"};
  return chainages_.measureOf(station);
}

Expected<CentrePoint> Route::pointAt(double measure) const {
  if (!hasGeometry())
    return Failure{"the route has no geometry (see its checks)"};
  if (!(measure >= -kEndTolerance && measure <= length_ + kEndTolerance))
    return Failure{chainageText(chainages_.chainageAt(measure)) +
                   " lies beyond the route, which runs from " +
                   chainageText(chainages_.chainageAt(0)) + " to " +
                   chainageText(chainages_.chainageAt(length_))};
  const double m = std::clamp(measure, 0.0, length_);
  const auto after = std::upper_bound(pieces_.begin(), pieces_.end(), m,
                                      [](double v, const Piece& p) { return v < p.from; });
  const Piece& piece = after == pieces_.begin() ? pieces_.front() : *(after - 1);
  return centreFromElement(element(piece.element), m);
}

Expected<CentrePoint> Route::pointAt(const Station& station) const {
  const Expected<double> measure = measureOf(station);
  if (!measure)
    return Failure{measure.error()};
  return pointAt(*measure);
}

CentrePoint Route::centreFromElement(const Element& e, double measure) const {
  const ElementPoint at = pointOn(e, std::clamp(measure - e.start, 0.0, e.length));
  return {measure, plane(at.point), reducedAzimuth(at.azimuth), e.jd, e.stretch};
}

Expected<Location> Route::locate(PlanePoint p) const {
  if (!hasGeometry())
    return Failure{"the route has no geometry (see its checks)"};
  const PlanePoint q = local(p.x, p.y);
  double bestDistance = std::numeric_limits<double>::infinity();
  double bestMeasure = 0;
  tree_.nearest(q, [&](int index) {
    const Piece& piece = pieces_[index];
    if (distanceSquaredTo(pieceBox(piece), q) >= bestDistance)
      return bestDistance;
    const Element e = element(piece.element);
    const Nearest n = nearestOn(e, q, piece.from - e.start, piece.to - e.start);
    if (n.distanceSquared < bestDistance) {
      bestDistance = n.distanceSquared;
      bestMeasure = e.start + n.s;
    }
    return n.distanceSquared;
  });

  Location location;
  location.foot = *pointAt(bestMeasure);
  // Beyond the ends: the tangent at BP or EP, extended.
  for (const bool atStart : {true, false}) {
    const CentrePoint end = *pointAt(atStart ? 0.0 : length_);
    const Direction t = along(end.azimuth);
    const double dx = p.x - end.point.x, dy = p.y - end.point.y;
    const double ahead = dx * t.x + dy * t.y;
    const double across = dx * t.y - dy * t.x;
    if ((atStart ? ahead < 0 : ahead > 0) && across * across < bestDistance) {
      bestDistance = across * across;
      location.foot = end;
      location.foot.measure = end.measure + ahead;
      location.foot.point = moved(end.point, t, ahead);
      location.beyondStart = atStart;
      location.beyondEnd = !atStart;
    }
  }
  const Direction right = rightOf(along(location.foot.azimuth));
  const double dx = p.x - location.foot.point.x, dy = p.y - location.foot.point.y;
  const double side = dx * right.x + dy * right.y;
  location.offset = std::copysign(std::hypot(dx, dy), side);
  location.station = chainages_.stationAt(location.foot.measure);
  return location;
}

JdResult Route::jd(std::size_t index) const {
  const JdState& s = jds_.at(index);
  JdResult result{s.inRoute, s.curve, s.measure, s.main()};
  Curve& c = result.curve;
  for (PlanePoint* p : {&c.zh, &c.hy, &c.qz, &c.yh, &c.hz, &c.centre})
    *p = plane(*p);
  return result;
}

std::string Route::jdLabel(std::size_t index) const {
  const std::string& name = definition_.jds[index].name;
  return name.empty() ? "JD #" + std::to_string(index + 1) : name;
}

PlanePoint sideStake(const CentrePoint& centre, double offset) {
  return moved(centre.point, rightOf(along(centre.azimuth)), offset);
}

void Route::piecesWithin(PlanePoint low, PlanePoint high,
                         const std::function<void(std::size_t)>& seen) const {
  const PlanePoint a = local(low.x, low.y), b = local(high.x, high.y);
  const Box area{float(std::min(a.x, b.x)), float(std::min(a.y, b.y)), float(std::max(a.x, b.x)),
                 float(std::max(a.y, b.y))};
  tree_.within(area, [&](int i) { seen(std::size_t(i)); });
}

std::optional<std::pair<PlanePoint, PlanePoint>> Route::extent() const {
  const auto box = tree_.extent();
  if (!box)
    return std::nullopt;
  return std::pair(plane({box->minX, box->minY}), plane({box->maxX, box->maxY}));
}

} // namespace quenlor::route

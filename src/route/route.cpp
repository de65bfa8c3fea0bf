// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route.h"

#include "geometry/angle_text.h"

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

// The offset of p from a point of the centre line: right of its direction
// positive.
double offsetFrom(const CentrePoint& foot, PlanePoint p) {
  const Direction right = rightOf(along(foot.azimuth));
  const double dx = p.x - foot.point.x, dy = p.y - foot.point.y;
  return std::copysign(std::hypot(dx, dy), dx * right.x + dy * right.y);
}

} // namespace

Route::Route(RouteDefinition definition) : definition_(std::move(definition)) {
  placeOrigin();
  jds_.resize(byElements() ? 0 : definition_.jds.size());
  update();
}

// A route by elements keeps its JDs in the definition only.
void Route::replaceJd(std::size_t index, Jd jd) {
  definition_.jds.at(index) = std::move(jd);
  if (!byElements())
    jds_[index].stale = true;
  update();
}

void Route::insertJd(std::size_t index, Jd jd) {
  index = std::min(index, jdCount());
  definition_.jds.insert(definition_.jds.begin() + static_cast<std::ptrdiff_t>(index),
                         std::move(jd));
  if (!byElements())
    jds_.insert(jds_.begin() + static_cast<std::ptrdiff_t>(index), JdState{});
  update();
}

void Route::eraseJd(std::size_t index) {
  if (index >= jdCount())
    throw std::out_of_range("Route::eraseJd");
  definition_.jds.erase(definition_.jds.begin() + static_cast<std::ptrdiff_t>(index));
  if (!byElements())
    jds_.erase(jds_.begin() + static_cast<std::ptrdiff_t>(index));
  update();
}

void Route::replaceElement(std::size_t index, ElementRow element) {
  definition_.elements.at(index) = std::move(element);
  update(index);
}

void Route::insertElement(std::size_t index, ElementRow element) {
  index = std::min(index, definition_.elements.size());
  definition_.elements.insert(definition_.elements.begin() + static_cast<std::ptrdiff_t>(index),
                              std::move(element));
  update(index);
}

void Route::eraseElement(std::size_t index) {
  if (index >= definition_.elements.size())
    throw std::out_of_range("Route::eraseElement");
  definition_.elements.erase(definition_.elements.begin() + static_cast<std::ptrdiff_t>(index));
  update(index);
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

void Route::setStations(std::vector<StationRow> stations) {
  definition_.stations = std::move(stations);
}

void Route::setMethod(Method method) {
  definition_.method = method;
  jds_.assign(byElements() ? 0 : definition_.jds.size(), JdState{});
  chain_.clear();
  update();
}

void Route::setCrossSection(CrossSection section) { definition_.section = std::move(section); }

void Route::setCurveSection(std::size_t jd, section::CurveSettings settings) {
  definition_.jds.at(jd).section = settings;
}

void Route::setArcSection(std::size_t element, section::CurveSettings settings) {
  definition_.elements.at(element).section = settings;
}

// BP rounded to whole metres: the differences from it are exact.
void Route::placeOrigin() {
  const StartPoint& bp = definition_.start;
  origin_ = usablePoint(bp.x, bp.y) ? PlanePoint{std::round(bp.x), std::round(bp.y)} : PlanePoint{};
}

bool Route::usablePoint(double x, double y) const { return isUsableValue(x) && isUsableValue(y); }

PlanePoint Route::local(double x, double y) const { return {x - origin_.x, y - origin_.y}; }

PlanePoint Route::plane(PlanePoint p) const { return shifted(p, origin_); }

void Route::update(std::size_t firstEdited) {
  if (byElements()) {
    chainElements(firstEdited);
  } else {
    findVertices();
    computeCurves();
    carryMeasures();
  }
  cutSpans();
  chainages_ = ChainageMap(definition_.start.chainage, definition_.breaks, length_);
  listMainPoints();
  collectChecks();
}

// Where each JD stands (as typed, or placed by its distance), which JDs the
// straights run through, the one before each JD, and where EP stands: EP
// placed by its distance follows the last JD in the route.
void Route::findVertices() {
  const StartPoint& bp = definition_.start;
  const EndPoint& ep = definition_.end;
  const bool startUsable = usablePoint(bp.x, bp.y) && isUsableValue(bp.chainage);
  const bool endTyped = !ep.distance;
  const PlanePoint typedEnd = local(ep.x, ep.y);
  const bool endsUsable = startUsable && (!endTyped || usablePoint(ep.x, ep.y));
  PlanePoint before = local(bp.x, bp.y);
  int beforeIndex = -1;
  vertexBefore_.resize(jds_.size());
  for (std::size_t i = 0; i < jds_.size(); ++i) {
    const Jd& jd = definition_.jds[i];
    JdState& s = jds_[i];
    s.placeable = true;
    s.point = jd.distance ? placedAfter(beforeIndex, *jd.distance, s.placeable) : local(jd.x, jd.y);
    const bool usable = jd.distance ? s.placeable : usablePoint(jd.x, jd.y);
    s.inRoute = endsUsable && usable && distanceBetween(s.point, before) >= kSamePoint &&
                (!endTyped || distanceBetween(s.point, typedEnd) >= kSamePoint);
    vertexBefore_[i] = beforeIndex;
    if (s.inRoute) {
      before = s.point;
      beforeIndex = static_cast<int>(i);
    }
  }
  lastVertex_ = beforeIndex;
  endPlaceable_ = true;
  end_ = endTyped ? typedEnd : placedAfter(lastVertex_, *ep.distance, endPlaceable_);
  usable_ = endsUsable && endPlaceable_;
  if (!usable_)
    for (JdState& s : jds_)
      s.inRoute = false;
}

// The point `distance` on from an in-route JD along the straight its typed
// deflection turns the incoming one to; `placeable` false (and the JD's own
// point) where that places nothing: after BP, after a JD without a typed
// deflection, or at a distance that is not a positive number.
PlanePoint Route::placedAfter(int vertex, double distance, bool& placeable) const {
  const StartPoint& bp = definition_.start;
  const std::optional<double> deflection =
      vertex < 0 ? std::nullopt : definition_.jds[static_cast<std::size_t>(vertex)].deflection;
  if (!deflection || !isUsableValue(*deflection) || !isUsableValue(distance) ||
      !(distance >= kSamePoint)) {
    placeable = false;
    return vertex < 0 ? local(bp.x, bp.y) : jds_[static_cast<std::size_t>(vertex)].point;
  }
  const PlanePoint at = jds_[static_cast<std::size_t>(vertex)].point;
  const int before = vertexBefore_[static_cast<std::size_t>(vertex)];
  const PlanePoint from =
      before < 0 ? local(bp.x, bp.y) : jds_[static_cast<std::size_t>(before)].point;
  const double azimuth = azimuthBetween(from, at) + radiansOfPackedDms(*deflection);
  return moved(at, along(azimuth), distance);
}

// Recomputes the curves whose JD changed, or whose neighbours did, since
// they were last made.
void Route::computeCurves() {
  const StartPoint& bp = definition_.start;
  PlanePoint next = end_;
  for (std::size_t k = jds_.size(); k-- > 0;) {
    JdState& s = jds_[k];
    const Jd& jd = definition_.jds[k];
    const PlanePoint here = s.point;
    if (!s.inRoute) {
      s.stale = true;
      s.curve = Curve{};
      s.curve.zh = s.curve.hy = s.curve.qz = s.curve.yh = s.curve.hz = s.curve.centre = here;
      continue;
    }
    const int before = vertexBefore_[k];
    const PlanePoint previous =
        before < 0 ? local(bp.x, bp.y) : jds_[static_cast<std::size_t>(before)].point;
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
    const PlanePoint here = s.point;
    s.measure = measure + distanceBetween(s.previous, here) - saved;
    measure = s.measure;
    saved = savedLength(s.curve);
    last = here;
  }
  const PlanePoint end = end_;
  const double endLeg = usable_ ? distanceBetween(last, end) : 0;
  endMeasure_ = measure + endLeg - saved;
  length_ = usable_ && endMeasure_ > 0 ? endMeasure_ : 0;

  for (std::size_t i = 0; i < jds_.size(); ++i) {
    JdState& s = jds_[i];
    if (s.inRoute)
      continue;
    const Jd& jd = definition_.jds[i];
    const bool usable = jd.distance ? s.placeable : usablePoint(jd.x, jd.y);
    const bool onEnd = usable && distanceBetween(s.point, end) < kSamePoint;
    const int before = vertexBefore_[i];
    s.measure = onEnd ? length_ : (before < 0 ? 0 : jds_[before].measure);
  }
}

std::size_t Route::elementCount() const {
  return byElements() ? chain_.size() : 4 * jds_.size() + 1;
}

Element Route::element(std::size_t k) const {
  if (byElements())
    return chain_.at(k).element;
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
  const double azimuth =
      lastVertex_ < 0 ? azimuthBetween(start, end_) : jds_[lastVertex_].curve.outgoingAzimuth;
  return straight(static_cast<int>(jds_.size()), fromMeasure, length_ - fromMeasure, from, azimuth);
}

// The spans of the centre line in measure order, each element cut where an
// earlier one already reaches (overlapping curves) and to [0, length].
void Route::cutSpans() {
  spans_.clear();
  spans_.reserve(elementCount());
  double reach = 0;
  const auto cut = [&](const Element& e, std::size_t k) {
    const double from = std::max(e.start, reach);
    const double to = std::min(e.start + e.length, length_);
    if (!(to > from))
      return;
    spans_.push_back({from, to, static_cast<int>(k)});
    reach = to;
  };
  for (std::size_t k = 0; length_ > 0 && k < chain_.size(); ++k)
    cut(chain_[k].element, k);
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
  if (length_ > 0 && !byElements())
    cut(straightToEnd(), 4 * jds_.size());
  tree_.build(static_cast<int>(spans_.size()), [this](int i) { return spanBox(spans_[i]); });
}

// Each in-route JD's main points in the order of its curve, all in route
// order where no curves overlap.
void Route::listMainPoints() {
  mainPoints_.clear();
  if (byElements()) {
    listElementPoints();
    return;
  }
  mainPoints_.reserve(5 * jds_.size());
  for (std::size_t i = 0; usable_ && i < jds_.size(); ++i) {
    const JdState& s = jds_[i];
    if (!s.inRoute)
      continue;
    const int index = static_cast<int>(i);
    if (!s.curve.curved) {
      mainPoints_.push_back({s.measure, StakeKind::AnglePoint, index});
      continue;
    }
    const MainPoints m = s.main();
    const bool first = s.curve.ls1 > 0, second = s.curve.ls2 > 0;
    mainPoints_.push_back({m.zh, first ? StakeKind::ZH : StakeKind::ZY, index});
    if (first)
      mainPoints_.push_back({m.hy, StakeKind::HY, index});
    mainPoints_.push_back({m.qz, StakeKind::QZ, index});
    if (second)
      mainPoints_.push_back({m.yh, StakeKind::YH, index});
    mainPoints_.push_back({m.hz, second ? StakeKind::HZ : StakeKind::YZ, index});
  }
}

// Straights from their two ends, curves from the boxes kept with the JD.
BoundingBox Route::spanBox(const Span& span) const {
  if (byElements())
    return chain_[static_cast<std::size_t>(span.element)].box;
  const std::size_t i = static_cast<std::size_t>(span.element) / 4, part = span.element % 4;
  if (i == jds_.size())
    return boundsOf(straightToEnd().base, end_);
  if (part == 0)
    return boundsOf(straightInto(i).base, jds_[i].curve.zh);
  return jds_[i].boxes[part - 1];
}

std::optional<double> Route::measureOf(const Station& station) const {
  if (!hasGeometry())
    return std::nullopt;
  const Expected<double> measure = chainages_.measureOf(station);
  return measure ? std::optional(*measure) : std::nullopt;
}

std::string Route::whyNoPoint(const Station& station) const {
  if (!hasGeometry())
    return "the route has no geometry (see its checks)";
  const Expected<double> measure = chainages_.measureOf(station);
  return measure ? std::string() : measure.error();
}

std::optional<CentrePoint> Route::pointAt(double measure) const {
  if (!hasGeometry() || !(measure >= -kEndTolerance && measure <= length_ + kEndTolerance))
    return std::nullopt;
  const double m = std::clamp(measure, 0.0, length_);
  const auto after = std::upper_bound(spans_.begin(), spans_.end(), m,
                                      [](double v, const Span& p) { return v < p.from; });
  const Span& span = after == spans_.begin() ? spans_.front() : *(after - 1);
  return centreFromElement(element(span.element), m);
}

CentrePoint Route::centreFromElement(const Element& e, double measure) const {
  const ElementPoint at = pointOn(e, std::clamp(measure - e.start, 0.0, e.length));
  return CentrePoint{measure, plane(at.point), reducedAzimuth(at.azimuth)};
}

std::optional<Location> Route::locate(PlanePoint p) const {
  if (!hasGeometry())
    return std::nullopt;
  const PlanePoint q = local(p.x, p.y);
  double bestDistance = std::numeric_limits<double>::infinity();
  double bestMeasure = 0;
  tree_.nearest(q, [&](int index) {
    const Span& span = spans_[index];
    if (distanceSquaredTo(spanBox(span), q) >= bestDistance)
      return bestDistance;
    const Element e = element(span.element);
    const Nearest n = nearestOn(e, q, span.from - e.start, span.to - e.start);
    if (n.distanceSquared < bestDistance) {
      bestDistance = n.distanceSquared;
      bestMeasure = e.start + n.s;
    }
    return n.distanceSquared;
  });

  Location location;
  location.foot = *pointAt(bestMeasure);
  // Beyond the ends, where the route comes nearest at BP or EP and the point
  // lies ahead of it: the tangent there, extended.
  const bool atStart = bestMeasure <= kEndTolerance;
  if (atStart || bestMeasure >= length_ - kEndTolerance) {
    const CentrePoint end = location.foot;
    const Direction t = along(end.azimuth);
    const double ahead = (p.x - end.point.x) * t.x + (p.y - end.point.y) * t.y;
    if (atStart ? ahead < 0 : ahead > 0) {
      location.foot.measure = end.measure + ahead;
      location.foot.point = moved(end.point, t, ahead);
      location.beyondStart = atStart;
      location.beyondEnd = !atStart;
    }
  }
  location.offset = offsetFrom(location.foot, p);
  location.station = chainages_.stationAt(location.foot.measure);

  const double nearest = std::fabs(location.offset);
  for (const auto& [measure, distance] : feetNear(q, nearest + kNearlyAsNear)) {
    const bool another = std::fabs(measure - location.foot.measure) > kEndTolerance;
    if (another && distance <= nearest + kNearlyAsNear &&
        (!location.alsoNear || distance < std::fabs(location.alsoNear->offset))) {
      const CentrePoint foot = *pointAt(measure);
      location.alsoNear = Location::Foot{foot, chainages_.stationAt(measure), offsetFrom(foot, p)};
    }
  }
  return location;
}

// The feet within reach of q (local): each span's nearest point to q where
// it is the foot of a perpendicular (inside the span), or a corner that the
// spans on both sides come nearest at; their measures and distances.
std::vector<std::pair<double, double>> Route::feetNear(PlanePoint q, double reach) const {
  struct Candidate {
    double measure, distance;
    bool inside; // not at an end of its span
  };
  std::vector<Candidate> found;
  const float r = static_cast<float>(reach) + 1; // the boxes are floats
  const float x = static_cast<float>(q.x), y = static_cast<float>(q.y);
  tree_.within({x - r, y - r, x + r, y + r}, [&](int index) {
    const Span& span = spans_[static_cast<std::size_t>(index)];
    const Element e = element(span.element);
    const double s0 = span.from - e.start, s1 = span.to - e.start;
    const Nearest n = nearestOn(e, q, s0, s1);
    const bool inside = n.s - s0 > kEndTolerance && s1 - n.s > kEndTolerance;
    found.push_back({e.start + n.s, std::sqrt(n.distanceSquared), inside});
  });
  std::sort(found.begin(), found.end(),
            [](const Candidate& a, const Candidate& b) { return a.measure < b.measure; });
  std::vector<std::pair<double, double>> feet;
  for (std::size_t first = 0; first < found.size();) {
    std::size_t last = first + 1;
    while (last < found.size() && found[last].measure - found[last - 1].measure <= kEndTolerance)
      ++last;
    const bool corner = last - first > 1;
    const auto nearest = std::min_element(
        found.begin() + static_cast<std::ptrdiff_t>(first),
        found.begin() + static_cast<std::ptrdiff_t>(last),
        [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    if (corner || nearest->inside)
      feet.emplace_back(nearest->measure, nearest->distance);
    first = last;
  }
  return feet;
}

PlanePoint Route::endPoint() const { return plane(byElements() ? chainEnd_ : end_); }

PlanePoint Route::jdPoint(std::size_t index) const {
  if (byElements())
    return {definition_.jds.at(index).x, definition_.jds.at(index).y};
  return plane(jds_.at(index).point);
}

std::optional<double> Route::startGap(std::size_t element) const {
  return byElements() ? chain_.at(element).gap : std::nullopt;
}

std::string Route::pointName(StakeKind kind, int index) const {
  if (kind != StakeKind::ElementStart || index < 0 ||
      static_cast<std::size_t>(index) >= definition_.elements.size())
    return stakeKindName(kind);
  const std::string& name = definition_.elements[static_cast<std::size_t>(index)].name;
  return name.empty() ? "#" + std::to_string(index + 1) : name;
}

JdResult Route::jd(std::size_t index) const {
  const JdState& s = jds_.at(index);
  JdResult result{s.inRoute, plane(s.point), s.curve, s.measure, s.main()};
  Curve& c = result.curve;
  for (PlanePoint* p : {&c.zh, &c.hy, &c.qz, &c.yh, &c.hz, &c.centre})
    *p = plane(*p);
  return result;
}

std::string Route::jdLabel(std::size_t index) const {
  const std::string& name = definition_.jds[index].name;
  return name.empty() ? "JD #" + std::to_string(index + 1) : name;
}

Piece Route::piece(const Span& span) const {
  const Element e = element(static_cast<std::size_t>(span.element));
  Piece p{span.from,           span.to,
          PieceKind::Straight, std::numeric_limits<double>::infinity(),
          std::nullopt,        byElements() ? e.owner : -1};
  if (e.shape == Shape::Straight)
    return p;
  p.kind = e.shape == Shape::Arc ? PieceKind::Arc : PieceKind::Transition;
  p.leastRadius = e.radius;
  p.owner = e.owner;
  if (e.shape == Shape::Arc)
    p.circle = Circle{plane(e.centre), e.radius, e.turn > 0};
  return p;
}

void Route::piecesWithin(PlanePoint low, PlanePoint high,
                         const std::function<void(const Piece&)>& seen) const {
  const PlanePoint a = local(low.x, low.y), b = local(high.x, high.y);
  const BoundingBox area{float(std::min(a.x, b.x)), float(std::min(a.y, b.y)),
                         float(std::max(a.x, b.x)), float(std::max(a.y, b.y))};
  tree_.within(area, [&](int i) { seen(piece(spans_[std::size_t(i)])); });
}

std::optional<std::pair<PlanePoint, PlanePoint>> Route::extent() const {
  const auto box = tree_.extent();
  if (!box)
    return std::nullopt;
  return std::pair(plane({box->minX, box->minY}), plane({box->maxX, box->maxY}));
}

} // namespace quenlor::route

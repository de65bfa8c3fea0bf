// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/plan_scene.h"

#include "chainage/curve_point.h"
#include "chainage/stakes.h"
#include "form/form.h"
#include "form/main_points.h"
#include "numeric/chainage_text.h"
#include "numeric/fault.h"
#include "session/curve_of_boxes.h"
#include "session/field_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

// Samples along each piece of the curve: smooth at any zoom a surveyor uses,
// cheap enough for every keystroke.
constexpr int kSamplesPerPiece = 120;

// Main points closer than this are marked as one.
constexpr double kSamePlace = 1e-6;
// A point of the boxes further than this from the curve's is out of date.
constexpr double kStale = 1e-3;

std::optional<double> number(const Form& form, Box box) {
  const double value = form.number(box);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<PlanePoint> point(const Form& form, Box x, Box y) {
  const auto px = number(form, x);
  const auto py = number(form, y);
  if (!px || !py || form.text(x).empty() || form.text(y).empty())
    return std::nullopt;
  return PlanePoint{*px, *py};
}

// The route around the JD as the point-at-chainage computation reads it.
struct Route {
  BoxCurve in;
  double hy, yh; // where the transitions meet the arc, from Ls
};

std::optional<Route> readRoute(const Form& form) {
  const auto in = curveOfBoxes(form);
  if (!in)
    return std::nullopt;
  Route r{*in, 0, 0};
  const double half = (r.in.hzChainage - r.in.zhChainage) / 2;
  const double ls = std::clamp(r.in.transitionLength, 0.0, std::max(half, 0.0));
  r.hy = r.in.zhChainage + ls;
  r.yh = r.in.hzChainage - ls;
  return r;
}

std::optional<PlanePoint> at(Route route, double chainage) {
  route.in.chainage = chainage;
  const PlanePoint p = curvePoint(route.in).at;
  if (!isFinite(p))
    return std::nullopt;
  return p;
}

// The curve between two chainages, both ends included; a piece that faults
// anywhere is left out whole rather than drawn broken.
Polyline piece(const Route& route, double from, double to) {
  Polyline line;
  if (!(to >= from))
    return line;
  for (int i = 0; i <= kSamplesPerPiece; ++i) {
    const double k = i == kSamplesPerPiece ? to : from + (to - from) * i / kSamplesPerPiece;
    const auto p = at(route, k);
    if (!p)
      return {};
    line.push_back(*p);
  }
  return line;
}

// The curve from ZH to HZ, or nothing when it has no length to draw.
bool addCurve(const Route& route, PlanScene& scene) {
  const BoxCurve& in = route.in;
  const double length = in.hzChainage - in.zhChainage;
  if (!(length > 0) || !std::isfinite(length))
    return false;
  scene.firstTransition = piece(route, in.zhChainage, route.hy);
  scene.arc = piece(route, route.hy, route.yh);
  scene.secondTransition = piece(route, route.yh, in.hzChainage);
  return true;
}

// The straights: back from ZH as far as the curve is long, and on from HZ
// to the next JD when it is given, else as far as the curve is long; and the
// tangents from the JD to ZH and HZ.
void addStraightsAndTangents(const Form& form, const Route& route, const PlanePoint& zh,
                             const PlanePoint& hz, PlanScene& scene) {
  const BoxCurve& in = route.in;
  const double reach = std::max(in.hzChainage - in.zhChainage, std::fabs(in.tangentLength));
  const PlanePoint before = along(zh, in.incomingAzimuth, -reach);
  if (isFinite(before))
    scene.incomingStraight = {before, zh};
  const auto next = point(form, Box::Text15, Box::Text16);
  const PlanePoint after = next ? *next : along(hz, in.outgoingAzimuth, reach);
  if (isFinite(after))
    scene.outgoingStraight = {hz, after};
  const PlanePoint jd{in.jdX, in.jdY};
  scene.tangents = {{jd, zh}, {jd, hz}};
}

// One marker a main point at the chainage its box holds; main points in one
// place (no transitions: ZH is HY) share one marker.
void addMainPoints(const Form& form, const Route& route, PlanScene& scene) {
  std::optional<std::size_t> previous; // index of the last main point's marker
  std::string names;
  for (const MainPoint& m : kMainPoints) {
    const auto k = number(form, m.box);
    const auto p = k ? at(route, *k) : std::nullopt;
    if (!p)
      continue;
    if (previous) {
      PlanMarker& last = scene.markers[*previous];
      if (std::hypot(last.at.x - p->x, last.at.y - p->y) < kSamePlace) {
        names += "/" + std::string(m.name);
        last.label = names + " " + chainageText(*k);
        continue;
      }
    }
    names = m.name;
    previous = scene.markers.size();
    scene.markers.push_back({MarkerKind::MainPoint, *p, names + " " + chainageText(*k)});
  }
}

void addRoute(const Form& form, PlanScene& scene) {
  const auto route = readRoute(form);
  if (!route || form.text(Box::Text9).empty())
    return;
  const auto zh = at(*route, route->in.zhChainage);
  const auto hz = at(*route, route->in.hzChainage);
  if (!zh || !hz || !addCurve(*route, scene))
    return;
  addStraightsAndTangents(form, *route, *zh, *hz, scene);
  addMainPoints(form, *route, scene);
}

// The point the boxes show for the chainage in Text26; when it is no longer
// the point the boxes would give for it now, it is out of date, and the
// curve's point at that chainage is marked beside it.
void addComputedPoint(const Form& form, const PlanePoint& computed, PlanScene& scene) {
  const auto k = form.text(Box::Text26).empty() ? std::nullopt : number(form, Box::Text26);
  const std::string label = k ? chainageText(*k) : std::string();
  const auto route = curveOfBoxes(form);
  if (!k || !route) {
    scene.markers.push_back({MarkerKind::ComputedPoint, computed, label});
    return;
  }
  BoxCurve boxes = *route; // as the point at a chainage reads it: symmetric
  boxes.transitionLength2.reset();
  boxes.tangentLength2.reset();
  boxes.chainage = *k;
  const PlanePoint now = curvePoint(boxes).at;
  const bool stale = isFinite(now) && std::hypot(now.x - computed.x, now.y - computed.y) > kStale;
  if (!stale) {
    scene.markers.push_back({MarkerKind::ComputedPoint, computed, label});
    return;
  }
  scene.markers.push_back({MarkerKind::StalePoint, computed, label + " 未更新"});
  if (const auto current = at(Route{*route, 0, 0}, *k))
    scene.markers.push_back({MarkerKind::CurrentPoint, *current, label});
}

void addPointsAndSights(const Form& form, PlanScene& scene) {
  if (const auto jd = point(form, Box::Text13, Box::Text14))
    scene.markers.push_back({MarkerKind::IntersectionPoint, *jd, "JD"});
  if (const auto next = point(form, Box::Text15, Box::Text16))
    scene.markers.push_back({MarkerKind::NextIntersectionPoint, *next, "JD+1"});

  const auto computed = point(form, Box::Text27, Box::Text28);
  if (computed)
    addComputedPoint(form, *computed, scene);
  const auto station = point(form, Box::Text35, Box::Text36);
  const auto backsight = point(form, Box::Text39, Box::Text1);
  if (station)
    scene.markers.push_back({MarkerKind::Station, *station, "测站"});
  if (backsight)
    scene.markers.push_back({MarkerKind::Backsight, *backsight, "后视"});
  if (station && backsight)
    scene.sightLines.push_back({*station, *backsight});
  if (station && computed)
    scene.sightLines.push_back({*station, *computed});
}

} // namespace

namespace {

class BoundsBuilder {
public:
  void add(const PlanePoint& p) {
    if (!isFinite(p))
      return;
    if (!b_)
      b_ = PlanScene::Bounds{p.x, p.y, p.x, p.y};
    b_->minX = std::min(b_->minX, p.x);
    b_->minY = std::min(b_->minY, p.y);
    b_->maxX = std::max(b_->maxX, p.x);
    b_->maxY = std::max(b_->maxY, p.y);
  }
  void add(const Polyline& line) {
    for (const PlanePoint& p : line)
      add(p);
  }
  void add(const std::vector<PlanSegment>& segments) {
    for (const PlanSegment& s : segments) {
      add(s.from);
      add(s.to);
    }
  }
  std::optional<PlanScene::Bounds> result() const { return b_; }

private:
  std::optional<PlanScene::Bounds> b_;
};

} // namespace

std::optional<PlanScene::Bounds> PlanScene::focusBounds() const {
  BoundsBuilder b;
  b.add(firstTransition);
  b.add(arc);
  b.add(secondTransition);
  for (const auto* lines : {&straights, &transitions, &arcs})
    for (const Polyline& line : *lines)
      b.add(line);
  b.add(tangents);
  b.add(sightLines);
  for (const PlanMarker& m : markers)
    if (m.kind != MarkerKind::NextIntersectionPoint)
      b.add(m.at);
  return b.result();
}

std::optional<PlanScene::Bounds> PlanScene::bounds() const {
  BoundsBuilder b;
  if (const auto focus = focusBounds()) {
    b.add({focus->minX, focus->minY});
    b.add({focus->maxX, focus->maxY});
  }
  b.add(incomingStraight);
  b.add(outgoingStraight);
  for (const PlanMarker& m : markers)
    b.add(m.at);
  return b.result();
}

void addFieldTools(PlanScene& scene, const FieldAnswers& answers) {
  if (const auto& stake = answers.stake.point)
    scene.markers.push_back({MarkerKind::SideStake, *stake, "边桩"});
  if (answers.locate.foot && answers.locate.point) {
    scene.markers.push_back({MarkerKind::MeasuredPoint, *answers.locate.point,
                             answers.locate.k + " " + answers.locate.side + answers.locate.offset});
    scene.offsets.push_back({*answers.locate.foot, *answers.locate.point});
  }
  const TableAnswer& table = answers.table;
  if (table.size() > kMostTicks)
    return;
  for (std::size_t i = 0; i < table.size(); ++i)
    if (const auto c = table.row(i).centre)
      scene.ticks.push_back({c->point, c->azimuth});
}

void addBoxesPoints(PlanScene& scene, const Form& form) {
  addPointsAndSights(form, scene);
  clearFaults();
}

PlanScene buildPlanScene(const Form& form) {
  PlanScene scene;
  addRoute(form, scene);
  addPointsAndSights(form, scene);
  // The curve may have faulted on the way; that concerns no computation.
  clearFaults();
  return scene;
}

} // namespace quenlor

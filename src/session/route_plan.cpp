// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_plan.h"

#include "numeric/chainage_text.h"
#include "session/route_model.h"

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

// A line strays from the true one by less than this part of a pixel.
constexpr double kStrayPixels = 0.5;
// Sampled points closer than this many pixels are merged.
constexpr double kMergePixels = 1.0;
constexpr int kMostSamplesPerPiece = 2000;
// Pieces shorter than this many pixels are drawn as part of a coarse line.
constexpr double kCoarsePixels = 3.0;

using Bounds = PlanScene::Bounds;

bool holds(const Bounds& b, const PlanePoint& p) {
  return p.x >= b.minX && p.x <= b.maxX && p.y >= b.minY && p.y <= b.maxY;
}

// How many steps a piece of this radius and length needs so that each
// chord's sagitta, R (1 - cos(theta / 2)), stays under the tolerance.
int stepsFor(double length, double radius, double tolerance) {
  if (!(radius > 0) || !std::isfinite(radius))
    return 1;
  const double angle = 2 * std::acos(std::max(-1.0, 1 - tolerance / radius));
  const double steps = std::ceil(length / (radius * std::max(angle, 1e-9)));
  return int(std::clamp(steps, 1.0, double(kMostSamplesPerPiece)));
}

std::vector<Polyline>& listOf(PlanScene& scene, route::Stretch stretch) {
  switch (stretch) {
  case route::Stretch::Straight: return scene.straights;
  case route::Stretch::Arc: return scene.arcs;
  default: return scene.transitions;
  }
}

} // namespace

RoutePlan::RoutePlan(std::shared_ptr<const RouteModel> model) : model_(std::move(model)) {
  if (!model_ || !model_->route().hasGeometry())
    return;
  if (const auto extent = model_->route().extent())
    bounds_ = Bounds{extent->first.x, extent->first.y, extent->second.x, extent->second.y};
}

void RoutePlan::addPiece(PlanScene& scene, const route::Route::Span& piece, double metresPerPixel,
                         bool picked) const {
  const route::Route& r = model_->route();
  const route::Element e = r.element(std::size_t(piece.element));
  const int steps = e.stretch == route::Stretch::Straight
                        ? 1
                        : stepsFor(piece.to - piece.from, e.radius, kStrayPixels * metresPerPixel);
  Polyline line;
  const double merge = kMergePixels * metresPerPixel;
  for (int i = 0; i <= steps; ++i) {
    const double m = i == steps ? piece.to : piece.from + (piece.to - piece.from) * i / steps;
    const auto at = r.pointAt(m);
    if (!at)
      continue;
    if (!line.empty() && i < steps &&
        std::hypot(at->point.x - line.back().x, at->point.y - line.back().y) < merge)
      continue;
    line.push_back(at->point);
  }
  if (line.size() < 2)
    return;
  if (picked)
    scene.picked.push_back(line);
  listOf(scene, e.stretch).push_back(std::move(line));
}

void RoutePlan::addPoints(PlanScene& scene, const Bounds& view,
                          std::optional<std::size_t> pickedJd) const {
  const route::Route& r = model_->route();
  const auto& d = r.definition();
  const auto mark = [&](MarkerKind kind, const PlanePoint& p, std::string label) {
    if (holds(view, p))
      scene.markers.push_back({kind, p, std::move(label)});
  };
  mark(MarkerKind::RouteEnd, {d.start.x, d.start.y},
       d.start.name + " " + chainageText(d.start.chainage));
  mark(MarkerKind::RouteEnd, {d.end.x, d.end.y}, d.end.name);
  std::vector<std::size_t> inView;
  for (std::size_t i = 0; i < d.jds.size(); ++i)
    if (holds(view, {d.jds[i].x, d.jds[i].y}))
      inView.push_back(i);
  if (inView.size() > kMostMainPointsShown)
    return; // too many to read: the line alone
  const bool mainPoints = 5 * inView.size() <= kMostMainPointsShown;
  for (const std::size_t i : inView) {
    const route::JdResult jd = r.jd(i);
    if (!jd.inRoute)
      continue;
    mark(MarkerKind::IntersectionPoint, {d.jds[i].x, d.jds[i].y}, d.jds[i].name);
    if (!jd.curve.curved || !(mainPoints || pickedJd == i))
      continue;
    const route::MainPoints& m = jd.mainPoints;
    const std::pair<const char*, double> points[] = {
        {"ZH", m.zh}, {"HY", m.hy}, {"QZ", m.qz}, {"YH", m.yh}, {"HZ", m.hz}};
    for (const auto& [name, measure] : points)
      if (const auto at = r.pointAt(measure))
        mark(MarkerKind::MainPoint, at->point,
             std::string(name) + " " + route::stationText(r.stationAt(measure)));
  }
}

// A stretch of short pieces as one line of the straights' colour, sampled
// along the centre line a few pixels apart.
void RoutePlan::addCoarse(PlanScene& scene, double from, double to, double metresPerPixel) const {
  const route::Route& r = model_->route();
  const double step = kCoarsePixels * metresPerPixel;
  Polyline line;
  for (double m = from;; m = std::min(m + step, to)) {
    if (const auto at = r.pointAt(m))
      line.push_back(at->point);
    if (m >= to)
      break;
  }
  if (line.size() >= 2)
    scene.straights.push_back(std::move(line));
}

PlanScene RoutePlan::scene(const Bounds& view, double metresPerPixel,
                           std::optional<std::size_t> pickedJd) const {
  PlanScene scene;
  if (!model_ || !bounds_ || !(metresPerPixel > 0))
    return scene;
  const route::Route& r = model_->route();
  const auto& pieces = r.spans();
  // Pieces a few pixels long are drawn together as one line, sampled along
  // the route: at that scale no colour can be told apart, and a view of the
  // whole route costs what its pixels cost, not what its pieces do.
  std::optional<std::pair<double, double>> run; // measures of a stretch of short pieces
  std::size_t lastPiece = pieces.size();
  const auto flush = [&] {
    if (run)
      addCoarse(scene, run->first, run->second, metresPerPixel);
    run.reset();
  };
  std::size_t i = 0; // the span of the piece: pieces come in the order of the spans
  r.piecesWithin({view.minX, view.minY}, {view.maxX, view.maxY}, [&](const Piece& seen) {
    while (pieces[i].from != seen.from)
      ++i;
    const route::Route::Span& piece = pieces[i];
    const route::Element e = r.element(std::size_t(piece.element));
    const bool picked =
        pickedJd && e.stretch != route::Stretch::Straight && std::size_t(e.jd) == *pickedJd;
    if (!picked && piece.to - piece.from < kCoarsePixels * metresPerPixel) {
      if (run && lastPiece + 1 == i)
        run->second = piece.to;
      else {
        flush();
        run = std::pair(piece.from, piece.to);
      }
    } else {
      flush();
      addPiece(scene, piece, metresPerPixel, picked);
    }
    lastPiece = i;
  });
  flush();
  addPoints(scene, view, pickedJd);
  return scene;
}

} // namespace quenlor

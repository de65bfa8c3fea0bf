// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_plan.h"

#include "numeric/chainage_text.h"
#include "session/route_model.h"

namespace quenlor {
namespace {

using Bounds = PlanScene::Bounds;

bool holds(const Bounds& b, const PlanePoint& p) {
  return p.x >= b.minX && p.x <= b.maxX && p.y >= b.minY && p.y <= b.maxY;
}

} // namespace

RoutePlan::RoutePlan(std::shared_ptr<const RouteModel> model) : model_(std::move(model)) {
  if (!model_ || !model_->route().hasGeometry())
    return;
  if (const auto extent = model_->route().extent())
    bounds_ = Bounds{extent->first.x, extent->first.y, extent->second.x, extent->second.y};
}

void RoutePlan::addPoints(PlanScene& scene, const Bounds& view) const {
  const route::Route& r = model_->route();
  const auto& d = r.definition();
  const auto mark = [&](MarkerKind kind, const PlanePoint& p, std::string label) {
    if (holds(view, p))
      scene.markers.push_back({kind, p, std::move(label)});
  };
  mark(MarkerKind::RouteEnd, {d.start.x, d.start.y},
       d.start.name + " " + chainageText(d.start.chainage));
  mark(MarkerKind::RouteEnd, r.endPoint(), d.end.name);
  std::vector<std::size_t> inView;
  for (std::size_t i = 0; i < r.jdCount(); ++i)
    if (holds(view, r.jdPoint(i)))
      inView.push_back(i);
  if (inView.size() > kMostMainPointsShown)
    return; // too many to read: the line alone
  for (const std::size_t i : inView)
    if (r.jd(i).inRoute)
      mark(MarkerKind::IntersectionPoint, r.jdPoint(i), d.jds[i].name);
}

PlanScene RoutePlan::scene(const Bounds& view, double metresPerPixel,
                           std::optional<std::size_t> pickedJd) const {
  PlanScene scene;
  if (!model_ || !bounds_ || !(metresPerPixel > 0))
    return scene;
  addCentreLine(scene, model_->route(), view, metresPerPixel,
                pickedJd ? std::optional(int(*pickedJd)) : std::nullopt);
  addRoadEdges(scene, model_->route(), model_->sections(), view, metresPerPixel);
  addPoints(scene, view);
  return scene;
}

} // namespace quenlor

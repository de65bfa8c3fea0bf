// SPDX-License-Identifier: GPL-3.0-or-later
// The plan of a whole route at the detail a view can show. A route may have
// thousands of JDs, so nothing is drawn that is out of view: its centre line
// as plan_scene.h draws any centre line at a view's detail, and BP, EP and
// the JDs where few enough are in view to be read.
#pragma once

#include "route/route.h"
#include "session/plan_scene.h"

#include <memory>
#include <optional>

namespace quenlor {

class RouteModel;

class RoutePlan {
public:
  explicit RoutePlan(std::shared_ptr<const RouteModel> model);

  const RouteModel* model() const { return model_.get(); }

  // The whole route's extent; nothing for a route without geometry.
  std::optional<PlanScene::Bounds> bounds() const { return bounds_; }

  // The scene of what lies in view: the centre line with its main points
  // (the picked JD's curve again in `picked`), the road's edges where the
  // view is near enough to tell them from it, BP, EP and the JDs (none of
  // them where more than kMostMainPointsShown are in view). An element
  // route has no JDs; its EP stands where its last element ends.
  PlanScene scene(const PlanScene::Bounds& view, double metresPerPixel,
                  std::optional<std::size_t> pickedJd) const;

private:
  void addPoints(PlanScene& scene, const PlanScene::Bounds& view) const;

  std::shared_ptr<const RouteModel> model_;
  std::optional<PlanScene::Bounds> bounds_;
};

} // namespace quenlor

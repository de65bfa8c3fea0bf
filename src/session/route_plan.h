// SPDX-License-Identifier: GPL-3.0-or-later
// The plan of a whole route at the detail a view can show. A route may have
// thousands of JDs, so nothing is drawn that is out of view, each piece of
// the centre line is sampled only as finely as its curvature needs for a line
// that strays from the true one by less than a pixel, points closer than a
// pixel are merged, and the main points are marked only where few enough are
// in view to be read.
#pragma once

#include "route/route.h"
#include "session/plan_scene.h"

#include <memory>
#include <optional>

namespace quenlor {

class RouteModel;

// More main points than this in view are not marked (the JDs still are).
inline constexpr std::size_t kMostMainPointsShown = 200;

class RoutePlan {
public:
  explicit RoutePlan(std::shared_ptr<const RouteModel> model);

  const RouteModel* model() const { return model_.get(); }

  // The whole route's extent; nothing for a route without geometry.
  std::optional<PlanScene::Bounds> bounds() const { return bounds_; }

  // The scene of what lies in view: the straights, transitions and arcs as
  // polylines, the picked JD's curve again in `picked`, BP, EP and the JDs,
  // and the main points with their chainages where few are in view.
  PlanScene scene(const PlanScene::Bounds& view, double metresPerPixel,
                  std::optional<std::size_t> pickedJd) const;

private:
  void addPiece(PlanScene& scene, const route::Route::Span& piece, double metresPerPixel,
                bool picked) const;
  void addCoarse(PlanScene& scene, double from, double to, double metresPerPixel) const;
  void addPoints(PlanScene& scene, const PlanScene::Bounds& view,
                 std::optional<std::size_t> pickedJd) const;

  std::shared_ptr<const RouteModel> model_;
  std::optional<PlanScene::Bounds> bounds_;
};

} // namespace quenlor

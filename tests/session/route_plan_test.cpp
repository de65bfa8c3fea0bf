// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_model.h"
#include "session/route_plan.h"
#include "support/random_route.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quenlor {
namespace {

PlanScene::Bounds around(const PlanePoint& p, double half) {
  return {p.x - half, p.y - half, p.x + half, p.y + half};
}

std::size_t countOf(const PlanScene& s, MarkerKind kind) {
  return std::size_t(std::count_if(s.markers.begin(), s.markers.end(),
                                   [kind](const PlanMarker& m) { return m.kind == kind; }));
}

// However far out the view, every chord of the drawn line stays within half a
// pixel of the centre line; main points are marked only where they can be read.
TEST(RoutePlan, DrawsWhatIsInViewAtTheDetailItCanShow) {
  const auto model = std::make_shared<const RouteModel>(test::randomRoute(300, 3));
  const RoutePlan plan(model);
  const route::Route& r = model->route();
  ASSERT_TRUE(plan.bounds());
  for (const double metresPerPixel : {0.01, 0.5, 20.0}) {
    const auto jd = r.definition().jds[150];
    const PlanScene scene =
        plan.scene(around({jd.x, jd.y}, 400 * metresPerPixel), metresPerPixel, 150);
    double worst = 0;
    for (const auto* lines : {&scene.transitions, &scene.arcs})
      for (const Polyline& line : *lines)
        for (std::size_t i = 1; i < line.size(); ++i) {
          const PlanePoint mid{(line[i - 1].x + line[i].x) / 2, (line[i - 1].y + line[i].y) / 2};
          worst = std::max(worst, std::fabs(r.locate(mid)->offset));
        }
    EXPECT_LE(worst, 0.5 * metresPerPixel) << metresPerPixel;
    EXPECT_FALSE(scene.picked.empty()) << metresPerPixel;
  }
  // A few JDs in view: they and their main points are marked; the whole
  // route in view: its line alone, no marks to clutter it.
  const auto jd = r.definition().jds[150];
  EXPECT_GT(countOf(plan.scene(around({jd.x, jd.y}, 600), 1.5, 150), MarkerKind::MainPoint), 0u);
  const PlanScene all = plan.scene(*plan.bounds(), 50, std::nullopt);
  EXPECT_FALSE(all.straights.empty());
  EXPECT_EQ(all.markers.size(), countOf(all, MarkerKind::RouteEnd));
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stakes.h"
#include "route/route_file.h"
#include "session/plan_scene.h"
#include "session/readout.h"
#include "session/route_model.h"
#include "session/route_plan.h"
#include "support/random_route.h"
#include "support/session.h"
#include "support/worked_route.h"

#include <cmath>

namespace quenlor {
namespace {

using test::play;

// The worked curve with a station, a backsight and the point at K0+600.
Form plannedForm(bool right = true) {
  return test::workedForm(right, std::string(test::kStation) + "set Text26 600\n");
}

double distance(const PlanePoint& a, double x, double y) { return std::hypot(a.x - x, a.y - y); }

// The least distance from a point to a polyline.
double distanceToLine(const Polyline& line, double x, double y) {
  double least = INFINITY;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const PlanePoint a = line[i - 1], b = line[i];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    least = std::min(least, std::hypot(a.x + t * dx - x, a.y + t * dy - y));
  }
  return least;
}

Polyline wholeCurve(const PlanScene& s) {
  Polyline all;
  for (const auto* lines : {&s.transitions, &s.arcs})
    for (const Polyline& line : *lines)
      all.insert(all.end(), line.begin(), line.end());
  return all;
}

// The ZH and HZ points of the worked curve turning right and left.
struct Hand {
  bool right;
  double zhX, zhY, hzX, hzY;
};

TEST(PlanScene, FollowsTheRouteTheCalculatorComputes) {
  for (const Hand hand : {Hand{true, 879.3080, 1930.3185, 1047.6650, 2130.9585},
                          Hand{false, 879.3080, 1930.3185, 1137.2459, 1975.7998}}) {
    SCOPED_TRACE(hand.right ? "right" : "left");
    const Form form = plannedForm(hand.right);
    const PlanScene scene = buildPlanScene(form);
    ASSERT_EQ(scene.transitions.size(), 2u);
    ASSERT_EQ(scene.arcs.size(), 1u);
    ASSERT_EQ(scene.straights.size(), 2u);
    const Polyline &first = scene.transitions[0], &arc = scene.arcs[0],
                   &second = scene.transitions[1];

    // From the ZH point to the HZ point, through the point in Text27/Text28,
    // between the straights.
    EXPECT_LT(distance(first.front(), hand.zhX, hand.zhY), 1e-4);
    EXPECT_LT(distance(second.back(), hand.hzX, hand.hzY), 1e-4);
    EXPECT_LT(distance(scene.straights[0].back(), hand.zhX, hand.zhY), 1e-4);
    EXPECT_LT(distance(scene.straights[1].front(), hand.hzX, hand.hzY), 1e-4);
    const double px = test::number(form, Box::Text27), py = test::number(form, Box::Text28);
    EXPECT_LT(distanceToLine(wholeCurve(scene), px, py), 1e-3);

    // It bends to the side the deflection says: right of the incoming
    // direction (azimuth 30) for a right-hand curve.
    const double a = 30 * 3.1415926 / 180;
    const PlanePoint mid = arc[arc.size() / 2];
    const double side = (mid.x - hand.zhX) * -std::sin(a) + (mid.y - hand.zhY) * std::cos(a);
    EXPECT_EQ(side > 0, hand.right) << side;

    // Transitions meet the arc where the route's own classification changes.
    EXPECT_LT(distance(arc.front(), first.back().x, first.back().y), 1e-3);
    // The curve is what a view fits to, the straights are not.
    const auto focus = scene.focusBounds();
    ASSERT_TRUE(focus);
    EXPECT_GT(focus->minX, scene.straights[0].front().x);
  }
}

TEST(PlanScene, MarksMainPointsStationAndSights) {
  const PlanScene scene = buildPlanScene(plannedForm());
  std::vector<std::string> labels;
  for (const PlanMarker& m : scene.markers)
    labels.push_back(m.label);
  for (const char* expected : {"ZH K0+500.000", "HY K0+560.000", "QZ K0+634.720", "YH K0+709.440",
                               "HZ K0+769.440", "JD", "K0+600.000"})
    EXPECT_NE(std::find(labels.begin(), labels.end(), expected), labels.end()) << expected;
  ASSERT_EQ(scene.sightLines.size(), 2u);
  EXPECT_LT(distance(scene.sightLines[0].to, 850, 2100), 1e-12);
  EXPECT_EQ(scene.tangents.size(), 2u);
  // A station whose X or Y box is empty is no station: no marker, no sight lines.
  Form halfStation = plannedForm();
  play(halfStation, "set Text36 ");
  const PlanScene without = buildPlanScene(halfStation);
  EXPECT_TRUE(without.sightLines.empty());
  EXPECT_TRUE(std::none_of(without.markers.begin(), without.markers.end(),
                           [](const PlanMarker& m) { return m.kind == MarkerKind::Station; }));
}

// Fault: a curve without transitions was labelled ZH/HY and YH/HZ on the
// plan and in the readout, where the route's table and files name it ZY,
// QZ, YZ.
TEST(PlanScene, ACurveWithoutTransitionsIsZyQzYz) {
  Form form;
  play(form, "set Text8 1000\nset Text6 30\nset Text9 500\nset Text17 0\nset Text18 30");
  std::vector<std::string> labels;
  for (const PlanMarker& m : buildPlanScene(form).markers)
    if (m.kind == MarkerKind::MainPoint)
      labels.push_back(m.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"ZY K0+866.025", "QZ K0+996.925", "YZ K1+127.825"}));
  std::vector<std::string> readout;
  for (const ReadoutItem& item : formReadout(form))
    if (item.text.starts_with("K"))
      readout.push_back(std::string(item.caption) + " " + item.text);
  EXPECT_EQ(readout, (std::vector<std::string>{"ZY K0+866.025", "QZ K0+996.925", "YZ K1+127.825"}));
}

TEST(PlanScene, DrawsWhatIsDefinedAndLeavesOutTheRest) {
  const struct {
    const char* name;
    const char* session;
    bool curve;
  } cases[] = {
      {"ZeroRadius", "set Text9 0", false},
      // The curve elements of a negative radius put HZ before ZH: the route
      // has no curve then, only its straights.
      {"NegativeRadius", "set Text9 -300", false},
      {"HugeValues", "set Text9 1e300\nset Text13 1e308\nset Text27 1e308\nset Text28 -1e308",
       true},
      {"RadiusBeyondTheDoubleRange", "set Text9 1e999", false},
      // The tangent's turn at ZH, l^2 / 2 R Ls, is 0/0: the curve has no
      // point there to start from, and nothing of it is drawn.
      {"TinyValues", "set Text9 1e-300\nset Text10 1e-300\nset Text42 1e-300\nset Text11 1e-300",
       false},
      {"StationOnly", "set Text35 5\nset Text36 5\nset Text6 \nset Text9 ", false},
  };
  for (const auto& c : cases) {
    Form form = plannedForm();
    play(form, c.session);
    const PlanScene scene = buildPlanScene(form);
    EXPECT_EQ(!scene.arcs.empty() || !scene.transitions.empty(), c.curve) << c.name;
    for (const auto* lines : {&scene.straights, &scene.transitions, &scene.arcs})
      for (const Polyline& line : *lines)
        for (const PlanePoint& p : line)
          ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << c.name;
  }
  Form empty;
  EXPECT_FALSE(buildPlanScene(empty).bounds());
}

std::vector<std::pair<MarkerKind, std::string>> pointMarkers(const PlanScene& scene) {
  std::vector<std::pair<MarkerKind, std::string>> found;
  for (const PlanMarker& m : scene.markers)
    if (m.kind == MarkerKind::ComputedPoint || m.kind == MarkerKind::StalePoint ||
        m.kind == MarkerKind::CurrentPoint)
      found.emplace_back(m.kind, m.label);
  return found;
}

// The point of the boxes is recomputed only when Text26 is edited: after a
// change of the radius it is about 9 m off the curve, and the plan says so
// and marks the curve's point as well.
TEST(PlanScene, MarksAStalePointAsOutOfDate) {
  Form form = plannedForm();
  using P = std::vector<std::pair<MarkerKind, std::string>>;
  EXPECT_EQ(pointMarkers(buildPlanScene(form)), (P{{MarkerKind::ComputedPoint, "K0+600.000"}}));
  play(form, "set Text9 250");
  EXPECT_EQ(pointMarkers(buildPlanScene(form)), (P{{MarkerKind::StalePoint, "K0+600.000 未更新"},
                                                   {MarkerKind::CurrentPoint, "K0+600.000"}}));
  play(form, "set Text26 600.0");
  EXPECT_EQ(pointMarkers(buildPlanScene(form)), (P{{MarkerKind::ComputedPoint, "K0+600.000"}}));
}

// Fault: a chainage typed into boxes without a curve (the boxes read an
// empty box as 0) gave the point (chainage, 0), which the plan marked with a
// sight line from the station. An incomplete curve gives no point; without
// the first transition the curve is whole (an arc).
TEST(PlanScene, MarksNoPointOfAnIncompleteCurve) {
  using P = std::vector<std::pair<MarkerKind, std::string>>;
  Form form;
  play(form, std::string(test::kStation) + "set Text26 600\n");
  PlanScene scene = buildPlanScene(form);
  EXPECT_EQ(pointMarkers(scene), P{});
  EXPECT_EQ(scene.sightLines.size(), 1u); // to the backsight only
  Form arc = plannedForm();
  play(arc, "set Text10 \nset Text26 600.0");
  EXPECT_EQ(pointMarkers(buildPlanScene(arc)), (P{{MarkerKind::ComputedPoint, "K0+600.000"}}));
  play(arc, "set Text9 \nset Text26 600");
  EXPECT_EQ(pointMarkers(buildPlanScene(arc)), P{});
}

// The plan of a whole route.
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

// A route by elements drawn by the same procedure: each element a piece of
// its kind, its main points where its elements meet, BP and EP where it
// starts and ends, the element picked (the first arc) drawn again.
TEST(RoutePlan, DrawsARouteByElementsPieceByPiece) {
  const auto model = std::make_shared<const RouteModel>(test::workedRamp());
  const RoutePlan plan(model);
  ASSERT_TRUE(plan.bounds());
  const PlanScene scene = plan.scene(*plan.bounds(), 0.05, 2);
  EXPECT_EQ(scene.straights.size(), 2u);
  EXPECT_EQ(scene.transitions.size(), 3u);
  EXPECT_EQ(scene.arcs.size(), 2u);
  EXPECT_EQ(scene.picked.size(), 1u);
  std::vector<std::string> labels;
  for (const PlanMarker& m : scene.markers)
    labels.push_back(m.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"ZH K1+300.000", "HY K1+340.000", "YH K1+400.000",
                                              "HY K1+430.000", "YH K1+480.000", "HZ K1+520.000",
                                              "BP K1+200.000", "EP"}));
  EXPECT_EQ(scene.markers.back().at, model->route().pointAt(400.0)->point);
}

// The least distance from a point to any of the scene's edge lines.
double distanceToEdges(const PlanScene& s, const PlanePoint& p) {
  double least = INFINITY;
  for (const Polyline& edge : s.edges)
    least = std::min(least, distanceToLine(edge, p.x, p.y));
  return least;
}

// The example route's JD4 turns left and widens its inside 0.6 m: in the
// middle of its arc the left edge runs 5.25 + 0.6 m left of the centre
// line, the right edge 5.25 m right, each drawn within half a pixel. At
// 5.25 / 4 = 1.3125 m a pixel or more the sides are narrower than the 4
// pixels that tell them from the centre line: no edges.
TEST(RoutePlan, DrawsTheRoadsEdgesWithTheirWideningWhenNearEnough) {
  const auto model =
      std::make_shared<const RouteModel>(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const RoutePlan plan(model);
  const CentrePoint qz = *model->route().pointAt(model->route().jd(3).mainPoints.qz);
  const PlanScene near = plan.scene(around(qz.point, 40), 0.01, std::nullopt);
  EXPECT_LE(distanceToEdges(near, sideStake(qz, -5.85)), 0.005);
  EXPECT_LE(distanceToEdges(near, sideStake(qz, 5.25)), 0.005);
  EXPECT_FALSE(plan.scene(around(qz.point, 400), 1.3, std::nullopt).edges.empty());
  EXPECT_TRUE(plan.scene(around(qz.point, 400), 1.32, std::nullopt).edges.empty());
}

} // namespace
} // namespace quenlor

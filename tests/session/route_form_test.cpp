// SPDX-License-Identifier: GPL-3.0-or-later
// Every JD of a route walked through the boxes: filled as a surveyor types
// them, the boxes' own formulas (an eight-digit pi, the clothoid's series cut
// at three terms, its shift at one) must agree with the route's exact ones.
#include "geometry/angle.h"
#include "route/route_file.h"
#include "session/jd_boxes.h"
#include "support/random_route.h"
#include "support/session.h"

#include <cmath>
#include <numbers>

namespace quenlor {
namespace {

constexpr double kMillimetre = 1e-3;
constexpr double kSecond = std::numbers::pi / 180 / 3600;

// How far the boxes' one-term shift p = Ls^2 / 24R lies from the clothoid's:
// its next term, Ls^4 / (2688 R^3).
double shiftTruncation(double ls, double r) { return std::pow(ls, 4) / 2688 / std::pow(r, 3); }

// What the boxes' shortened shift and tangent extension make of the first
// tangent, at the route's own deflection: the same formula with p and q cut
// short. With unequal transitions the difference of the two shifts is
// divided by sin a, so a small deflection magnifies it.
double boxesTangentError(const route::Curve& c) {
  const auto shift = [&](double ls) { return ls * ls / 24 / c.radius; };
  const auto extension = [&](double ls) {
    return ls / 2 - std::pow(ls, 3) / 240 / c.radius / c.radius;
  };
  const double a = std::fabs(c.deflection);
  const double boxes =
      extension(c.ls1) +
      ((c.radius + shift(c.ls2)) - (c.radius + shift(c.ls1)) * std::cos(a)) / std::sin(a);
  return std::fabs(boxes - c.tangent1);
}

struct Worst {
  double length = 0, angle = 0, point = 0;
};

// The boxes of one JD against the route, with the tolerance for lengths.
void walk(const route::Route& route, std::size_t i, Worst& worst) {
  const route::JdResult jd = route.jd(i);
  const route::Curve& c = jd.curve;
  if (!jd.inRoute || !c.curved)
    return;
  Form form;
  fillBoxes(form, boxEditsForJd(route, i));
  const auto label = [&](double measure) { return route.stationAt(measure).chainage; };
  // A chain break inside the curve shifts the route's labels, not the boxes'.
  if (std::fabs(label(jd.mainPoints.hz) - label(jd.mainPoints.zh) - c.length) > 1e-9)
    return;
  const bool equal = c.ls1 == c.ls2;
  // The lengths agree to a millimetre where the boxes' short series do.
  const double lengthTolerance = kMillimetre + boxesTangentError(c);
  const std::pair<Box, double> lengths[] = {
      {Box::Text11, c.tangent1},
      {Box::Text34, c.length},
      {Box::Text12, equal ? c.external : test::number(form, Box::Text12)},
      {Box::Text21, label(jd.mainPoints.zh)},
      {Box::Text22, label(jd.mainPoints.hy)},
      {Box::Text23, label(jd.mainPoints.qz)},
      {Box::Text24, label(jd.mainPoints.yh)},
      {Box::Text25, label(jd.mainPoints.hz)}};
  for (const auto& [box, expected] : lengths) {
    const double difference = std::fabs(test::number(form, box) - expected);
    worst.length = std::max(worst.length, difference);
    EXPECT_LT(difference, lengthTolerance) << route.definition().jds[i].name << " " << boxName(box);
  }
  const double deflection = radiansOf(test::number(form, Box::Text19));
  const double outgoing = radiansOf(test::number(form, Box::Text18));
  for (const double d : {std::remainder(deflection - c.deflection, 2 * std::numbers::pi),
                         std::remainder(outgoing - c.outgoingAzimuth, 2 * std::numbers::pi)}) {
    worst.angle = std::max(worst.angle, std::fabs(d));
    EXPECT_LT(std::fabs(d), 1.01 * kSecond) << route.definition().jds[i].name; // pi's 0.006″
  }
  if (!equal)
    return; // the point at a chainage treats the curve as symmetric
  // The boxes' azimuths have whole seconds: the point is placed from the JD
  // along directions up to a second off the route's.
  const double placing = std::max(c.tangent1, c.tangent2) * kSecond;
  for (double m = jd.mainPoints.zh - 30; m <= jd.mainPoints.hz + 30; m += 7.3) {
    const auto at = route.pointAt(m);
    if (!at)
      continue;
    form.edit(Box::Text26, formatNumber(label(m)));
    const double off = std::hypot(test::number(form, Box::Text27) - at->point.x,
                                  test::number(form, Box::Text28) - at->point.y);
    worst.point = std::max(worst.point, off - placing);
    EXPECT_LT(off, kMillimetre + placing) << route.definition().jds[i].name << " at " << m;
  }
}

TEST(RouteThroughTheBoxes, EveryJdAgreesToAMillimetreAndASecond) {
  Worst worst;
  const auto example = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  ASSERT_TRUE(example) << example.error();
  const route::Route exampleRoute(*example);
  for (std::size_t i = 0; i < exampleRoute.jdCount(); ++i)
    walk(exampleRoute, i, worst);

  // Ordinary curves: R from 150 m, transitions up to R/2 where the boxes'
  // one-term shift errs by less than half a millimetre; and where a small
  // deflection magnifies the difference of two unequal shifts, by as much as
  // that.
  route::RouteDefinition random = test::randomRoute(60, 7);
  for (route::Jd& jd : random.jds) {
    while (shiftTruncation(std::max(jd.ls1, jd.secondTransition()), jd.radius) > 0.5e-3) {
      jd.ls1 = std::round(jd.ls1 * 0.8);
      if (jd.ls2)
        jd.ls2 = std::round(*jd.ls2 * 0.8);
    }
  }
  const route::Route randomRoute(random);
  ASSERT_TRUE(randomRoute.checks().empty()) << randomRoute.checks().front().message;
  for (std::size_t i = 0; i < randomRoute.jdCount(); ++i)
    walk(randomRoute, i, worst);
  RecordProperty("worst_length_mm", std::to_string(worst.length * 1000));
  RecordProperty("worst_angle_seconds", std::to_string(worst.angle / kSecond));
  RecordProperty("worst_point_mm", std::to_string(worst.point * 1000));
}

} // namespace
} // namespace quenlor

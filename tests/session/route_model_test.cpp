// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"
#include "session/route_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quenlor {
namespace {

// Grade points by chainage on the example route (BP K0+000; K2+500 =
// K2+480 long, K5+200 = K5+215.3 short): before BP and beyond EP they stand
// on the end segments carried on, within a millimetre of an end at the end,
// in the short break's gap nowhere. Points beyond the ends were once left
// out, and a point 0.2 mm inside EP left the stakes at EP without a level.
TEST(RouteModel, GradePointsBeyondTheEndsAndAtThem) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  const route::Route plain(d);
  const double length = plain.length();
  const double ep = plain.chainages().segments().back().endChainage();
  const struct {
    double chainage, measure; // NaN: left out
  } cases[] = {
      {-50, -50},               // before BP
      {0.0008, 0},              // within a millimetre of BP
      {1000, 1000},             //
      {5205, NAN},              // in the short break's gap
      {ep - 0.0009, length},    // within a millimetre of EP
      {ep + 100, length + 100}, // beyond EP
  };
  d.gradePoints.clear();
  for (const auto& c : cases)
    d.gradePoints.push_back({"", c.chainage, 100 + c.chainage / 1000, 0});
  const RouteModel model(d);
  const auto& points = model.profile().points();
  ASSERT_EQ(points.size(), std::size(cases));
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::isnan(cases[i].measure))
      EXPECT_TRUE(std::isnan(points[i].measure)) << i;
    else
      EXPECT_NEAR(points[i].measure, cases[i].measure, 1e-9) << i;
  }
  EXPECT_TRUE(model.designAt({ep, 0})); // EP's stake has its level
}

} // namespace
} // namespace quenlor

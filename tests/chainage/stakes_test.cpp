// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stakes.h"
#include "geometry/constants.h"
#include "session/route_of_boxes.h"
#include "support/session.h"

#include <cmath>

namespace quenlor {
namespace {

RouteInputs workedRoute(bool right = true) { return *routeOfBoxes(test::workedForm(right)); }

double radians(double degrees) { return degrees * kPi / 180; }

struct StakeCase {
  const char* name;
  bool right;
  double chainage, offset;
  double centreX, centreY; // the point the chainage box gives
  double tangentDegrees;   // worked from the transition and arc model
};

class SideStakes : public ::testing::TestWithParam<StakeCase> {};

TEST_P(SideStakes, StandAtRightAnglesToTheTangent) {
  const StakeCase& c = GetParam();
  const auto stake = sideStake(workedRoute(c.right), c.chainage, c.offset);
  ASSERT_TRUE(stake);
  const double a = radians(c.tangentDegrees);
  EXPECT_NEAR(stake->x, c.centreX - c.offset * std::sin(a), 5e-5);
  EXPECT_NEAR(stake->y, c.centreY + c.offset * std::cos(a), 5e-5);
}

// Tangent azimuths: 30 deg plus or minus l^2 / (2 R Ls) on a transition,
// (l - Ls) / R + Ls / (2R) on the arc, 70 or 350 deg beyond HZ.
INSTANTIATE_TEST_SUITE_P(
    WorkedCurves, SideStakes,
    ::testing::Values(
        StakeCase{"IncomingStraightRight", true, 480, 10, 861.9875, 1920.3185, 30},
        StakeCase{"FirstTransitionLeftSide", true, 550, -7.5, 922.0099, 1956.3084, 30 + 3.978874},
        StakeCase{"ArcFromZh", true, 600, 5, 961.0385, 1987.4702, 30 + 13.369015},
        StakeCase{"ArcFromHz", true, 700, -3, 1021.0551, 2066.8792, 70 - 7.532390},
        StakeCase{"SecondTransition", true, 750, 12, 1040.9524, 2112.7148, 70 - 0.601437},
        StakeCase{"OutgoingStraight", true, 800, 4, 1058.1173, 2159.6760, 70},
        StakeCase{"LeftHandTransition", false, 550, 6, 923.1669, 1954.3044, 30 - 3.978874},
        StakeCase{"LeftHandOutgoingStraight", false, 800, -2, 1167.3421, 1970.4931, -10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RouteOfBoxes, NothingWhenABoxIsBeyondTheDoubleRange) {
  for (const char* box : {"Text17", "Text18", "Text6", "Text9", "Text25"}) {
    Form form = test::workedForm(true, std::string("set ") + box + " 1e999");
    EXPECT_FALSE(routeOfBoxes(form)) << box;
  }
  // Finite, but its radians overflow.
  EXPECT_FALSE(routeOfBoxes(test::workedForm(true, "set Text17 1e308")));
}

TEST(SideStakes, ZeroOffsetIsTheChainageBoxsPoint) {
  const Form form = test::workedForm(true, "set Text26 655.5");
  const auto stake = sideStake(*routeOfBoxes(form), 655.5, 0);
  ASSERT_TRUE(stake);
  EXPECT_EQ(formatNumber(stake->x), form.text(Box::Text27));
  EXPECT_EQ(formatNumber(stake->y), form.text(Box::Text28));
}

// Round trips over the whole curve and both straights, both sides: the
// inverse of a stake gives back its chainage and offset to 0.1 mm.
TEST(Locate, InvertsSideStakesEverywhere) {
  for (bool right : {true, false}) {
    const RouteInputs route = workedRoute(right);
    double worst = 0;
    for (double k = 380; k <= 880; k += 0.37) {
      for (double offset : {-25.0, -7.5, -0.01, 0.0, 3.0, 25.0}) {
        const auto stake = sideStake(route, k, offset);
        ASSERT_TRUE(stake);
        const auto found = locate(route, stake->x, stake->y);
        ASSERT_TRUE(found) << k << " " << offset;
        worst =
            std::max({worst, std::fabs(found->chainage - k), std::fabs(found->offset - offset)});
      }
    }
    EXPECT_LT(worst, 1e-4) << (right ? "right" : "left");
  }
}

// Far from the line a point has several perpendicular feet: a kilometre
// inside the curve from K0+600 lies 1000 m from the arc, 981.5 m from the
// incoming straight and 926.2 m from the outgoing one. The nearest foot
// wins, as a dense walk along the line finds it.
TEST(Locate, TakesTheNearestOfSeveralFeet) {
  const RouteInputs route = workedRoute();
  for (const double offset : {1000.0, 600.0, -400.0}) {
    const auto point = sideStake(route, 600, offset);
    const auto found = locate(route, point->x, point->y);
    ASSERT_TRUE(found) << offset;
    double nearest = INFINITY;
    for (double k = -3000; k <= 4000; k += 0.05) {
      const auto c = centreAt(route, k);
      nearest = std::min(nearest, std::hypot(c->at.x - point->x, c->at.y - point->y));
    }
    EXPECT_NEAR(std::fabs(found->offset), nearest, 1e-3) << offset;
    const auto back = sideStake(route, found->chainage, found->offset);
    EXPECT_LT(std::hypot(back->x - point->x, back->y - point->y), 1e-4) << offset;
  }
  // Beyond the ends, on the straights extended.
  const auto far = sideStake(route, -5000, 8);
  const auto found = locate(route, far->x, far->y);
  ASSERT_TRUE(found);
  EXPECT_NEAR(found->chainage, -5000, 1e-4);
  EXPECT_NEAR(found->offset, 8, 1e-4);
  EXPECT_FALSE(locate(route, NAN, 0));
}

} // namespace
} // namespace quenlor

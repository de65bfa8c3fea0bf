// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stakes.h"
#include "geometry/constants.h"
#include "session/route_of_boxes.h"
#include "support/session.h"

#include <cmath>

namespace quenlor {
namespace {

using test::play;

// The worked curve of the chainage computation, right- or left-hand.
RouteInputs workedRoute(bool right) {
  Form form;
  play(form, std::string("set Text6 ") + (right ? "40" : "-40") +
                 "\nset Text9 300\nset Text10 60\nset Text11 139.3631\nset Text21 500\n"
                 "set Text23 634.7198\nset Text25 769.4395\nset Text13 1000\nset Text14 2000\n"
                 "set Text17 30\nset Text18 " +
                 (right ? "70" : "350"));
  return *routeOfBoxes(form);
}

double degrees(double d) { return d * kPi / 180; }

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
  const RouteInputs route = workedRoute(c.right);
  const auto stake = sideStake(route, c.chainage, c.offset);
  ASSERT_TRUE(stake);
  const double a = degrees(c.tangentDegrees);
  EXPECT_NEAR(stake->x, c.centreX - c.offset * std::sin(a), 5e-5);
  EXPECT_NEAR(stake->y, c.centreY + c.offset * std::cos(a), 5e-5);
}

// Tangent azimuths: 30 deg plus or minus l^2 / (2 R Ls) on a transition,
// (l - Ls) / R + Ls / (2R) on the arc, 70 or 350 deg beyond HZ.
INSTANTIATE_TEST_SUITE_P(
    WorkedCurves, SideStakes,
    ::testing::Values(StakeCase{"IncomingStraightRight", true, 480, 10, 861.9875, 1920.3185, 30},
                      StakeCase{"FirstTransitionLeftSide", true, 550, -7.5, 922.0099, 1956.3084,
                                30 + 2500.0 / 36000 * 180 / kPi},
                      StakeCase{"ArcFromZh", true, 600, 5, 961.0385, 1987.4702,
                                30 + (40.0 / 300 + 30.0 / 300) * 180 / kPi},
                      StakeCase{"ArcFromHz", true, 700, -3, 1021.0551, 2066.8792,
                                70 - (9.4395 / 300 + 30.0 / 300) * 180 / kPi},
                      StakeCase{"SecondTransition", true, 750, 12, 1040.9524, 2112.7148,
                                70 - 19.4395 * 19.4395 / 36000 * 180 / kPi},
                      StakeCase{"OutgoingStraight", true, 800, 4, 1058.1173, 2159.6760, 70},
                      StakeCase{"LeftHandTransition", false, 550, 6, 923.1669, 1954.3044,
                                30 - 2500.0 / 36000 * 180 / kPi},
                      StakeCase{"LeftHandOutgoingStraight", false, 800, -2, 1167.3421, 1970.4931,
                                -10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RouteOfBoxes, NothingWhenABoxIsBeyondTheDoubleRange) {
  for (const char* box : {"Text17", "Text18", "Text6", "Text9", "Text25"}) {
    Form form;
    play(form, std::string("set ") + box + " 1e999");
    EXPECT_FALSE(routeOfBoxes(form)) << box;
    EXPECT_EQ(play(form, "stake 1 1\nlocate 1 1"), "X= Y= azimuth= distance=\nchainage= offset=\n")
        << box;
  }
  Form huge;
  play(huge, "set Text17 1e308"); // finite, but its radians overflow
  EXPECT_FALSE(routeOfBoxes(huge));
}

TEST(SideStakes, ZeroOffsetIsTheChainageBoxsPoint) {
  Form form;
  play(form, "set Text6 40\nset Text9 300\nset Text10 60\nset Text11 139.3631\nset Text21 500\n"
             "set Text23 634.7198\nset Text25 769.4395\nset Text13 1000\nset Text14 2000\n"
             "set Text17 30\nset Text18 70\nset Text26 655.5");
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

TEST(Locate, PointsBeyondTheStraightsLieOnTheirExtensions) {
  const RouteInputs route = workedRoute(true);
  const auto far = sideStake(route, -5000, 8);
  ASSERT_TRUE(far);
  const auto found = locate(route, far->x, far->y);
  ASSERT_TRUE(found);
  EXPECT_NEAR(found->chainage, -5000, 1e-4);
  EXPECT_NEAR(found->offset, 8, 1e-4);
  EXPECT_FALSE(locate(route, NAN, 0));
}

TEST(KNotation, WritesKilometresAndMetres) {
  EXPECT_EQ(kNotation(1234.567), "K1+234.567");
  EXPECT_EQ(kNotation(500), "K0+500.000");
  EXPECT_EQ(kNotation(1999.9996), "K2+000.000"); // the carry
  EXPECT_EQ(kNotation(1999.9994), "K1+999.999");
  EXPECT_EQ(kNotation(12), "K0+012.000");
  EXPECT_EQ(kNotation(-12.5), "K-0+012.500");
  EXPECT_EQ(kNotation(-1234.5), "K-1+234.500");
  EXPECT_EQ(kNotation(-0.0001), "K0+000.000");
  EXPECT_EQ(kNotation(2e12), "2000000000000");
  EXPECT_EQ(kNotation(INFINITY), "");
}

StakeTableRequest request(double start, double end, double interval) {
  StakeTableRequest r;
  r.start = start;
  r.end = end;
  r.interval = interval;
  r.offset = 5;
  r.stationX = 900;
  r.stationY = 1900;
  r.mainPoints = {500, 560, 634.7198, 709.4395, 769.4395};
  return r;
}

TEST(StakeTable, HoldsTheStakesAndTheMainPointsInOrder) {
  const StakeTable table = stakeTable(workedRoute(true), request(480, 800, 20));
  std::vector<std::string> mains;
  double previous = -INFINITY;
  for (const StakeRow& row : table.rows) {
    EXPECT_GT(row.chainage, previous);
    previous = row.chainage;
    if (!row.mainPoint.empty())
      mains.push_back(row.mainPoint);
    ASSERT_TRUE(row.centre && row.left && row.right && row.setOut);
    EXPECT_NEAR(std::hypot(row.left->x - row.right->x, row.left->y - row.right->y), 10, 1e-9);
  }
  EXPECT_EQ(mains, (std::vector<std::string>{"ZH", "HY", "QZ", "YH", "HZ"}));
  // 480, 500 (ZH), ..., 800: 17 stakes, plus QZ, YH and HZ between them.
  EXPECT_EQ(table.rows.size(), 17u + 3u);
  // The main points as the curve elements compute them, a hair off the
  // stakes: the stake at 500 is ZH itself, not a second row.
  StakeTableRequest computed = request(480, 800, 20);
  computed.mainPoints = {499.999989306826, 559.999989306826, 634.719686626162, 709.439383945498,
                         769.439383945498};
  const StakeTable merged = stakeTable(workedRoute(true), computed);
  EXPECT_EQ(merged.rows.size(), 17u + 3u);
  EXPECT_EQ(merged.rows[1].mainPoint, "ZH");
  EXPECT_EQ(merged.rows[1].chainage, 499.999989306826);
  EXPECT_FALSE(table.truncated);
}

TEST(StakeTable, BadRequestsGiveBoundedResults) {
  const RouteInputs route = workedRoute(true);
  EXPECT_EQ(stakeTable(route, request(480, 800, 0)).rows.size(), 5u); // main points only
  EXPECT_EQ(stakeTable(route, request(480, 800, -20)).rows.size(), 5u);
  EXPECT_EQ(stakeTable(route, request(800, 480, 20)).rows.size(), 20u); // swapped
  EXPECT_TRUE(stakeTable(route, request(NAN, 800, 20)).rows.empty());
  const StakeTable huge = stakeTable(route, request(0, 1e9, 0.001));
  EXPECT_TRUE(huge.truncated);
  EXPECT_LE(huge.rows.size(), kMaxStakeRows + 5);
  EXPECT_EQ(stakeTable(route, request(600, 600, 20)).rows.size(), 1u);
}

TEST(StakeTable, TextHasAHeaderAndOneLineAStake) {
  const std::string text = stakeTableText(stakeTable(workedRoute(true), request(480, 520, 20)));
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "桩号\t主点\tX\tY\t切线方位角\t左桩X\t左桩Y\t右桩X\t右桩Y\t放线方位角\t放线距离");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 3);
  EXPECT_NE(text.find("K0+500.000\tZH\t879.308010693259\t1930.31845754584\t30\t"),
            std::string::npos);
}

TEST(FieldCommands, PrintWithoutWritingABox) {
  Form form;
  play(form, "set Text6 40\nset Text9 300\nset Text10 60\nset Text11 139.3631\nset Text21 500\n"
             "set Text23 634.7198\nset Text25 769.4395\nset Text13 1000\nset Text14 2000\n"
             "set Text17 30\nset Text18 70");
  const std::string before = play(form, "dump\nstate");
  const auto stake = sideStake(*routeOfBoxes(form), 480, 10);
  const SetOut fromOrigin = setOutFrom(0, 0, stake->x, stake->y);
  EXPECT_EQ(play(form, "stake 480 10"),
            "X=" + formatNumber(stake->x) + " Y=" + formatNumber(stake->y) +
                " azimuth=" + formatNumber(fromOrigin.azimuthDms) +
                " distance=" + formatNumber(fromOrigin.distance) + "\n");
  const std::string located =
      play(form, "locate " + formatNumber(stake->x) + " " + formatNumber(stake->y));
  EXPECT_NEAR(parseNumber(located.substr(9)), 480, 1e-4) << located;
  EXPECT_NEAR(parseNumber(located.substr(located.find("offset=") + 7)), 10, 1e-4) << located;
  EXPECT_EQ(play(form, "table 500 500 10 0").substr(0, 3), "桩");
  EXPECT_EQ(play(form, "dump\nstate"), before);
}

} // namespace
} // namespace quenlor

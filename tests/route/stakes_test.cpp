// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/stakes.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace quenlor::route {
namespace {

// The worked route with a long break K2+300 = K2+280 (at measure 1300) and a
// short one K4+000 = K4+020, reached at 1300 + (4000 - 2280) = 3020.
class Stakes : public ::testing::Test {
protected:
  static const Route& route() {
    static const Route route = [] {
      RouteDefinition definition = test::threeJdRoute();
      definition.breaks = {{"DL1", 2300, 2280}, {"DL2", 4000, 4020}};
      return Route(definition);
    }();
    return route;
  }
};

struct Row {
  double measure, chainage;
  int occurrence;
  StakeKind kind;
  bool operator==(const Row&) const = default;
};

std::vector<Row> rowsOf(const StakeList& list) {
  std::vector<Row> rows;
  for (const StakePosition& s : list.stakes)
    rows.push_back({std::round(s.measure * 1e6) / 1e6, std::round(s.station.chainage * 1e6) / 1e6,
                    s.station.occurrence, s.kind});
  return rows;
}

// Across the long break both occurrences appear in route order; the stakes
// K2+300 (first) and K2+280 (second) give way to the break's two rows.
TEST_F(Stakes, AcrossALongBreakBothOccurrencesInRouteOrder) {
  const auto request = stakeRequestBetween(route(), 2250, 2330, 20);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->fromMeasure, 1250);
  EXPECT_EQ(request->toMeasure, 1350);
  const std::vector<Row> expected = {
      {1260, 2260, 0, StakeKind::Interval},    {1280, 2280, 0, StakeKind::Interval},
      {1300, 2300, 0, StakeKind::BreakBehind}, {1300, 2280, 1, StakeKind::BreakAhead},
      {1320, 2300, 1, StakeKind::Interval},    {1340, 2320, 0, StakeKind::Interval},
  };
  EXPECT_EQ(rowsOf(stakePositions(route(), *request)), expected);
}

TEST_F(Stakes, FromTheStartChainageOnward) {
  const StakeRequest request{3.7, 100, 25, StakeSpacing::FromStart};
  const std::vector<Row> expected = {
      {3.7, 1003.7, 0, StakeKind::Interval},
      {28.7, 1028.7, 0, StakeKind::Interval},
      {53.7, 1053.7, 0, StakeKind::Interval},
      {78.7, 1078.7, 0, StakeKind::Interval},
  };
  EXPECT_EQ(rowsOf(stakePositions(route(), request)), expected);
}

// Over the whole route: every main point once and in its place, nothing in
// the gap of the short break, whole multiples elsewhere.
TEST_F(Stakes, TheWholeRouteHasEveryMainPointAndNoStakeInAGap) {
  const StakeList list = stakePositions(route(), {-100, 1e9, 10});
  ASSERT_FALSE(list.truncated);
  std::map<std::pair<int, StakeKind>, double> mainPoints;
  double last = -1;
  for (const StakePosition& s : list.stakes) {
    EXPECT_GE(s.measure, last);
    last = s.measure;
    if (s.kind == StakeKind::Interval) {
      EXPECT_NEAR(std::remainder(s.station.chainage, 10), 0, 1e-9);
      EXPECT_FALSE(s.station.chainage > 4000 && s.station.chainage < 4020);
    } else if (s.index >= 0 && s.kind != StakeKind::BreakBehind &&
               s.kind != StakeKind::BreakAhead) {
      EXPECT_TRUE(mainPoints.emplace(std::pair(s.index, s.kind), s.measure).second);
    }
  }
  const auto at = [&](int jd, StakeKind kind) { return mainPoints.at({jd, kind}); };
  for (int jd = 0; jd < 3; ++jd) {
    const MainPoints m = route().jd(jd).mainPoints;
    const bool spiral = jd < 2;
    EXPECT_EQ(at(jd, spiral ? StakeKind::ZH : StakeKind::ZY), m.zh);
    EXPECT_EQ(at(jd, StakeKind::QZ), m.qz);
    EXPECT_EQ(at(jd, spiral ? StakeKind::HZ : StakeKind::YZ), m.hz);
    if (spiral) {
      EXPECT_EQ(at(jd, StakeKind::HY), m.hy);
      EXPECT_EQ(at(jd, StakeKind::YH), m.yh);
    }
  }
  EXPECT_EQ(mainPoints.size(), 13u);
  EXPECT_EQ(list.stakes.front().kind, StakeKind::Start);
  EXPECT_EQ(list.stakes.back().kind, StakeKind::End);
}

// The table the route gives as a centre line is the list, cut at
// kMaxStakeRows.
TEST_F(Stakes, TheCentreLinesTableIsTheListCut) {
  const StakeRequest request{0, route().length(), route().length() / 150000};
  const StakeList list = stakePositions(route(), request);
  const auto table = route().stakes(request);
  ASSERT_GT(list.stakes.size(), kMaxStakeRows);
  EXPECT_EQ(table->size(), kMaxStakeRows);
  EXPECT_TRUE(table->truncated());
  for (const std::size_t i : {std::size_t(0), std::size_t(3), kMaxStakeRows - 1}) {
    EXPECT_EQ(table->at(i).measure, list.stakes[i].measure);
    EXPECT_EQ(table->at(i).kind, list.stakes[i].kind);
  }
  EXPECT_FALSE(route().stakes({1800, 2000, 20})->truncated());
}

std::vector<StakeKind> kindsNear(const StakeList& list, double measure) {
  std::vector<StakeKind> kinds;
  for (const StakePosition& s : list.stakes)
    if (std::fabs(s.measure - measure) < 1e-3)
      kinds.push_back(s.kind);
  return kinds;
}

// Fault: a chain break on a main point listed the main point before the
// break's rows, and where one curve's end touches the next curve's start
// (overlapping by less than the micrometre the route allows) the next ZH
// came first. At one place: the break's rows, then the main points by JD.
TEST(StakeOrder, AtOnePlaceBreaksFirstThenTheCurveThatEnds) {
  const Route plain(test::threeJdRoute());
  RouteDefinition onZh = test::threeJdRoute();
  const double zh = plain.jd(0).mainPoints.zh;
  const double zhChainage = plain.stationAt(zh).chainage;
  onZh.breaks = {{"DL1", zhChainage, zhChainage - 20}};
  EXPECT_EQ(kindsNear(stakePositions(Route(onZh), {zh - 10, zh + 10, 20}), zh),
            (std::vector<StakeKind>{StakeKind::BreakBehind, StakeKind::BreakAhead, StakeKind::ZH}));

  // JD2, JD3 and EP moved back along the leg from JD1 (75 degrees) until
  // the two curves overlap by half a micrometre: the deflections stay.
  RouteDefinition touching = test::threeJdRoute();
  const double leg = 1500, overlap = 5e-7;
  const double back = leg - (plain.jd(0).curve.tangent2 + plain.jd(1).curve.tangent1) + overlap;
  for (double* x : {&touching.jds[1].x, &touching.jds[2].x, &touching.end.x})
    *x -= back * std::cos(test::radians(75));
  for (double* y : {&touching.jds[1].y, &touching.jds[2].y, &touching.end.y})
    *y -= back * std::sin(test::radians(75));
  const Route route(touching);
  ASSERT_TRUE(route.checks().empty()) << route.checks().front().message;
  const double hz = route.jd(0).mainPoints.hz;
  EXPECT_EQ(kindsNear(stakePositions(route, {hz - 10, hz + 10, 0}), hz),
            (std::vector<StakeKind>{StakeKind::HZ, StakeKind::ZH}));
}

// Fault: a table whose end lay past EP had no rows, and one ending at EP's
// chainage as the table shows it (K5+934.348 for 5934.3477975) left EP out.
// The worked route runs from K1+000 to K5+934.347797521.
TEST_F(Stakes, AnEndBeyondTheRouteStopsAtItsEnd) {
  const struct {
    double chainage;
    double measure;
    std::optional<StakeKind> cutAt;
  } ends[] = {
      {6000, route().length(), StakeKind::End},
      {5934.348, route().length(), std::nullopt}, // EP as the table shows it
      {5934.347, route().length() - 0.000797521, std::nullopt},
      {900, 0, StakeKind::Start},
      {1000.0004, 0, std::nullopt}, // BP's K1+000.000
  };
  for (const auto& e : ends) {
    const auto end = tableEnd(route(), {e.chainage, 0});
    ASSERT_TRUE(end) << e.chainage;
    EXPECT_NEAR(end->measure, e.measure, 1e-6) << e.chainage;
    EXPECT_EQ(end->cutAt, e.cutAt) << e.chainage;
  }
  const auto request = stakeRequestBetween(route(), 5900, 6000, 20);
  ASSERT_TRUE(request);
  const StakeList list = stakePositions(route(), *request);
  EXPECT_EQ(list.stakes.back().kind, StakeKind::End);
  EXPECT_EQ(list.stakes.size(), 3u); // K5+900, K5+920, EP
  EXPECT_FALSE(tableEnd(route(), {4010, 0}));
}

TEST_F(Stakes, ARangeEndThatNamesNoPointIsAnError) {
  EXPECT_EQ(stakeRequestBetween(route(), 4010, 4500, 20).error(),
            "K4+010.000 names no point: the short chain break K4+000.000 = K4+020.000 skips it");
  EXPECT_TRUE(stakePositions(route(), {0, 1e9, 1e-4}).truncated);
}

} // namespace
} // namespace quenlor::route

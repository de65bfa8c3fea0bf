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
// kMaxStakeRows; a row's side stakes stand at right angles to the tangent,
// right of it positive.
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

  const auto centre = route().pointAt(list.stakes[3].measure);
  ASSERT_TRUE(centre);
  const PlanePoint left = sideStake(*centre, -7.5), right = sideStake(*centre, 3);
  const double a = centre->azimuth;
  EXPECT_NEAR(left.x, centre->point.x + 7.5 * std::sin(a), 1e-9);
  EXPECT_NEAR(left.y, centre->point.y - 7.5 * std::cos(a), 1e-9);
  EXPECT_NEAR(right.x, centre->point.x - 3 * std::sin(a), 1e-9);
  EXPECT_NEAR(right.y, centre->point.y + 3 * std::cos(a), 1e-9);
}

TEST_F(Stakes, ARangeEndThatNamesNoPointIsAnError) {
  EXPECT_EQ(stakeRequestBetween(route(), 4010, 4500, 20).error(),
            "K4+010.000 names no point: the short chain break K4+000.000 = K4+020.000 skips it");
  EXPECT_TRUE(stakePositions(route(), {0, 1e9, 1e-4}).truncated);
}

} // namespace
} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stake_table.h"
#include "chainage/stakes.h"
#include "form/main_points.h"
#include "numeric/chainage_text.h"
#include "session/curve_of_boxes.h"
#include "support/session.h"

#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

using test::play;

BoxCurve workedRoute(bool right = true) { return *curveOfBoxes(test::workedForm(right)); }

// The worked curve's transitions made 60 and 100 m: the tools follow the true
// curve, not the symmetric one of the chainage box.
Form unequalForm() {
  Form form;
  play(form, "set Text8 1000\nset Text6 40\nset Text9 300\nset Text10 60\nset Text42 100\n"
             "set Text13 3456789\nset Text14 512345\nset Text17 25.1739\nset Text18 65.1739");
  return form;
}

TEST(RouteOfBoxes, NothingWhenABoxIsBeyondTheDoubleRange) {
  for (const char* box : {"Text17", "Text18", "Text6", "Text9", "Text25"}) {
    Form form = test::workedForm(true, std::string("set ") + box + " 1e999");
    EXPECT_FALSE(curveOfBoxes(form)) << box;
  }
  // Finite, but its radians overflow.
  EXPECT_FALSE(curveOfBoxes(test::workedForm(true, "set Text17 1e308")));
}

// Round trips over the whole curve, its main points and both straights, both
// sides, equal and unequal transitions: the inverse of a stake gives back its
// chainage and offset to 0.1 mm.
TEST(Locate, InvertsSideStakesEverywhere) {
  const Form forms[] = {test::workedForm(true), test::workedForm(false), unequalForm()};
  for (const Form& form : forms) {
    const BoxCurve route = *curveOfBoxes(form);
    std::vector<double> chainages;
    for (const MainPoint& m : kMainPoints)
      chainages.push_back(parseNumber(form.text(m.box)));
    const double zh = chainages.front(), hz = chainages.back();
    for (double k = zh - 120; k <= hz + 110; k += 0.73)
      chainages.push_back(k);
    double worst = 0;
    for (const double k : chainages) {
      for (double offset :
           {-30.0, -20.0, -10.0, -7.5, -1.0, -0.01, 0.0, 0.01, 0.1, 1.0, 3.0, 10.0, 20.0, 30.0}) {
        const auto stake = sideStake(route, k, offset);
        ASSERT_TRUE(stake);
        const auto found = locate(route, stake->x, stake->y);
        ASSERT_TRUE(found) << k << " " << offset;
        worst =
            std::max({worst, std::fabs(found->chainage - k), std::fabs(found->offset - offset)});
      }
    }
    EXPECT_LT(worst, 1e-4) << form.text(Box::Text6) << " " << form.text(Box::Text42);
    std::printf("stake->locate, Ls %s/%s: worst %.3g m\n", form.text(Box::Text10).c_str(),
                form.text(Box::Text42).c_str(), worst);
  }
}

// Where the stretches of the unequal curve meet, the direction is continuous.
// The position is too, but for what the curve formulas themselves leave:
// about 0.014 mm at QZ from the eight-digit pi, and at HY and YH the
// difference between the transition's series and the arc's one-term shift,
// 0.18 mm for Ls 60 and 1.4 mm for ls2 100 (R 300).
TEST(CentreAt, TheStretchesOfUnequalTransitionsMeet) {
  const Form form = unequalForm();
  const BoxCurve route = *curveOfBoxes(form);
  ASSERT_TRUE(route.transitionLength2 && *route.transitionLength2 == 100);
  const struct {
    Box box;
    double gap;
  } meets[] = {{Box::Text22, 2e-4}, {Box::Text23, 2e-5}, {Box::Text24, 1.5e-3}};
  for (const auto& m : meets) {
    const double k = parseNumber(form.text(m.box));
    const auto before = centreAt(route, std::nextafter(k, 0.0));
    const auto after = centreAt(route, std::nextafter(k, 2000.0));
    EXPECT_LT(std::hypot(after->at.x - before->at.x, after->at.y - before->at.y), m.gap);
    EXPECT_LT(std::fabs(after->azimuth - before->azimuth), 1e-12);
  }
}

// Far from the line a point has several perpendicular feet: a kilometre
// inside the curve from K0+600 lies 1000 m from the arc, 981.5 m from the
// incoming straight and 926.2 m from the outgoing one. The nearest foot
// wins, as a dense walk along the line finds it.
TEST(Locate, TakesTheNearestOfSeveralFeet) {
  const BoxCurve route = workedRoute();
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

StakeTableRequest request(double start, double end, double interval,
                          StakeSpacing spacing = StakeSpacing::FromStart) {
  StakeTableRequest r;
  r.start = start;
  r.end = end;
  r.interval = interval;
  r.offset = 5;
  r.spacing = spacing;
  r.station = PlanePoint{900, 1900};
  r.mainPoints = {500, 560, 634.7198, 709.4395, 769.4395};
  return r;
}

std::vector<std::string> labels(const StakeTable& table) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < table.size(); ++i)
    all.push_back(chainageText(table.at(i).chainage) + std::string(table.at(i).mainPoint));
  return all;
}

TEST(StakeTable, HoldsTheStakesAndTheMainPointsInOrder) {
  const StakeTable table(request(480, 800, 20));
  // 480, 500 (ZH), ..., 800: 17 stakes, plus QZ, YH and HZ between them.
  ASSERT_EQ(table.size(), 17u + 3u);
  const std::vector<std::string> all = labels(table);
  EXPECT_EQ(all[1], "K0+500.000ZH");
  EXPECT_EQ(all[4], "K0+560.000HY");
  EXPECT_EQ(all[8], "K0+634.720QZ");
  for (std::size_t i = 1; i < table.size(); ++i)
    EXPECT_LT(table.at(i - 1).chainage, table.at(i).chainage);
  const StakeRow row = stakeRow(workedRoute(), table, 8);
  ASSERT_TRUE(row.centre && row.left && row.right && row.setOut && row.leftSetOut);
  EXPECT_NEAR(std::hypot(row.left->x - row.right->x, row.left->y - row.right->y), 10, 1e-9);

  // The main points as the curve elements compute them, a hair off the
  // stakes: the stake at 500 is ZH itself, not a second row.
  StakeTableRequest computed = request(480, 800, 20);
  computed.mainPoints = {499.999989306826, 559.999989306826, 634.719686626162, 709.439383945498,
                         769.439383945498};
  const StakeTable merged(computed);
  EXPECT_EQ(merged.size(), 17u + 3u);
  EXPECT_EQ(merged.at(1).mainPoint, "ZH");
  EXPECT_EQ(merged.at(1).chainage, 499.999989306826);
}

TEST(StakeTable, WholeStationsRunFromStartToEndAtMultiplesOfTheInterval) {
  EXPECT_EQ(labels(StakeTable(request(485, 611, 20, StakeSpacing::WholeStations))),
            (std::vector<std::string>{"K0+485.000", "K0+500.000ZH", "K0+520.000", "K0+540.000",
                                      "K0+560.000HY", "K0+580.000", "K0+600.000", "K0+611.000"}));
}

TEST(StakeTable, BadRequestsGiveBoundedResults) {
  const struct {
    StakeTableRequest request;
    std::size_t rows;
  } cases[] = {{request(480, 800, 0), 5},   // the main points alone
               {request(480, 800, -20), 5}, // likewise
               {request(800, 480, 20), 20}, // swapped
               {request(NAN, 800, 20), 0},
               {request(600, 600, 20), 1}};
  for (const auto& c : cases)
    EXPECT_EQ(StakeTable(c.request).size(), c.rows);
}

// A table at its row limit lists only the main points inside the rows it
// shows, and says up to which chainage it went.
TEST(StakeTable, ACutOffTableStaysInOrder) {
  const StakeTable table(request(0, 1e12, 0.001));
  ASSERT_TRUE(table.truncated());
  ASSERT_EQ(table.size(), kMaxStakeRows);
  double previous = -1;
  for (std::size_t i = 0; i < table.size(); i += 97) {
    EXPECT_GT(table.at(i).chainage, previous) << i;
    previous = table.at(i).chainage;
  }
  EXPECT_EQ(chainageText(table.at(table.size() - 1).chainage), "K0+099.999");
}

TEST(StakeTable, NoSettingOutWithoutAStation) {
  StakeTableRequest r = request(480, 520, 20);
  r.station.reset();
  const StakeRow row = stakeRow(workedRoute(), StakeTable(r), 0);
  EXPECT_TRUE(row.centre && row.left && row.right);
  EXPECT_FALSE(row.setOut || row.leftSetOut || row.rightSetOut);
}

} // namespace
} // namespace quenlor

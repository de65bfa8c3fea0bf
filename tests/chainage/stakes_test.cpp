// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/curve_line.h"
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

BoxCurve workedCurve(bool right = true) { return *curveOfBoxes(test::workedForm(right)); }

// The stake at an offset from the curve at a chainage.
std::optional<PlanePoint> stakeAt(const BoxCurve& curve, double chainage, double offset) {
  const auto centre = centreAt(curve, chainage);
  return centre ? std::optional(sideStake(*centre, offset)) : std::nullopt;
}

// The worked curve's transitions made 60 and 100 m: the tools follow the true
// curve, not the symmetric one of the chainage box.
Form unequalForm() {
  Form form;
  play(form, "set Text8 1000\nset Text6 40\nset Text9 300\nset Text10 60\nset Text42 100\n"
             "set Text13 3456789\nset Text14 512345\nset Text17 25.1739\nset Text18 65.1739");
  return form;
}

TEST(CurveOfBoxes, NothingWhenABoxIsBeyondTheDoubleRange) {
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
    const BoxCurve curve = *curveOfBoxes(form);
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
        const auto stake = stakeAt(curve, k, offset);
        ASSERT_TRUE(stake);
        const auto found = locate(curve, stake->x, stake->y);
        ASSERT_TRUE(found) << k << " " << offset;
        worst = std::max(
            {worst, std::fabs(found->station.chainage - k), std::fabs(found->offset - offset)});
        EXPECT_EQ(found->foot.measure, found->station.chainage);
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
  const BoxCurve curve = *curveOfBoxes(form);
  ASSERT_TRUE(curve.transitionLength2 && *curve.transitionLength2 == 100);
  const struct {
    Box box;
    double gap;
  } meets[] = {{Box::Text22, 2e-4}, {Box::Text23, 2e-5}, {Box::Text24, 1.5e-3}};
  for (const auto& m : meets) {
    const double k = parseNumber(form.text(m.box));
    const auto before = centreAt(curve, std::nextafter(k, 0.0));
    const auto after = centreAt(curve, std::nextafter(k, 2000.0));
    EXPECT_LT(std::hypot(after->point.x - before->point.x, after->point.y - before->point.y),
              m.gap);
    EXPECT_LT(std::fabs(after->azimuth - before->azimuth), 1e-12);
  }
}

// Far from the line a point has several perpendicular feet: a kilometre
// inside the curve from K0+600 lies 1000 m from the arc, 981.5 m from the
// incoming straight and 926.2 m from the outgoing one. The nearest foot
// wins, as a dense walk along the line finds it.
TEST(Locate, TakesTheNearestOfSeveralFeet) {
  const BoxCurve curve = workedCurve();
  for (const double offset : {1000.0, 600.0, -400.0}) {
    const auto point = stakeAt(curve, 600, offset);
    const auto found = locate(curve, point->x, point->y);
    ASSERT_TRUE(found) << offset;
    double nearest = INFINITY;
    for (double k = -3000; k <= 4000; k += 0.05) {
      const auto c = centreAt(curve, k);
      nearest = std::min(nearest, std::hypot(c->point.x - point->x, c->point.y - point->y));
    }
    EXPECT_NEAR(std::fabs(found->offset), nearest, 1e-3) << offset;
    const PlanePoint back = sideStake(found->foot, found->offset);
    EXPECT_LT(std::hypot(back.x - point->x, back.y - point->y), 1e-4) << offset;
  }
  // Beyond the ends, on the straights extended.
  const auto far = stakeAt(curve, -5000, 8);
  const auto found = locate(curve, far->x, far->y);
  ASSERT_TRUE(found);
  EXPECT_NEAR(found->station.chainage, -5000, 1e-4);
  EXPECT_NEAR(found->offset, 8, 1e-4);
  EXPECT_FALSE(locate(curve, NAN, 0));
}

StakeTableRequest request(double start, double end, double interval,
                          StakeSpacing spacing = StakeSpacing::FromStart) {
  return {start, end, interval, spacing, {500, 560, 634.7198, 709.4395, 769.4395}};
}

std::vector<std::string> labels(const StakeTable& table) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < table.size(); ++i)
    all.push_back(chainageText(table.at(i).chainage) + stakeKindName(table.at(i).kind));
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

  // The main points as the curve elements compute them, a hair off the
  // stakes: the stake at 500 is ZH itself, not a second row.
  StakeTableRequest computed = request(480, 800, 20);
  computed.mainPoints = {499.999989306826, 559.999989306826, 634.719686626162, 709.439383945498,
                         769.439383945498};
  const StakeTable merged(computed);
  EXPECT_EQ(merged.size(), 17u + 3u);
  EXPECT_EQ(merged.at(1).kind, StakeKind::ZH);
  EXPECT_EQ(merged.at(1).chainage, 499.999989306826);
}

TEST(StakeTable, WholeStationsRunFromStartToEndAtMultiplesOfTheInterval) {
  EXPECT_EQ(labels(StakeTable(request(485, 611, 20, StakeSpacing::WholeStations))),
            (std::vector<std::string>{"K0+485.000", "K0+500.000ZH", "K0+520.000", "K0+540.000",
                                      "K0+560.000HY", "K0+580.000", "K0+600.000", "K0+611.000"}));
}

// A curve without a transition at one end has one stake there, named as a
// route names it: ZY where ZH and HY meet, YZ where YH and HZ do.
TEST(StakeTable, ACurveWithoutTransitionsStartsAtZyAndEndsAtYz) {
  const struct {
    std::array<double, 5> mainPoints;
    std::vector<std::string> labels;
  } cases[] = {
      {{866.025, 866.025, 996.925, 1127.825, 1127.825},
       {"K0+800.000", "K0+866.025ZY", "K0+900.000", "K0+996.925QZ", "K1+000.000", "K1+100.000",
        "K1+127.825YZ", "K1+200.000"}},
      {{900, 900, 1000, 1050, 1100},
       {"K0+800.000", "K0+900.000ZY", "K1+000.000QZ", "K1+050.000YH", "K1+100.000HZ",
        "K1+200.000"}},
  };
  for (const auto& c : cases) {
    StakeTableRequest r{800, 1200, 100, StakeSpacing::WholeStations, c.mainPoints};
    EXPECT_EQ(labels(StakeTable(r)), c.labels);
  }
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

// The curve as a centre line: its measure the chainage, its table the
// boxes' table, its main points where their boxes put them.
TEST(BoxCurveLine, AnswersWithTheCurvesOwnFormulas) {
  const BoxCurve curve = workedCurve();
  const BoxCurveLine line({curve, {500, 560, 634.7198, 709.4395, 769.4395}, std::nullopt});
  for (const double k : {-100.0, 500.0, 634.7198, 1000.0}) {
    EXPECT_EQ(line.stationAt(k), (Station{k, 0}));
    EXPECT_EQ(line.measureOf({k, 1}), k); // no chain breaks: the occurrence is not looked at
    EXPECT_EQ(line.pointAt(k)->point, centreAt(curve, k)->point);
  }
  EXPECT_EQ(line.mainPoints().size(), 5u);
  EXPECT_EQ(line.pointName(line.mainPoints()[2].kind, -1), "QZ");
  const auto table = line.stakes({480, 800, 20, StakeSpacing::FromStart});
  const StakeTable same(request(480, 800, 20));
  ASSERT_EQ(table->size(), same.size());
  EXPECT_EQ(table->at(1).kind, StakeKind::ZH);
  EXPECT_EQ(table->at(1).station, (Station{500, 0}));
  // Five pieces: the straights as far as the curve is long, the transitions
  // and the arc, each beginning where the one before ends.
  std::vector<Piece> pieces;
  line.piecesWithin({}, {}, [&](const Piece& p) { pieces.push_back(p); });
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(pieces[0].from, 500 - (769.4395 - 500));
  EXPECT_EQ(pieces[2].kind, PieceKind::Arc);
  for (std::size_t i = 1; i < pieces.size(); ++i)
    EXPECT_EQ(pieces[i].from, pieces[i - 1].to);
}

} // namespace
} // namespace quenlor

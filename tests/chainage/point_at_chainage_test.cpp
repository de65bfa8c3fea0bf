// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle.h"
#include "support/session.h"

#include <cmath>

namespace quenlor {
namespace {

using test::expectNear;
using test::number;
using test::play;

// R = 300, Ls = 60, T = 139.3631, JD (1000, 2000), ZH 500, QZ 634.7198,
// HZ 769.4395, incoming azimuth 30, deflection +-40, outgoing 70 or 350.
std::string workedCurve(bool right) {
  return std::string("set Text6 ") + (right ? "40" : "-40") +
         "\nset Text9 300\nset Text10 60\nset Text11 139.3631\nset Text21 500\n"
         "set Text23 634.7198\nset Text25 769.4395\nset Text13 1000\nset Text14 2000\n"
         "set Text17 30\nset Text18 " +
         (right ? "70" : "350") + "\n";
}

struct PointCase {
  const char* chainage;
  double x, y;
  double localX, localY; // NAN: the box stays empty
};

void expectPoint(const Form& form, const PointCase& c) {
  expectNear(form, Box::Text27, c.x);
  expectNear(form, Box::Text28, c.y);
  if (std::isnan(c.localX)) {
    EXPECT_EQ(form.text(Box::Text44), "");
    EXPECT_EQ(form.text(Box::Text45), "");
  } else {
    expectNear(form, Box::Text44, c.localX);
    expectNear(form, Box::Text45, c.localY);
  }
}

class RightHandCurve : public ::testing::TestWithParam<PointCase> {};

TEST_P(RightHandCurve, PlacesThePointOfEachStretch) {
  Form form;
  play(form, workedCurve(true));
  play(form, std::string("type Text26 ") + GetParam().chainage);
  expectPoint(form, GetParam());
}

INSTANTIATE_TEST_SUITE_P(WorkedExample, RightHandCurve,
                         ::testing::Values(PointCase{"480", 861.9875, 1920.3185, NAN, NAN},
                                           PointCase{"550", 922.0099, 1956.3084, 49.9759, 1.1570},
                                           PointCase{"600", 961.0385, 1987.4702, 99.3565, 8.6297},
                                           PointCase{"700", 1021.0551, 2066.8792, 69.3160, 3.0887},
                                           PointCase{"750", 1040.9524, 2112.7148, 19.4393, 0.0680},
                                           PointCase{"800", 1058.1173, 2159.6760, NAN, NAN},
                                           // The main points themselves, with zero offsets.
                                           PointCase{"500", 879.3080, 1930.3185, 0, 0},
                                           PointCase{"769.4395", 1047.6650, 2130.9585, 0, 0},
                                           // At HY the transition formulas still hold.
                                           PointCase{"560", 930.2183, 1962.0193, 59.9400, 1.9986}));

class LeftHandCurve : public ::testing::TestWithParam<PointCase> {};

TEST_P(LeftHandCurve, MirrorsTheOffsetsAcrossTheTangents) {
  Form form;
  play(form, workedCurve(false));
  play(form, std::string("set Text26 ") + GetParam().chainage);
  expectPoint(form, GetParam());
}

INSTANTIATE_TEST_SUITE_P(WorkedExample, LeftHandCurve,
                         ::testing::Values(PointCase{"550", 923.1669, 1954.3044, 49.9759, 1.1570},
                                           PointCase{"800", 1167.3421, 1970.4931, NAN, NAN},
                                           PointCase{"769.4395", 1137.2459, 1975.7998, 0, 0}));

TEST(PointAtChainage, MainPointsBelongToTheStretchBeside) {
  Form form;
  play(form, workedCurve(true));
  const auto offsets = [&](const char* k) {
    play(form, std::string("set Text26 ") + k);
    return std::make_pair(form.text(Box::Text44), form.text(Box::Text45));
  };
  // HY and YH lie at l = Ls from ZH and HZ: both on the transition.
  EXPECT_EQ(offsets("709.4395"), offsets("560"));
  // QZ belongs to the first half: it joins the points just before it.
  const auto nearQz = offsets("634.719799");
  const auto atQz = offsets("634.7198");
  EXPECT_NEAR(parseNumber(atQz.first), parseNumber(nearQz.first), 1e-5);
  EXPECT_NEAR(parseNumber(atQz.second), parseNumber(nearQz.second), 1e-5);
}

TEST(PointAtChainage, StraightsRunAlongTheTangentsFromTheMainPoints) {
  Form form;
  play(form, workedCurve(true) + "set Text26 400");
  const double back = 100; // ZH - K
  const double a = 30 * 3.1415926 / 180;
  EXPECT_NEAR(number(form, Box::Text27), 879.3080 - back * std::cos(a), 1e-4);
  EXPECT_NEAR(number(form, Box::Text28), 1930.3185 - back * std::sin(a), 1e-4);
  play(form, "set Text26 869.4395");
  const double b = 70 * 3.1415926 / 180;
  EXPECT_NEAR(number(form, Box::Text27), 1047.6650 + 100 * std::cos(b), 1e-4);
  EXPECT_NEAR(number(form, Box::Text28), 2130.9585 + 100 * std::sin(b), 1e-4);
}

TEST(PointAtChainage, OffsetsGrowFromBothEndsTowardsQz) {
  Form form;
  play(form, workedCurve(true));
  double previous = -1;
  for (const char* k : {"510", "540", "580", "620", "634.7198"}) {
    play(form, std::string("set Text26 ") + k);
    EXPECT_GT(number(form, Box::Text44), previous) << k;
    previous = number(form, Box::Text44);
  }
  previous = -1;
  for (const char* k : {"760", "730", "690", "650", "634.72"}) {
    play(form, std::string("set Text26 ") + k);
    EXPECT_GT(number(form, Box::Text44), previous) << k;
    previous = number(form, Box::Text44);
  }
}

TEST(PointAtChainage, NoTransitionGivesAPlainCircle) {
  Form form;
  play(form, workedCurve(true) + "set Text10 0\nset Text11 139.3631\nset Text21 500\n"
                                 "set Text23 634.7198\nset Text25 769.4395\nset Text26 550");
  EXPECT_NEAR(number(form, Box::Text44), 300 * std::sin(50.0 / 300), 1e-9);
  EXPECT_NEAR(number(form, Box::Text45), 300 - 300 * std::cos(50.0 / 300), 1e-9);
}

TEST(PointAtChainage, SetsOutThePointAsItsBoxesShowIt) {
  Form form;
  play(form, workedCurve(true) +
                 "set Text35 900\nset Text36 1900\nset Text37 100\nset Text38 1.5\nset Text41 "
                 "1.6\nset Text31 -0.4\nset Text26 600");
  const double dx = number(form, Box::Text27) - 900;
  const double dy = number(form, Box::Text28) - 1900;
  EXPECT_EQ(form.text(Box::Text30), formatNumber(std::sqrt(dx * dx + dy * dy)));
  const double oneSecond = 3.1415926 / 180 / 3600;
  EXPECT_NEAR(radiansOf(number(form, Box::Text29)), std::atan2(dy, dx), oneSecond);
  EXPECT_EQ(form.text(Box::Text32), "99.5");
  EXPECT_EQ(form.state().targetX, number(form, Box::Text27));
}

TEST(PointAtChainage, RecomputesOnlyWhenTheChainageIsEdited) {
  Form form;
  play(form, workedCurve(true) + "set Text26 600");
  const std::string point = play(form, "print Text27\nprint Text28\nprint Text29");
  play(form, "set Text9 250\nset Text17 31\nset Text35 5");
  EXPECT_EQ(play(form, "print Text27\nprint Text28\nprint Text29"), point);
}

} // namespace
} // namespace quenlor

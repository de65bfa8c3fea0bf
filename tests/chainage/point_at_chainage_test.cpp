// SPDX-License-Identifier: GPL-3.0-or-later
// The point at a chainage of the worked curve: its boxes, its local
// coordinates, and a side stake at right angles to its tangent.
#include "chainage/local_coordinates.h"
#include "chainage/stakes.h"
#include "geometry/constants.h"
#include "session/curve_of_boxes.h"
#include "support/session.h"

#include <cmath>

namespace quenlor {
namespace {

using test::expectNear;
using test::number;
using test::play;

struct PointCase {
  bool right;
  const char* chainage;
  double x, y;
  double localX, localY; // NAN: the box stays empty
  double offset;         // of a side stake
  double tangentDegrees; // worked from the transition and arc model
};

// Tangent azimuths: 30 deg plus or minus l^2 / (2 R Ls) on a transition,
// (l - Ls) / R + Ls / (2R) on the arc, 70 or 350 deg beyond HZ.
constexpr PointCase kPoints[] = {
    {true, "480", 861.9875, 1920.3185, NAN, NAN, 10, 30},
    {true, "550", 922.0099, 1956.3084, 49.9759, 1.1570, -7.5, 30 + 3.978874},
    {true, "600", 961.0385, 1987.4702, 99.3565, 8.6297, 5, 30 + 13.369015},
    {true, "700", 1021.0551, 2066.8792, 69.3160, 3.0887, -3, 70 - 7.532390},
    {true, "750", 1040.9524, 2112.7148, 19.4393, 0.0680, 12, 70 - 0.601437},
    {true, "800", 1058.1173, 2159.6760, NAN, NAN, 4, 70},
    // The main points themselves, with zero local offsets; at HY the
    // transition formulas still hold.
    {true, "500", 879.3080, 1930.3185, 0, 0, 6, 30},
    {true, "769.4395", 1047.6650, 2130.9585, 0, 0, -6, 70},
    {true, "560", 930.2183, 1962.0193, 59.9400, 1.9986, 8, 30 + 5.729578},
    // Turning left keeps the local offsets and mirrors the points.
    {false, "550", 923.1669, 1954.3044, 49.9759, 1.1570, 6, 30 - 3.978874},
    {false, "800", 1167.3421, 1970.4931, NAN, NAN, -2, -10},
    {false, "769.4395", 1137.2459, 1975.7998, 0, 0, 3, -10},
};

TEST(PointAtChainage, PlacesThePointOfEachStretchAndItsSideStakes) {
  for (const PointCase& c : kPoints) {
    SCOPED_TRACE(std::string(c.chainage) + (c.right ? " right" : " left"));
    Form form = test::workedForm(c.right);
    play(form, std::string("type Text26 ") + c.chainage);
    expectNear(form, Box::Text27, c.x);
    expectNear(form, Box::Text28, c.y);
    if (std::isnan(c.localX)) {
      EXPECT_EQ(form.text(Box::Text44) + form.text(Box::Text45), "");
    } else {
      expectNear(form, Box::Text44, c.localX);
      expectNear(form, Box::Text45, c.localY);
    }
    const auto centre = centreAt(*curveOfBoxes(form), parseNumber(c.chainage));
    ASSERT_TRUE(centre);
    const PlanePoint stake = sideStake(*centre, c.offset);
    const double a = c.tangentDegrees * kPi / 180;
    EXPECT_NEAR(stake.x, c.x - c.offset * std::sin(a), 5e-5);
    EXPECT_NEAR(stake.y, c.y + c.offset * std::cos(a), 5e-5);
  }
}

TEST(PointAtChainage, MainPointsBelongToTheStretchBeside) {
  Form form = test::workedForm();
  const auto offsets = [&](const char* k) {
    play(form, std::string("set Text26 ") + k);
    return std::make_pair(number(form, Box::Text44), number(form, Box::Text45));
  };
  // HY and YH lie at l = Ls from ZH and HZ: both on the transition.
  EXPECT_EQ(offsets("709.4395"), offsets("560"));
  // QZ belongs to the first half: it joins the points just before it.
  const auto nearQz = offsets("634.719799");
  const auto atQz = offsets("634.7198");
  EXPECT_NEAR(atQz.first, nearQz.first, 1e-5);
  EXPECT_NEAR(atQz.second, nearQz.second, 1e-5);
}

TEST(PointAtChainage, NoTransitionGivesAPlainCircle) {
  // Editing Ls recomputes the curve elements: type the worked ones back.
  Form form = test::workedForm(true, "set Text10 0\nset Text11 139.3631\nset Text21 500\n"
                                     "set Text23 634.7198\nset Text25 769.4395\nset Text26 550");
  expectNear(form, Box::Text44, 49.7688, 1e-4); // 300 sin(50/300)
  expectNear(form, Box::Text45, 4.1570, 1e-4);  // 300 - 300 cos(50/300)
}

TEST(PointAtChainage, SetsOutThePointAsItsBoxesShowIt) {
  Form form = test::workedForm(true, "set Text35 900\nset Text36 1900\nset Text37 100\n"
                                     "set Text38 1.5\nset Text41 1.6\nset Text31 -0.4\n"
                                     "set Text26 600");
  // From (900, 1900) to the point (961.0385, 1987.4702): 106.6618 at
  // 55 deg 05 min 30.7 s.
  expectNear(form, Box::Text30, 106.6618, 1e-4);
  EXPECT_EQ(form.text(Box::Text29), "55.053");
  EXPECT_EQ(form.text(Box::Text32), "99.5");
  // The station sights the point as read back from its boxes.
  EXPECT_EQ(form.state().targetX, number(form, Box::Text27));
}

TEST(PointAtChainage, RecomputesOnlyWhenTheChainageIsEdited) {
  Form form = test::workedForm(true, "set Text26 600");
  const std::string point = play(form, "print Text27\nprint Text28\nprint Text29");
  play(form, "set Text9 250\nset Text17 31\nset Text35 5");
  EXPECT_EQ(play(form, "print Text27\nprint Text28\nprint Text29"), point);
}

// The transition's and the arc's series on their own, where the two families
// do not meet exactly at the end of the transition.
TEST(LocalCoordinates, MatchTheSeries) {
  const struct {
    double l, r, ls;
    double transitionX, transitionY, arcX, arcY; // NAN where not checked
  } cases[] = {
      {0, 300, 60, 0, 0, NAN, NAN},
      {40, 300, 60, 39.992099488, 0.592508987, NAN, NAN},
      {60, 300, 60, 59.940027778, 1.998571883, 59.940024994, 1.998750417},
      {100, 300, 60, NAN, NAN, 99.356541690, 8.629681376},
      {50, 100, 50, 49.688404225, 4.148102467, 49.688312592, 4.150424496},
  };
  for (const auto& c : cases) {
    double x = 0, y = 0;
    if (!std::isnan(c.transitionX)) {
      lsxjs(x, c.l, c.r, c.ls);
      lsyjs(y, c.l, c.r, c.ls);
      EXPECT_NEAR(x, c.transitionX, 5e-10) << c.l;
      EXPECT_NEAR(y, c.transitionY, 5e-10) << c.l;
    }
    if (!std::isnan(c.arcX)) {
      quxjs(x, c.l, c.r, c.ls);
      quyjs(y, c.l, c.r, c.ls);
      EXPECT_NEAR(x, c.arcX, 5e-10) << c.l;
      EXPECT_NEAR(y, c.arcY, 5e-10) << c.l;
    }
  }
}

} // namespace
} // namespace quenlor

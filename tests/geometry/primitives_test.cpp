// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/azimuth.h"
#include "geometry/direction.h"
#include "geometry/quadratic.h"
#include "numeric/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quenlor {
namespace {

struct AzimuthCase {
  double xA, yA, xB, yB;
  const char* azimuth;
};

class Fwjjs : public ::testing::TestWithParam<AzimuthCase> {};

TEST_P(Fwjjs, GivesThePackedAzimuthOfTheLine) {
  const AzimuthCase& c = GetParam();
  double azimuth = -1;
  fwjjs(azimuth, c.xA, c.yA, c.xB, c.yB);
  EXPECT_EQ(formatNumber(azimuth), c.azimuth)
      << "(" << c.xA << ", " << c.yA << ") to (" << c.xB << ", " << c.yB << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Directions, Fwjjs,
    ::testing::Values(
        // Quadrants: the second and fourth lose a second to the short pi.
        AzimuthCase{0, 0, 100, 100, "45"}, AzimuthCase{0, 0, -100, 100, "134.5959"},
        AzimuthCase{0, 0, -100, -100, "225"}, AzimuthCase{0, 0, 100, -100, "314.5959"},
        // Axes, and the same point twice.
        AzimuthCase{0, 0, 0, 50, "90"}, AzimuthCase{0, 0, 0, -50, "269.5959"},
        AzimuthCase{0, 0, 50, 0, "0"}, AzimuthCase{0, 0, -50, 0, "180"},
        AzimuthCase{7, 7, 7, 7, "0"},
        // w + 2 pi rounds to exactly 2 pi and the strict test keeps it.
        AzimuthCase{0, 0, 1000, -1e-14, "360"},
        // The station and backsight examples.
        AzimuthCase{0, 0, 3, 4, "53.0748"}, AzimuthCase{0, 0, 5, 5, "45"},
        AzimuthCase{1000, 1000, 1100, 1100, "45"}, AzimuthCase{2000, 3000, 2500, 3800, "57.594"}));

struct RootCase {
  double a, b, c, x;
};

class Qg : public ::testing::TestWithParam<RootCase> {};

TEST_P(Qg, TakesTheRootWithThePositiveSquareRoot) {
  const RootCase& r = GetParam();
  double x = -99;
  qg(x, r.a, r.b, r.c);
  EXPECT_DOUBLE_EQ(x, r.x);
}

INSTANTIATE_TEST_SUITE_P(Equations, Qg,
                         ::testing::Values(RootCase{1, -3, 2, 2}, RootCase{1, -2, 1, 1},
                                           RootCase{2, 0, -8, 2}, RootCase{-1, 3, -2, 1},
                                           RootCase{1, 2, 5, 0}));

TEST(Xjjs, ChordAngleWithoutQuadrantCorrection) {
  double angle = 0;
  xjjs(angle, 59.940027778, 1.998571883);
  EXPECT_NEAR(angle, 0.033331, 5e-7);
  const double minusQuarterTurn = -0.78539816339744831;
  xjjs(angle, 10, -10);
  EXPECT_DOUBLE_EQ(angle, minusQuarterTurn);
  xjjs(angle, -10, 10); // no quadrant correction
  EXPECT_DOUBLE_EQ(angle, minusQuarterTurn);
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/local_coordinates.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quenlor {
namespace {

struct LocalCase {
  double l, r, ls;
  double transitionX, transitionY, arcX, arcY; // NAN where not checked
};

class LocalCoordinates : public ::testing::TestWithParam<LocalCase> {};

TEST_P(LocalCoordinates, MatchTheSeries) {
  const LocalCase& c = GetParam();
  double x = 0, y = 0;
  if (!std::isnan(c.transitionX)) {
    lsxjs(x, c.l, c.r, c.ls);
    lsyjs(y, c.l, c.r, c.ls);
    EXPECT_NEAR(x, c.transitionX, 5e-10);
    EXPECT_NEAR(y, c.transitionY, 5e-10);
  }
  if (!std::isnan(c.arcX)) {
    quxjs(x, c.l, c.r, c.ls);
    quyjs(y, c.l, c.r, c.ls);
    EXPECT_NEAR(x, c.arcX, 5e-10);
    EXPECT_NEAR(y, c.arcY, 5e-10);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LocalCoordinates,
    ::testing::Values(LocalCase{0, 300, 60, 0, 0, NAN, NAN},
                      LocalCase{40, 300, 60, 39.992099488, 0.592508987, NAN, NAN},
                      // The two families do not meet exactly at the end of the transition.
                      LocalCase{60, 300, 60, 59.940027778, 1.998571883, 59.940024994, 1.998750417},
                      LocalCase{100, 300, 60, NAN, NAN, 99.356541690, 8.629681376},
                      LocalCase{50, 100, 50, 49.688404225, 4.148102467, 49.688312592,
                                4.150424496}));

TEST(LocalCoordinates, ArcWithoutTransitionIsAPlainCircle) {
  double x = 0, y = 0;
  quxjs(x, 50, 200, 0);
  quyjs(y, 50, 200, 0);
  EXPECT_DOUBLE_EQ(x, 200 * std::sin(0.25));
  EXPECT_DOUBLE_EQ(y, 200 - 200 * std::cos(0.25));
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The clothoid's series against methods that share nothing with it: a
// numerical integration of the Fresnel integrands, tabulated Fresnel
// integrals, and the textbook expansions of the shift and extension.
#include "route/clothoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace quenlor::route {
namespace {

// Composite Simpson's rule in long double over 20,000 panels: for these
// integrands its error is below 1e-12 m.
LocalPoint integrated(double l, double rls) {
  constexpr int kPanels = 20000;
  const long double h = static_cast<long double>(l) / kPanels;
  long double x = 0, y = 0;
  for (int i = 0; i <= kPanels; ++i) {
    const long double t = h * i;
    const long double weight = (i == 0 || i == kPanels) ? 1 : (i % 2 ? 4 : 2);
    const long double angle = t * t / (2 * static_cast<long double>(rls));
    x += weight * std::cos(angle);
    y += weight * std::sin(angle);
  }
  return {static_cast<double>(x * h / 3), static_cast<double>(y * h / 3)};
}

struct Spiral {
  double radius, ls, l;
};

// From a gentle curve to a half turn (theta = l^2 / (2 R Ls) up to pi).
constexpr Spiral kSpirals[] = {
    {3000, 100, 100},
    {800, 120, 60},
    {800, 120, 120},
    {300, 60, 40},
    {150, 150, 150},
    {100, 200, 200},
    {50, 100 * 3.14159265358979, 100 * 3.14159265358979},
};

TEST(Clothoid, AgreesWithNumericalIntegrationWellWithinATenthOfAMillimetre) {
  double worst = 0;
  for (const Spiral& s : kSpirals) {
    const LocalPoint series = clothoidPoint(s.l, s.radius * s.ls);
    const LocalPoint numeric = integrated(s.l, s.radius * s.ls);
    worst = std::max({worst, std::fabs(series.x - numeric.x), std::fabs(series.y - numeric.y)});
  }
  std::printf("clothoid against numerical integration: worst %.3g m\n", worst);
  EXPECT_LT(worst, 1e-9);
}

// With A^2 = 1/pi the clothoid is the normalised Fresnel pair:
// x(z) = C(z), y(z) = S(z), C(z) = integral_0^z cos(pi t^2 / 2) dt.
TEST(Clothoid, GivesTheTabulatedFresnelIntegrals) {
  struct Fresnel {
    double z, c, s;
  };
  constexpr Fresnel kTable[] = {
      {0.5, 0.4923442258714464, 0.0647324328599993},
      {1.0, 0.7798934003768228, 0.4382591473903548},
      {1.4142135623730951, 0.5288915951112466, 0.7139722140219396}, // theta = pi
  };
  for (const Fresnel& f : kTable) {
    const LocalPoint p = clothoidPoint(f.z, 1 / std::numbers::pi);
    EXPECT_NEAR(p.x, f.c, 1e-15) << f.z;
    EXPECT_NEAR(p.y, f.s, 1e-15) << f.z;
  }
}

// p = Ls^2/24R - Ls^4/2688R^3 + Ls^6/506880R^5, q = Ls/2 - Ls^3/240R^2 +
// Ls^5/34560R^4, whose next terms are below 1e-9 m for these spirals.
TEST(Clothoid, ShiftAndExtensionMatchTheirExpansions) {
  for (const Spiral& s : {Spiral{800, 120, 0}, Spiral{600, 100, 0}, Spiral{3000, 250, 0}}) {
    const double r = s.radius, ls = s.ls;
    const TransitionShape shape = transitionShape(ls, r);
    EXPECT_NEAR(shape.shift,
                ls * ls / (24 * r) - std::pow(ls, 4) / (2688 * std::pow(r, 3)) +
                    std::pow(ls, 6) / (506880 * std::pow(r, 5)),
                1e-9);
    EXPECT_NEAR(shape.extension,
                ls / 2 - std::pow(ls, 3) / (240 * r * r) +
                    std::pow(ls, 5) / (34560 * std::pow(r, 4)),
                1e-9);
    EXPECT_EQ(shape.spiralAngle, ls / (2 * r));
  }
  const TransitionShape none = transitionShape(0, 500);
  EXPECT_EQ(none.shift, 0);
  EXPECT_EQ(none.extension, 0);
}

} // namespace
} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// The clothoid's series against methods that share nothing with it: a
// numerical integration of the Fresnel integrands and tabulated Fresnel
// integrals (its shift and extension are worked by hand in route_test.cpp).
// The clothoid of any start and end curvature against the same integration
// and an egg worked by hand.
#include "route/clothoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace quenlor::route {
namespace {

// Composite Simpson's rule in long double over 20,000 panels on the heading
// of k(t) = k0 + rate t: for these integrands its error is below 1e-12 m.
LocalPoint integrated(double l, double k0, double rate) {
  constexpr int kPanels = 20000;
  const long double h = static_cast<long double>(l) / kPanels;
  long double x = 0, y = 0;
  for (int i = 0; i <= kPanels; ++i) {
    const long double t = h * i;
    const long double weight = (i == 0 || i == kPanels) ? 1 : (i % 2 ? 4 : 2);
    const long double angle = t * (k0 + rate * t / 2);
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
    const LocalPoint numeric = integrated(s.l, 0, 1 / (s.radius * s.ls));
    worst = std::max({worst, std::fabs(series.x - numeric.x), std::fabs(series.y - numeric.y)});
  }
  std::printf("clothoid against numerical integration: worst %.3g m\n", worst);
  EXPECT_LT(worst, 1e-9);
}

// Start radius, end radius (0: none) and length of clothoids of every kind:
// eggs both ways, partial clothoids, the halves of an S-curve, one through
// zero curvature, long ones that turn many times (many pieces), a tiny one.
struct AnyClothoid {
  double startRadius, endRadius, length;
};
constexpr AnyClothoid kAnyClothoids[] = {
    {150, 60, 45},    {60, 150, 45},    {0, 60, 80},        {60, 0, 80},
    {3000, 800, 200}, {800, 3000, 200}, {30, 25, 300},      {25, 30, 300},
    {500, -500, 400}, {1e6, 2e5, 0.01}, {2000, 1999, 1000},
};

double curvature(double radius) { return radius == 0 ? 0 : 1 / radius; }

TEST(Spiral, AgreesWithNumericalIntegrationToATrillionthOfItsLength) {
  double worst = 0; // relative to the length
  for (const AnyClothoid& c : kAnyClothoids) {
    const double k0 = curvature(c.startRadius);
    const double rate = (curvature(c.endRadius) - k0) / c.length;
    const LocalPoint method = spiralPoint(c.length, k0, rate);
    const LocalPoint numeric = integrated(c.length, k0, rate);
    const double off = std::hypot(method.x - numeric.x, method.y - numeric.y) / c.length;
    EXPECT_LT(off, 1e-12) << c.startRadius << " to " << c.endRadius << " over " << c.length;
    worst = std::max(worst, off);
    // Halfway along, where the pieces fall otherwise.
    const LocalPoint half = spiralPoint(c.length / 2, k0, rate);
    const LocalPoint halfNumeric = integrated(c.length / 2, k0, rate);
    EXPECT_LT(std::hypot(half.x - halfNumeric.x, half.y - halfNumeric.y) / c.length, 1e-12);
  }
  std::printf("any clothoid against numerical integration: worst %.3g of its length\n", worst);
}

// An egg from R 150 to R 60 over 45 m is the part l = 30 ... 75 of the
// clothoid A^2 = 45 / (1/60 - 1/150) = 4500 (l = A^2 / R at each end). That
// clothoid's points by its series x = l (1 - t^2/10 + t^4/216 - t^6/9360 +
// ...), y = l (t/3 - t^3/42 + t^5/1320 - ...), t = l^2 / 2A^2:
//   l = 30, t = 0.1:   (29.970013885684, 0.999285941519)
//   l = 75, t = 0.625: (72.122819343822, 15.194416402870)
// Their difference (42.152805458138, 14.195130461351) turned back by the
// tangent at l = 30, t = 0.1, is the egg's end seen from its start; its
// tangent turns by 0.625 - 0.1. Taken backwards (R 60 to R 150), the egg
// from the other end: the difference turned back by t = 0.625 + pi, y
// mirrored, as it turns the other way seen along the way back.
TEST(Spiral, GivesAnEggWorkedByHand) {
  const double rate = (1.0 / 60 - 1.0 / 150) / 45;
  const LocalPoint forward = spiralPoint(45, 1.0 / 150, rate);
  EXPECT_NEAR(forward.x, 43.359365382706, 1e-11);
  EXPECT_NEAR(forward.y, 9.915955345575, 1e-11);
  EXPECT_NEAR(spiralAngle(45, 1.0 / 150, rate), 0.525, 1e-15);
  const LocalPoint backward = spiralPoint(45, 1.0 / 60, -rate);
  const double dx = -42.152805458138, dy = -14.195130461351, t = 0.625 + std::numbers::pi;
  EXPECT_NEAR(backward.x, std::cos(t) * dx + std::sin(t) * dy, 1e-11);
  EXPECT_NEAR(backward.y, -(-std::sin(t) * dx + std::cos(t) * dy), 1e-11);
  EXPECT_NEAR(spiralAngle(45, 1.0 / 60, -rate), 0.525, 1e-15);
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

} // namespace
} // namespace quenlor::route

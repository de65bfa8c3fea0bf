// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/clothoid.h"

#include <cmath>

namespace quenlor::route {
namespace {

constexpr double kNegligibleTerm = 1e-17; // relative to l
constexpr int kMostTerms = 200;           // reached only far beyond a half turn

} // namespace

LocalPoint clothoidPoint(double l, double rls) {
  const double theta = clothoidAngle(l, rls);
  double x = 0, y = 0;
  double power = 1; // theta^n / n!
  for (int n = 0; n < kMostTerms; ++n) {
    const double term = power / (2 * n + 1);
    const bool negative = n % 4 >= 2;
    (n % 2 == 0 ? x : y) += negative ? -term : term;
    power *= theta / (n + 1);
    const bool shrinking = n + 1 > theta;
    if (n >= 1 && shrinking && power / (2 * n + 3) < kNegligibleTerm)
      break;
  }
  return {l * x, l * y};
}

double clothoidAngle(double l, double rls) { return l * l / (2 * rls); }

TransitionShape transitionShape(double ls, double radius) {
  TransitionShape shape;
  if (ls == 0)
    return shape;
  shape.end = clothoidPoint(ls, radius * ls);
  shape.spiralAngle = ls / (2 * radius);
  const double halfSine = std::sin(shape.spiralAngle / 2);
  shape.shift =
      shape.end.y - radius * 2 * halfSine * halfSine; // 1 - cos as 2 sin^2, no cancellation
  shape.extension = shape.end.x - radius * std::sin(shape.spiralAngle);
  return shape;
}

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/local_coordinates.h"

#include <cmath>

// Every division is its own step, in the order written; the last digits of
// the coordinates depend on it.

namespace quenlor {
namespace {

// The arc's angle: the spiral angle plus the angle beyond the transition.
double arcAngle(double l, double r, double ls) { return (l - ls) / r + ls / 2.0 / r; }

} // namespace

void lsxjs(double& x, const double& l, const double& r, const double& ls) {
  const double second = std::pow(l, 5) / 40.0 / r / r / ls / ls;
  const double third = std::pow(l, 9) / 3456.0 / std::pow(r, 4) / std::pow(ls, 4);
  x = l - second + third;
}

void lsyjs(double& y, const double& l, const double& r, const double& ls) {
  const double first = std::pow(l, 3) / 6.0 / r / ls;
  const double second = std::pow(l, 7) / 336.0 / std::pow(r, 3) / std::pow(ls, 3);
  const double third = std::pow(l, 11) / 42240.0 / std::pow(r, 5) / std::pow(ls, 5);
  y = first - second + third;
}

void quxjs(double& x, const double& l, const double& r, const double& ls) {
  const double phi = arcAngle(l, r, ls);
  const double q = ls / 2.0 - std::pow(ls, 3) / 240.0 / (r * r);
  x = q + r * std::sin(phi);
}

void quyjs(double& y, const double& l, const double& r, const double& ls) {
  const double phi = arcAngle(l, r, ls);
  const double p = ls * ls / 24.0 / r;
  y = (r + p) - r * std::cos(phi);
}

} // namespace quenlor

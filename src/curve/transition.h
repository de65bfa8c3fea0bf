// SPDX-License-Identifier: GPL-3.0-or-later
// The elements of one transition curve beside a circular arc.
#pragma once

namespace quenlor {

struct TransitionElements {
  double shift;            // p = Ls^2 / 24 / R
  double tangentExtension; // q = Ls / 2 - Ls^3 / 240 / R / R
  double spiralAngle;      // beta = Ls / 2 / R, radians
};

// Evaluated left to right exactly as written above.
TransitionElements transitionElements(double ls, double radius);

} // namespace quenlor

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

// The tangent length from the JD to the curve's end on the side of `near`,
// with `far` the transition at the other end and alpha the deflection's
// magnitude: q_near + ((R + p_far) - (R + p_near) cos a) / sin a. With
// `near` the first transition it is T1; with the two swapped, T2.
double tangentLengthOf(const TransitionElements& near, const TransitionElements& far, double radius,
                       double alpha);

} // namespace quenlor

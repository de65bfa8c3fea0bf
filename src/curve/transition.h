// The elements of one transition curve beside a circular arc, and the main
// points they place.
#pragma once

namespace quenlor {

struct TransitionElements {
  double shift;            // p = Ls^2 / 24 / R
  double tangentExtension; // q = Ls / 2 - Ls^3 / 240 / R / R
  double spiralAngle;      // beta = Ls / 2 / R, radians
};

// Evaluated left to right exactly as written above.
TransitionElements transitionElements(double ls, double radius);

struct CalcState;

// The chainages of ZH, HY, QZ, YH and HZ, each from the one before: from the
// JD's chainage back by T1, on by Ls, half the arc, the other half, ls2; with
// T1, Ls, ls2 and the arc's length as the state holds them.
void storeMainPointChainages(CalcState& st);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The curve at one intersection point (JD), from the two straights that meet
// there: its deflection, its elements and its main points, exactly.
//
// The straights run from the previous point (BP or the previous JD) to the JD
// and from the JD to the next point (the next JD or EP). Their azimuths come
// from the coordinates (atan2 at full precision), and the deflection alpha is
// the turn between them, in (-pi, pi], right positive; the formulas use its
// size a = |alpha| and turn to its side.
//
// The curve is a clothoid of length Ls1 from ZH to HY, a circular arc of
// radius R from HY to YH, and a clothoid of length Ls2 from YH to HZ. With the
// exact shift p_i and extension q_i of each clothoid (clothoid.h):
//
//   beta_i = Ls_i / (2R)                                 spiral angles
//   T1 = q1 + (R + p2) / sin a - (R + p1) / tan a        JD back to ZH
//   T2 = q2 + (R + p1) / sin a - (R + p2) / tan a        JD on to HZ
//   Ly = R (a - beta1 - beta2)                           the arc
//   L  = Ly + Ls1 + Ls2                                  ZH to HZ
//   E  = |JD - centre| - R,  centre = ZH + q1 along the incoming tangent
//                                        + (R + p1) to the inside
//
// With Ls1 = Ls2 the tangents reduce to T = (R + p) tan(a/2) + q. Along the
// curve, from the JD's chainage K: ZH = K - T1, HY = ZH + Ls1,
// QZ = HY + Ly / 2 (the middle of the arc), YH = HY + Ly, HZ = YH + Ls2.
//
// Worked example: a = 30 deg to the right, R = 500, Ls1 = 60, Ls2 = 40.
//   beta1 = 0.06, p1 = 0.299961, q1 = 29.996400
//   beta2 = 0.04, p2 = 0.133326, q2 = 19.998933
//   T1 = 163.718100, T2 = 154.342526, E = 17.862476
//   Ly = 211.799388, L = 311.799388
//   at K1+000: ZH K0+836.281900, HY K0+896.281900, QZ K1+002.181594,
//              YH K1+108.081288, HZ K1+148.081288
//
// Where no curve can be built the JD is an angle point: the straights meet at
// the JD itself, every element is 0 and every main point is the JD. That is
// so for a radius that is not positive, a negative transition, a deflection
// of (nearly) zero, transitions too long for the deflection
// (beta1 + beta2 > a), or an R or Ls that is not a number within +-1e9; the
// fault says which.
#pragma once

#include "route/clothoid.h"
#include "route/element.h"
#include "route/plane.h"

namespace quenlor::route {

struct CurveInputs {
  PlanePoint previous, jd, next;
  double radius = 0, ls1 = 0, ls2 = 0;

  bool operator==(const CurveInputs&) const = default;
};

enum class CurveFault {
  None,
  UnusableNumber, // R or Ls not finite or beyond kLargestValue
  RadiusNotPositive,
  NegativeTransition,
  ZeroDeflection,
  TransitionsTooLong,
};

// Deflections smaller than this (about 2e-5 seconds) count as none: the JD
// stands on a straight line and no tangent length is defined.
inline constexpr double kLeastDeflection = 1e-10;

struct Curve {
  double incomingAzimuth = 0, outgoingAzimuth = 0; // [0, 2 pi)
  double deflection = 0;                           // alpha, signed, right positive
  double turn = 0; // +1 to the right, -1 to the left, 0 for no deflection
  CurveFault fault = CurveFault::None;
  bool curved = false; // false: an angle point

  double radius = 0, ls1 = 0, ls2 = 0;
  TransitionShape first, second;
  double tangent1 = 0, tangent2 = 0; // T1, T2
  double external = 0;               // E
  double arcLength = 0;              // Ly
  double length = 0;                 // L

  // Main points and the arc's centre, in the coordinates of the inputs.
  PlanePoint zh, hy, qz, yh, hz, centre;
};

Curve curveAt(const CurveInputs& in);

// The measures (or chainages) of the main points, from the JD's:
// ZH = JD - T1, HY = ZH + Ls1, QZ = HY + Ly / 2, YH = HY + Ly, HZ = YH + Ls2.
// For an angle point all five are the JD's.
struct MainPoints {
  double zh = 0, hy = 0, qz = 0, yh = 0, hz = 0;
};
MainPoints mainPointsOf(const Curve& curve, double jd);

// The tangent azimuth at the start of the arc (HY): incoming + turn * beta1.
double arcStartAzimuth(const Curve& curve);

// Its three pieces (element.h), ZH at the measure zh: the first clothoid, the
// arc and the second clothoid, each of length 0 where the curve has none.
struct CurvePieces {
  Element first, arc, second;
};
CurvePieces curvePieces(const Curve& curve, int jd, double zh);

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// The point of the curve the boxes describe at a chainage, around one
// intersection point: the incoming straight, a curve of two transitions about
// a circular arc, and the outgoing straight. The first half of the curve is measured from ZH with
// the first transition, the second half back from HZ with the second. The point at a chainage in
// the boxes takes both transitions and both tangents equal (it treats the curve as symmetric); the
// plan and the field tools give the second its own, so that they follow the curve the curve
// elements describe. Plain inputs, plain results, so that anything that draws or tabulates the
// curve can call it along the chainage without a form.
#pragma once

#include "geometry/plane_point.h"

#include <optional>

namespace quenlor {

struct BoxCurve {
  double chainage = 0;         // K
  double radius = 0;           // R
  double transitionLength = 0; // Ls, the first transition; 0 means none
  double tangentLength = 0;    // T, from the JD back to ZH
  // The second transition and the tangent from the JD to HZ; none: the same
  // as the first.
  std::optional<double> transitionLength2, tangentLength2;
  double jdX = 0, jdY = 0;
  double zhChainage = 0, qzChainage = 0, hzChainage = 0;
  double incomingAzimuth = 0; // radians
  double deflection = 0;      // radians, signed
  double turnSign = 0;        // +1 right, -1 left, 0 for a deflection of exactly 0
  double outgoingAzimuth = 0; // radians

  bool operator==(const BoxCurve&) const = default;
};

enum class CurvePart { IncomingStraight, FirstHalf, SecondHalf, OutgoingStraight };

struct CurvePoint {
  CurvePart part = CurvePart::IncomingStraight;
  PlanePoint at;
  // The tangent offsets in the local frame of ZH (first half) or HZ (second
  // half); none on the straights.
  std::optional<double> localX, localY;
  double chordDeflection = 0; // radians, between the base tangent and the chord
  double chordAzimuth = 0;    // radians, not reduced, along which the point is placed
};

// The part of the curve in.chainage lies on. The chainages decide it: before
// ZH the incoming straight, beyond HZ the outgoing one, up to and including QZ
// the first half (measured from ZH), the rest the second half (measured back
// from HZ).
CurvePart partAt(const BoxCurve& in);

// On the curve, the distance l along it from the part's base point.
double distanceFromBase(const BoxCurve& in, CurvePart part);

// The transition of the part's half of the curve as the curve formulas
// take it: a zero length becomes a tiny one, so that a curve without
// transitions is a plain arc.
double transitionLengthOf(const BoxCurve& in, CurvePart part);

// The sign of a packed deflection as typed: the side to which the curve turns.
double turnSignOf(double deflectionDms);

// The point at in.chainage. On the curve, l <= Ls is the transition and
// l > Ls the arc; at l = 0 the point is the main point itself. The result is
// not checked: a zero radius on the curve gives non-finite values and raises
// the floating-point fault flags.
CurvePoint curvePoint(const BoxCurve& in);

} // namespace quenlor

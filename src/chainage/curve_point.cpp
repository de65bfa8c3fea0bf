// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/curve_point.h"

#include "chainage/local_coordinates.h"
#include "geometry/constants.h"
#include "geometry/direction.h"
#include "geometry/plane_point.h"

#include <cmath>

namespace quenlor {
namespace {

PlanePoint zhPoint(const BoxCurve& in) {
  const double back = in.incomingAzimuth + kPi;
  return {std::cos(back) * in.tangentLength + in.jdX, std::sin(back) * in.tangentLength + in.jdY};
}

PlanePoint hzPoint(const BoxCurve& in) {
  const double t = in.tangentLength2.value_or(in.tangentLength);
  return {std::cos(in.outgoingAzimuth) * t + in.jdX, std::sin(in.outgoingAzimuth) * t + in.jdY};
}

struct Local {
  double x, y;
};

// Local coordinates at l along the curve from its base point.
Local localCoordinates(double l, double r, double ls) {
  Local local{0, 0};
  if (l == 0)
    return local;
  if (l <= ls) {
    lsxjs(local.x, l, r, ls);
    lsyjs(local.y, l, r, ls);
  } else {
    quxjs(local.x, l, r, ls);
    quyjs(local.y, l, r, ls);
  }
  return local;
}

} // namespace

CurvePart partAt(const BoxCurve& in) {
  if (in.chainage < in.zhChainage)
    return CurvePart::IncomingStraight;
  if (in.chainage > in.hzChainage)
    return CurvePart::OutgoingStraight;
  if (in.chainage <= in.qzChainage)
    return CurvePart::FirstHalf;
  return CurvePart::SecondHalf;
}

double distanceFromBase(const BoxCurve& in, CurvePart part) {
  return part == CurvePart::FirstHalf ? in.chainage - in.zhChainage : in.hzChainage - in.chainage;
}

double transitionLengthOf(const BoxCurve& in, CurvePart part) {
  const double ls = part == CurvePart::SecondHalf
                        ? in.transitionLength2.value_or(in.transitionLength)
                        : in.transitionLength;
  return ls == 0 ? kTransitionGuard : ls;
}

double turnSignOf(double deflectionDms) {
  return deflectionDms > 0 ? 1.0 : (deflectionDms < 0 ? -1.0 : 0.0);
}

CurvePoint curvePoint(const BoxCurve& in) {
  const PlanePoint zh = zhPoint(in);
  const PlanePoint hz = hzPoint(in);

  CurvePoint p;
  p.part = partAt(in);
  double chord = 0;
  switch (p.part) {
  case CurvePart::IncomingStraight:
    p.chordAzimuth = in.incomingAzimuth;
    chord = in.chainage - in.zhChainage;
    break;
  case CurvePart::OutgoingStraight:
    // Backwards along the outgoing tangent as the incoming azimuth and the
    // deflection give it, ahead of HZ by a negative chord.
    p.chordAzimuth = in.incomingAzimuth + in.deflection + kTwoPi + kPi;
    chord = in.hzChainage - in.chainage;
    break;
  case CurvePart::FirstHalf:
  case CurvePart::SecondHalf: {
    const bool first = p.part == CurvePart::FirstHalf;
    const double l = distanceFromBase(in, p.part);
    const Local local = localCoordinates(l, in.radius, transitionLengthOf(in, p.part));
    if (l != 0)
      xjjs(p.chordDeflection, local.x, local.y);
    const double turn = in.turnSign * p.chordDeflection;
    p.chordAzimuth = first ? in.incomingAzimuth + turn + kTwoPi : in.outgoingAzimuth + kPi - turn;
    chord = std::sqrt(local.x * local.x + local.y * local.y);
    p.localX = local.x;
    p.localY = local.y;
    break;
  }
  }

  const bool fromZh = p.part == CurvePart::IncomingStraight || p.part == CurvePart::FirstHalf;
  const PlanePoint base = fromZh ? zh : hz;
  p.at = along(base, p.chordAzimuth, chord);
  return p;
}

} // namespace quenlor

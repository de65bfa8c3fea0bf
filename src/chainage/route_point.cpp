// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/route_point.h"

#include "chainage/local_coordinates.h"
#include "geometry/constants.h"
#include "geometry/direction.h"
#include "geometry/plane_point.h"

#include <cmath>

namespace quenlor {
namespace {

PlanePoint zhPoint(const RouteInputs& in) {
  const double back = in.incomingAzimuth + kPi;
  return {std::cos(back) * in.tangentLength + in.jdX, std::sin(back) * in.tangentLength + in.jdY};
}

PlanePoint hzPoint(const RouteInputs& in) {
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

Stretch stretchAt(const RouteInputs& in) {
  if (in.chainage < in.zhChainage)
    return Stretch::IncomingStraight;
  if (in.chainage > in.hzChainage)
    return Stretch::OutgoingStraight;
  if (in.chainage <= in.qzChainage)
    return Stretch::FirstHalf;
  return Stretch::SecondHalf;
}

double distanceFromBase(const RouteInputs& in, Stretch stretch) {
  return stretch == Stretch::FirstHalf ? in.chainage - in.zhChainage : in.hzChainage - in.chainage;
}

double transitionLengthOf(const RouteInputs& in, Stretch stretch) {
  const double ls = stretch == Stretch::SecondHalf
                        ? in.transitionLength2.value_or(in.transitionLength)
                        : in.transitionLength;
  return ls == 0 ? kTransitionGuard : ls;
}

double turnSignOf(double deflectionDms) {
  return deflectionDms > 0 ? 1.0 : (deflectionDms < 0 ? -1.0 : 0.0);
}

RoutePoint routePoint(const RouteInputs& in) {
  const PlanePoint zh = zhPoint(in);
  const PlanePoint hz = hzPoint(in);

  RoutePoint p;
  p.stretch = stretchAt(in);
  double chord = 0;
  switch (p.stretch) {
  case Stretch::IncomingStraight:
    p.chordAzimuth = in.incomingAzimuth;
    chord = in.chainage - in.zhChainage;
    break;
  case Stretch::OutgoingStraight:
    // Backwards along the outgoing tangent as the incoming azimuth and the
    // deflection give it, ahead of HZ by a negative chord.
    p.chordAzimuth = in.incomingAzimuth + in.deflection + kTwoPi + kPi;
    chord = in.hzChainage - in.chainage;
    break;
  case Stretch::FirstHalf:
  case Stretch::SecondHalf: {
    const bool first = p.stretch == Stretch::FirstHalf;
    const double l = distanceFromBase(in, p.stretch);
    const Local local = localCoordinates(l, in.radius, transitionLengthOf(in, p.stretch));
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

  const bool fromZh = p.stretch == Stretch::IncomingStraight || p.stretch == Stretch::FirstHalf;
  const PlanePoint base = fromZh ? zh : hz;
  p.at = along(base, p.chordAzimuth, chord);
  return p;
}

} // namespace quenlor

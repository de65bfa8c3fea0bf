// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/curve.h"

#include <cmath>
#include <initializer_list>

namespace quenlor::route {
namespace {

bool allUsable(const CurveInputs& in) {
  for (double v : {in.previous.x, in.previous.y, in.jd.x, in.jd.y, in.next.x, in.next.y, in.radius,
                   in.ls1, in.ls2})
    if (!std::isfinite(v))
      return false;
  return isUsableValue(in.radius) && isUsableValue(in.ls1) && isUsableValue(in.ls2);
}

double spiralAngle(double ls, double radius) { return ls / (2 * radius); }

CurveFault faultOf(const CurveInputs& in, double size) {
  if (!allUsable(in))
    return CurveFault::UnusableNumber;
  if (!(in.radius > 0))
    return CurveFault::RadiusNotPositive;
  if (in.ls1 < 0 || in.ls2 < 0)
    return CurveFault::NegativeTransition;
  if (size < kLeastDeflection)
    return CurveFault::ZeroDeflection;
  if (spiralAngle(in.ls1, in.radius) + spiralAngle(in.ls2, in.radius) > size)
    return CurveFault::TransitionsTooLong;
  return CurveFault::None;
}

// T1 = q1 + (R + p2) / sin a - (R + p1) / tan a; T2 swaps the two clothoids.
double tangentLength(double r, double a, const TransitionShape& near, const TransitionShape& far) {
  return near.extension + (r + far.shift) / std::sin(a) - (r + near.shift) / std::tan(a);
}

void placeMainPoints(Curve& c, PlanePoint jd) {
  const Direction in = along(c.incomingAzimuth), out = along(c.outgoingAzimuth);
  const Direction inInside = rightOf(in), outInside = rightOf(out);
  c.zh = moved(jd, in, -c.tangent1);
  c.hz = moved(jd, out, c.tangent2);
  c.hy = moved(moved(c.zh, in, c.first.end.x), inInside, c.turn * c.first.end.y);
  c.yh = moved(moved(c.hz, out, -c.second.end.x), outInside, c.turn * c.second.end.y);
  c.centre =
      moved(moved(c.zh, in, c.first.extension), inInside, c.turn * (c.radius + c.first.shift));
  const double qzAzimuth = arcStartAzimuth(c) + c.turn * c.arcLength / 2 / c.radius;
  c.qz = moved(c.centre, rightOf(along(qzAzimuth)), -c.turn * c.radius);
}

} // namespace

Curve curveAt(const CurveInputs& in) {
  Curve c;
  c.incomingAzimuth = azimuthBetween(in.previous, in.jd);
  c.outgoingAzimuth = azimuthBetween(in.jd, in.next);
  c.deflection = turnBetween(c.incomingAzimuth, c.outgoingAzimuth);
  c.turn = c.deflection > 0 ? 1.0 : (c.deflection < 0 ? -1.0 : 0.0);
  const double size = std::fabs(c.deflection);
  c.fault = faultOf(in, size);
  c.zh = c.hy = c.qz = c.yh = c.hz = c.centre = in.jd;
  if (c.fault != CurveFault::None)
    return c;

  c.curved = true;
  c.radius = in.radius;
  c.ls1 = in.ls1;
  c.ls2 = in.ls2;
  c.first = transitionShape(in.ls1, in.radius);
  c.second = transitionShape(in.ls2, in.radius);
  c.tangent1 = tangentLength(c.radius, size, c.first, c.second);
  c.tangent2 = tangentLength(c.radius, size, c.second, c.first);
  c.arcLength = c.radius * (size - c.first.spiralAngle - c.second.spiralAngle);
  c.length = c.arcLength + c.ls1 + c.ls2;
  placeMainPoints(c, in.jd);
  c.external = distanceBetween(in.jd, c.centre) - c.radius;
  return c;
}

MainPoints mainPointsOf(const Curve& c, double jd) {
  MainPoints m;
  m.zh = jd - c.tangent1;
  m.hy = m.zh + c.ls1;
  m.qz = m.hy + c.arcLength / 2;
  m.yh = m.hy + c.arcLength;
  m.hz = m.yh + c.ls2;
  return m;
}

double arcStartAzimuth(const Curve& curve) {
  return curve.incomingAzimuth + curve.turn * curve.first.spiralAngle;
}

CurvePieces curvePieces(const Curve& c, int jd, double zh) {
  const double hy = zh + c.ls1, yh = hy + c.arcLength;
  return {firstTransition(jd, zh, c.ls1, c.zh, c.incomingAzimuth, c.turn, c.radius),
          arc(jd, hy, c.arcLength, c.hy, arcStartAzimuth(c), c.turn, c.radius, c.centre),
          secondTransition(jd, yh, c.ls2, c.hz, c.outgoingAzimuth, c.turn, c.radius)};
}

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/vertical_curve.h"

#include <cmath>

namespace quenlor {
namespace {

bool inside(const VerticalCurve& curve, double measure) {
  return measure >= curve.start && measure <= curve.end;
}

// x: from the start before the grade point, from the end from it on.
double distanceFromNearerEnd(const VerticalCurve& curve, double measure) {
  return measure < curve.pviMeasure ? measure - curve.start : curve.end - measure;
}

// +1 on a sag, where the ordinate is added; −1 on a crest.
double ordinateSign(const VerticalCurve& curve) {
  return curve.shape == CurveShape::Sag ? 1.0 : -1.0;
}

} // namespace

VerticalCurve verticalCurve(double pviMeasure, double pviElevation, double gradeIn, double gradeOut,
                            double radius) {
  VerticalCurve c;
  c.pviMeasure = pviMeasure;
  c.pviElevation = pviElevation;
  c.gradeIn = gradeIn;
  c.gradeOut = gradeOut;
  c.radius = radius;
  c.gradeChange = gradeOut - gradeIn;
  c.length = radius * std::fabs(c.gradeChange);
  c.tangent = c.length / 2;
  c.external = c.tangent * c.tangent / (2 * radius);
  c.shape = c.gradeChange < 0 ? CurveShape::Crest : CurveShape::Sag;
  c.start = pviMeasure - c.tangent;
  c.end = pviMeasure + c.tangent;
  c.startElevation = pviElevation - gradeIn * c.tangent;
  c.middleElevation = pviElevation + ordinateSign(c) * c.external;
  c.endElevation = pviElevation + gradeOut * c.tangent;
  return c;
}

double ordinate(const VerticalCurve& curve, double measure) {
  if (!inside(curve, measure))
    return 0;
  const double x = distanceFromNearerEnd(curve, measure);
  return ordinateSign(curve) * (x * x / (2 * curve.radius));
}

double ordinateSlope(const VerticalCurve& curve, double measure) {
  if (!inside(curve, measure))
    return 0;
  const double x = distanceFromNearerEnd(curve, measure);
  const double slope = x / curve.radius;
  // x grows with the measure before the grade point and shrinks after it.
  return ordinateSign(curve) * (measure < curve.pviMeasure ? slope : -slope);
}

} // namespace quenlor

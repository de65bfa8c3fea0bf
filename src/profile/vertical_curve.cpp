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

// The parabola of the side the measure lies on.
double sideRadius(const VerticalCurve& curve, double measure) {
  return measure < curve.pviMeasure ? curve.radiusIn : curve.radiusOut;
}

// What both shapes share once T1, T2, the radii and E are set.
void placeCurve(VerticalCurve& c) {
  c.length = c.tangentIn + c.tangentOut;
  c.tangent = c.length / 2;
  c.shape = c.gradeChange < 0 ? CurveShape::Crest : CurveShape::Sag;
  c.start = c.pviMeasure - c.tangentIn;
  c.end = c.pviMeasure + c.tangentOut;
  c.startElevation = c.pviElevation - c.gradeIn * c.tangentIn;
  c.middleElevation = c.pviElevation + ordinateSign(c) * c.external;
  c.endElevation = c.pviElevation + c.gradeOut * c.tangentOut;
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
  c.radiusIn = radius;
  c.radiusOut = radius;
  c.gradeChange = gradeOut - gradeIn;
  c.tangentIn = radius * std::fabs(c.gradeChange) / 2;
  c.tangentOut = c.tangentIn;
  c.external = c.tangentIn * c.tangentIn / (2 * radius);
  placeCurve(c);
  return c;
}

VerticalCurve asymmetricCurve(double pviMeasure, double pviElevation, double gradeIn,
                              double gradeOut, double tangentIn, double tangentOut) {
  VerticalCurve c;
  c.pviMeasure = pviMeasure;
  c.pviElevation = pviElevation;
  c.gradeIn = gradeIn;
  c.gradeOut = gradeOut;
  c.gradeChange = gradeOut - gradeIn;
  c.tangentIn = tangentIn;
  c.tangentOut = tangentOut;
  c.external = tangentIn * tangentOut * std::fabs(c.gradeChange) / (2 * (tangentIn + tangentOut));
  c.radiusIn = tangentIn * tangentIn / (2 * c.external);
  c.radiusOut = tangentOut * tangentOut / (2 * c.external);
  placeCurve(c);
  return c;
}

double ordinate(const VerticalCurve& curve, double measure) {
  if (!inside(curve, measure))
    return 0;
  const double x = distanceFromNearerEnd(curve, measure);
  return ordinateSign(curve) * (x * x / (2 * sideRadius(curve, measure)));
}

double ordinateSlope(const VerticalCurve& curve, double measure) {
  if (!inside(curve, measure))
    return 0;
  const double x = distanceFromNearerEnd(curve, measure);
  const double slope = x / sideRadius(curve, measure);
  // x grows with the measure before the grade point and shrinks after it.
  return ordinateSign(curve) * (measure < curve.pviMeasure ? slope : -slope);
}

} // namespace quenlor

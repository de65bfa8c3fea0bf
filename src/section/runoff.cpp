// SPDX-License-Identifier: GPL-3.0-or-later
#include "section/runoff.h"

#include "section/road_template.h"

#include <algorithm>
#include <cmath>

namespace quenlor::section {
namespace {

// The share of a runoff of length `length` done `along` it from its normal end.
double share(double along, double length) {
  if (length > 0)
    return std::clamp(along / length, 0.0, 1.0);
  return along >= 0 ? 1.0 : 0.0;
}

// The travel of each step, in per cent times metres; by fall alone where
// the lanes have no width.
struct Travel {
  double first, second;
};
Travel travelOf(const Rotation& r) {
  const bool noWidth = r.outerWidth + r.innerWidth == 0;
  const double outer = noWidth ? 1 : r.outerWidth;
  const double inner = noWidth ? 1 : r.innerWidth;
  const double turned = r.axis == Axis::Centre ? outer : outer + inner;
  return {outer * std::fabs(r.outerCrown + r.innerCrown), turned * (r.full + r.innerCrown)};
}

double centreRise(const Rotation& r, double outerFall, double innerFall) {
  switch (r.axis) {
  case Axis::Centre: return 0;
  case Axis::InnerEdge: return r.innerWidth * (r.innerCrown - innerFall) / kPercent;
  case Axis::OuterEdge: return r.outerWidth * (r.outerCrown - outerFall) / kPercent;
  }
  return 0;
}

} // namespace

Runoffs placeRunoffs(const CurveSpan& curve, double l1, double l2) {
  return {curve.hy - l1, curve.hy, curve.yh, curve.yh + l2};
}

double runoffProgress(const Runoffs& r, double measure) {
  if (measure <= r.entryEnd)
    return share(measure - r.entryStart, r.entryEnd - r.entryStart);
  if (measure >= r.exitStart)
    return share(r.exitEnd - measure, r.exitEnd - r.exitStart);
  return 1; // on the arc
}

double firstStepEnd(const Rotation& r) {
  const Travel t = travelOf(r);
  return t.first + t.second > 0 ? t.first / (t.first + t.second) : 1;
}

double runoffTravel(const Rotation& r) {
  const Travel t = travelOf(r);
  return (t.first + t.second) / kPercent;
}

Rotated rotate(const Rotation& r, double k) {
  if (r.full == 0)
    return {r.outerCrown, r.innerCrown, 0};
  const Travel t = travelOf(r);
  const double s = k * (t.first + t.second);
  double outer = -r.innerCrown, inner = r.innerCrown; // one plane, the first step done
  if (k >= 1) {                                       // the full section exactly, as typed
    outer = r.full;
    inner = -r.full;
  } else if (s < t.first) {
    outer = r.outerCrown - (r.outerCrown + r.innerCrown) * (s / t.first);
  } else if (t.second > 0) {
    const double q = -r.innerCrown + (r.full + r.innerCrown) * ((s - t.first) / t.second);
    outer = q;
    inner = -q;
  }
  return {outer, inner, centreRise(r, outer, inner)};
}

double wideningAt(double full, WideningShape shape, double k) {
  if (shape == WideningShape::Linear)
    return full * k;
  const double k3 = k * k * k;
  return full * (4 * k3 - 3 * k3 * k);
}

} // namespace quenlor::section

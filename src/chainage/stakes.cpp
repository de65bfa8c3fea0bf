// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stakes.h"

#include "geometry/angle.h"
#include "geometry/azimuth.h"
#include "geometry/constants.h"
#include "geometry/distance.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace quenlor {
namespace {

// The foot of the perpendicular is sought to a hundredth of a millimetre and
// accepted within a tenth.
constexpr double kAlongTolerance = 1e-5;
constexpr double kAlongAccepted = 1e-4;
constexpr int kMostIterations = 60;
constexpr int kCurveSamples = 64;

bool finite(double v) { return std::isfinite(v); }

// Angle between the tangent at the part's base point and the tangent at l.
double tangentTurn(double l, double r, double ls) {
  if (l <= ls)
    return l * l / (2.0 * r * ls);
  return (l - ls) / r + ls / 2.0 / r;
}

double tangentAzimuth(const BoxCurve& in, CurvePart part) {
  switch (part) {
  case CurvePart::IncomingStraight: return in.incomingAzimuth;
  case CurvePart::OutgoingStraight: return in.incomingAzimuth + in.deflection;
  case CurvePart::FirstHalf:
  case CurvePart::SecondHalf: {
    const double l = distanceFromBase(in, part);
    const double turn = in.turnSign * tangentTurn(l, in.radius, transitionLengthOf(in, part));
    return part == CurvePart::FirstHalf ? in.incomingAzimuth + turn : in.outgoingAzimuth - turn;
  }
  }
  return in.incomingAzimuth;
}

struct Residual {
  double along, across;
};

std::optional<Residual> residualAt(const BoxCurve& curve, double k, double x, double y) {
  const auto c = centreAt(curve, k);
  if (!c)
    return std::nullopt;
  const double dx = x - c->point.x, dy = y - c->point.y;
  const double ca = std::cos(c->azimuth), sa = std::sin(c->azimuth);
  const Residual r{dx * ca + dy * sa, -dx * sa + dy * ca};
  if (!finite(r.along) || !finite(r.across))
    return std::nullopt;
  return r;
}

// A foot: its chainage and the offset across the tangent there.
struct Foot {
  double chainage, offset;
};

// Newton's iteration on the along-line residual, from one starting chainage;
// where the slope is unusable (near the centre of curvature, across a seam of
// the series) it steps by the residual itself, as on a straight.
std::optional<Foot> footFrom(const BoxCurve& curve, double k, double x, double y) {
  std::optional<Foot> best;
  double bestAlong = INFINITY;
  for (int i = 0; i < kMostIterations && finite(k); ++i) {
    const auto r = residualAt(curve, k, x, y);
    if (!r)
      return best;
    if (std::fabs(r->along) < bestAlong) {
      bestAlong = std::fabs(r->along);
      best = Foot{k, r->across};
    }
    if (bestAlong < kAlongTolerance)
      break;
    const double h = std::max(1e-3, 1e-9 * std::fabs(k));
    const auto ahead = residualAt(curve, k + h, x, y);
    const auto behind = residualAt(curve, k - h, x, y);
    const double slope = ahead && behind ? (ahead->along - behind->along) / (2 * h) : -1.0;
    k += slope < -0.05 ? -r->along / slope : r->along;
  }
  if (bestAlong > kAlongAccepted)
    return std::nullopt;
  return best;
}

// Chainages to start the search from: the point's projections on the two
// straights and the nearest of a few points along the curve.
std::vector<double> startingChainages(const BoxCurve& curve, double x, double y) {
  std::vector<double> starts;
  for (const double k : {curve.zhChainage, curve.hzChainage})
    if (const auto r = residualAt(curve, k, x, y))
      starts.push_back(k + r->along);
  const double length = curve.hzChainage - curve.zhChainage;
  if (length > 0 && finite(length)) {
    double nearest = INFINITY, at = curve.zhChainage;
    for (int i = 0; i <= kCurveSamples; ++i) {
      const double k = curve.zhChainage + length * i / kCurveSamples;
      if (const auto c = centreAt(curve, k)) {
        const double d = std::hypot(x - c->point.x, y - c->point.y);
        if (d < nearest) {
          nearest = d;
          at = k;
        }
      }
    }
    starts.push_back(at);
  }
  return starts;
}

} // namespace

std::optional<CentrePoint> centreAt(BoxCurve curve, double chainage) {
  curve.chainage = chainage;
  const CurvePoint p = curvePoint(curve);
  const CentrePoint c{chainage, p.at, tangentAzimuth(curve, p.part)};
  if (!isFinite(c.point) || !finite(c.azimuth))
    return std::nullopt;
  return c;
}

std::optional<Location> locate(const BoxCurve& curve, double x, double y) {
  if (!finite(x) || !finite(y))
    return std::nullopt;
  std::optional<Foot> nearest;
  for (const double start : startingChainages(curve, x, y)) {
    const auto foot = footFrom(curve, start, x, y);
    if (foot && (!nearest || std::fabs(foot->offset) < std::fabs(nearest->offset)))
      nearest = foot;
  }
  const auto centre = nearest ? centreAt(curve, nearest->chainage) : std::nullopt;
  if (!centre)
    return std::nullopt;
  return Location{*centre, Station{nearest->chainage, 0}, nearest->offset};
}

SetOut setOutFrom(const PlanePoint& station, const PlanePoint& point) {
  const double x = parseNumber(formatNumber(point.x));
  const double y = parseNumber(formatNumber(point.y));
  SetOut s{};
  fwjjs(s.azimuthDms, station.x, station.y, x, y);
  s.distance = planeDistance(station.x, station.y, x, y);
  return s;
}

double azimuthDms(double radians) {
  double w = std::fmod(radians, kTwoPi);
  if (w < 0)
    w += kTwoPi;
  return packedOf(w);
}

} // namespace quenlor

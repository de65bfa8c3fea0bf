// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/element.h"

#include "route/clothoid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenlor::route {
namespace {

// The distance along a transition from its curvature-0 end.
double clothoidLength(const Element& e, double s) {
  return e.shape == Shape::FirstTransition ? s : e.length - s;
}

float roundedDown(double v) {
  const float f = static_cast<float>(v);
  return f > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

float roundedUp(double v) {
  const float f = static_cast<float>(v);
  return f < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

BoundingBox boxAround(double minX, double minY, double maxX, double maxY) {
  return {roundedDown(minX), roundedDown(minY), roundedUp(maxX), roundedUp(maxY)};
}

// (p - C(s)) . T(s): positive while the foot lies ahead of s.
struct Along {
  double value, slope;
};
Along alongResidual(const Element& e, PlanePoint p, double s) {
  const ElementPoint at = pointOn(e, s);
  const Direction t = along(at.azimuth);
  const double dx = p.x - at.point.x, dy = p.y - at.point.y;
  const Direction n = rightOf(t);
  return {dx * t.x + dy * t.y, -1 + curvatureAt(e, s) * (dx * n.x + dy * n.y)};
}

double distanceSquared(PlanePoint a, PlanePoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  return dx * dx + dy * dy;
}

// The root of the residual in [lo, hi], where it falls from + to -: Newton
// steps kept inside the bracket, halving it where a step would leave it.
double footBetween(const Element& e, PlanePoint p, double lo, double hi) {
  constexpr double kFootTolerance = 1e-10; // metres along the element
  double s = (lo + hi) / 2;
  for (int i = 0; i < 100 && hi - lo > kFootTolerance; ++i) {
    const Along r = alongResidual(e, p, s);
    (r.value > 0 ? lo : hi) = s;
    const double newton = r.slope < 0 ? s - r.value / r.slope : lo - 1;
    const double next = newton > lo && newton < hi ? newton : (lo + hi) / 2;
    if (std::fabs(next - s) < kFootTolerance)
      return next;
    s = next;
  }
  return s;
}

void keepNearer(Nearest& best, const Element& e, PlanePoint p, double s) {
  const double d = distanceSquared(pointOn(e, s).point, p);
  if (d < best.distanceSquared)
    best = {s, d};
}

// On an arc the foot is where the ray from the centre through p meets it.
double arcFoot(const Element& e, PlanePoint p, double s0, double s1) {
  const double vx = p.x - e.centre.x, vy = p.y - e.centre.y;
  const double footAzimuth = std::atan2(e.turn * vx, -e.turn * vy);
  const double middle = (s0 + s1) / 2;
  const double middleAzimuth = e.azimuth + e.turn * middle / e.radius;
  return middle + e.turn * e.radius * turnBetween(middleAzimuth, footAzimuth);
}

// Where the residual changes sign from + to -, in a few equal parts of the
// range, each turning by at most a quarter turn: one root in each part for
// any point nearer than the radius of curvature, the only points a surveyor
// locates.
constexpr int kClothoidParts = 4;

int clothoidParts(const Element& e) {
  const double quarters = std::ceil(totalTurn(e) / (kHalfTurn / 2));
  return kClothoidParts * int(std::clamp(quarters, 1.0, 64.0));
}

} // namespace

double curvatureAt(const Element& e, double s) {
  switch (e.shape) {
  case Shape::Straight: return 0;
  case Shape::Arc: return e.turn / e.radius;
  case Shape::FirstTransition:
  case Shape::SecondTransition: return e.turn * clothoidLength(e, s) / e.rls;
  case Shape::Spiral: return e.turn * (e.startCurvature + e.curvatureRate * s);
  }
  return 0;
}

double totalTurn(const Element& e) {
  switch (e.shape) {
  case Shape::Straight: return 0;
  case Shape::Arc: return e.length / e.radius;
  case Shape::FirstTransition:
  case Shape::SecondTransition: return clothoidAngle(e.length, e.rls);
  case Shape::Spiral: return std::fabs(spiralAngle(e.length, e.startCurvature, e.curvatureRate));
  }
  return 0;
}

Element straight(int owner, double start, double length, PlanePoint from, double azimuth) {
  Element e;
  e.shape = Shape::Straight;
  e.owner = owner;
  e.start = start;
  e.length = length;
  e.base = from;
  e.azimuth = azimuth;
  return e;
}

Element firstTransition(int owner, double start, double ls, PlanePoint zh, double azimuth,
                        double turn, double radius) {
  Element e = straight(owner, start, ls, zh, azimuth);
  e.shape = Shape::FirstTransition;
  e.turn = turn;
  e.radius = radius;
  e.rls = radius * ls;
  return e;
}

Element arc(int owner, double start, double length, PlanePoint hy, double azimuth, double turn,
            double radius, PlanePoint centre) {
  Element e = straight(owner, start, length, hy, azimuth);
  e.shape = Shape::Arc;
  e.turn = turn;
  e.radius = radius;
  e.centre = centre;
  return e;
}

Element secondTransition(int owner, double start, double ls, PlanePoint hz, double azimuth,
                         double turn, double radius) {
  Element e = firstTransition(owner, start, ls, hz, azimuth, turn, radius);
  e.shape = Shape::SecondTransition;
  return e;
}

Element spiral(int owner, double start, double length, PlanePoint from, double azimuth, double turn,
               double k0, double k1) {
  Element e = straight(owner, start, length, from, azimuth);
  e.shape = Shape::Spiral;
  e.turn = turn;
  e.radius = 1 / std::max(k0, k1);
  e.startCurvature = k0;
  e.endCurvature = k1;
  e.curvatureRate = (k1 - k0) / length;
  return e;
}

ElementPoint pointOn(const Element& e, double s) {
  const Direction t = along(e.azimuth);
  switch (e.shape) {
  case Shape::Straight: return {moved(e.base, t, s), e.azimuth};
  case Shape::Arc: {
    const double azimuth = e.azimuth + e.turn * s / e.radius;
    return {moved(e.centre, rightOf(along(azimuth)), -e.turn * e.radius), azimuth};
  }
  case Shape::FirstTransition:
  case Shape::SecondTransition: {
    const bool first = e.shape == Shape::FirstTransition;
    const double l = clothoidLength(e, s);
    const LocalPoint local = clothoidPoint(l, e.rls);
    const double turned = e.turn * clothoidAngle(l, e.rls);
    const PlanePoint onTangent = moved(e.base, t, first ? local.x : -local.x);
    return {moved(onTangent, rightOf(t), e.turn * local.y),
            first ? e.azimuth + turned : e.azimuth - turned};
  }
  case Shape::Spiral: {
    const LocalPoint local = spiralPoint(s, e.startCurvature, e.curvatureRate);
    const double turned = e.turn * spiralAngle(s, e.startCurvature, e.curvatureRate);
    return {moved(moved(e.base, t, local.x), rightOf(t), e.turn * local.y), e.azimuth + turned};
  }
  }
  return {e.base, e.azimuth};
}

BoundingBox boundsOf(const Element& e, PlanePoint a, PlanePoint b) {
  const PlanePoint m = pointOn(e, e.length / 2).point;
  // Each half turns by at most the element's whole turn, so it strays from
  // its chord by at most half its length times min(1, turn).
  const double margin = e.length / 4 * std::min(1.0, totalTurn(e)) + 1e-9;
  return boxAround(std::min({a.x, m.x, b.x}) - margin, std::min({a.y, m.y, b.y}) - margin,
                   std::max({a.x, m.x, b.x}) + margin, std::max({a.y, m.y, b.y}) + margin);
}

BoundingBox boundsOf(PlanePoint a, PlanePoint b) {
  constexpr double kMargin = 1e-6; // for the rounding of the straight's own formula
  return boxAround(std::min(a.x, b.x) - kMargin, std::min(a.y, b.y) - kMargin,
                   std::max(a.x, b.x) + kMargin, std::max(a.y, b.y) + kMargin);
}

double distanceSquaredTo(const BoundingBox& box, PlanePoint p) {
  const double dx = std::max({double{box.minX} - p.x, 0.0, p.x - double{box.maxX}});
  const double dy = std::max({double{box.minY} - p.y, 0.0, p.y - double{box.maxY}});
  return dx * dx + dy * dy;
}

BoundingBox unite(const BoundingBox& a, const BoundingBox& b) {
  return {std::min(a.minX, b.minX), std::min(a.minY, b.minY), std::max(a.maxX, b.maxX),
          std::max(a.maxY, b.maxY)};
}

Nearest nearestOn(const Element& e, PlanePoint p, double s0, double s1) {
  Nearest best{s0, distanceSquared(pointOn(e, s0).point, p)};
  keepNearer(best, e, p, s1);
  switch (e.shape) {
  case Shape::Straight: {
    const Direction t = along(e.azimuth);
    const double s = (p.x - e.base.x) * t.x + (p.y - e.base.y) * t.y;
    keepNearer(best, e, p, std::clamp(s, s0, s1));
    break;
  }
  case Shape::Arc: keepNearer(best, e, p, std::clamp(arcFoot(e, p, s0, s1), s0, s1)); break;
  case Shape::FirstTransition:
  case Shape::SecondTransition:
  case Shape::Spiral: {
    const int parts = clothoidParts(e);
    const double step = (s1 - s0) / parts;
    double lo = s0, before = alongResidual(e, p, lo).value;
    for (int part = 1; part <= parts; ++part) {
      const double hi = part == parts ? s1 : s0 + part * step;
      const double after = alongResidual(e, p, hi).value;
      if (before > 0 && after <= 0)
        keepNearer(best, e, p, footBetween(e, p, lo, hi));
      lo = hi;
      before = after;
    }
    break;
  }
  }
  return best;
}

} // namespace quenlor::route

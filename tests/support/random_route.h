// SPDX-License-Identifier: GPL-3.0-or-later
// Random routes for tests and benchmarks, the same for a seed on every
// machine: curves of every kind (right and left, equal, unequal and no
// transitions) on straights long enough for them, so the route has no check,
// heading one way so that it never passes near itself. And random routes by
// elements of every kind the JD pattern cannot give: eggs between arcs,
// S-curves of clothoids back to back, compound arcs, with ordinary curves.
#pragma once

#include "route/definition.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace quenlor::test {

class RandomRoute {
public:
  explicit RandomRoute(std::uint64_t seed) : bits_(seed) {}

  // A uniform number in [low, high), from the generator's bits alone.
  double uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(bits_() >> 11) * 0x1p-53;
  }
  bool chance(double p) { return uniform(0, 1) < p; }

  route::RouteDefinition make(int jdCount) {
    using std::numbers::pi;
    route::RouteDefinition route;
    route.name = "random";
    route.start = {"BP", 3456789.123, 512345.678, 1000};
    double x = route.start.x, y = route.start.y;
    const double mainAzimuth = uniform(0, 2 * pi);
    double azimuth = mainAzimuth, reachBefore = 0;
    for (int i = 0; i < jdCount; ++i) {
      const double size = uniform(3, 60) * pi / 180;
      // Within 60 degrees of the main direction, so the route never comes
      // back near itself.
      double sign = chance(0.5) ? 1 : -1;
      if (std::fabs(azimuth + sign * size - mainAzimuth) > pi / 3)
        sign = -sign;
      route::Jd jd;
      jd.name = "JD" + std::to_string(i + 1);
      jd.radius = std::round(uniform(150, 3000));
      const double room = 0.9 * size * 2 * jd.radius; // Ls1 + Ls2 within beta1 + beta2 < alpha
      jd.ls1 = chance(0.1) ? 0 : std::round(uniform(0.1, 0.5) * std::min(room, jd.radius));
      if (chance(0.4))
        jd.ls2 = std::round(uniform(0, 1) * std::min(room - jd.ls1, jd.radius / 2));
      const double reach =
          jd.radius * std::tan(size / 2) + jd.ls1 + jd.secondTransition() + 1; // > T1, T2
      const double leg = reachBefore + reach + uniform(20, 400);
      x += leg * std::cos(azimuth);
      y += leg * std::sin(azimuth);
      jd.x = x;
      jd.y = y;
      route.jds.push_back(jd);
      azimuth += sign * size;
      reachBefore = reach;
    }
    const double leg = reachBefore + uniform(50, 400);
    route.end = {"EP", x + leg * std::cos(azimuth), y + leg * std::sin(azimuth)};
    return route;
  }

  // About `count` elements, whole curves at a time.
  route::RouteDefinition makeElements(int count) {
    using std::numbers::pi;
    route::RouteDefinition route;
    route.name = "random elements";
    route.method = route::Method::Elements;
    const double main = uniform(0, 2 * pi);
    route.start = {"BP", 3456789.123, 512345.678, 1000, main};
    heading_ = 0; // from the main direction
    while (int(route.elements.size()) < count) {
      add(route, route::ElementKind::Straight, route::kNoRadius, route::kNoRadius,
          std::round(uniform(20, 400)), 0);
      addCurve(route);
    }
    return route;
  }

private:
  using Kind = route::ElementKind;

  // The side a curve turning by `turn` takes to stay within 60 degrees of
  // the main direction: towards it where the other would leave.
  double sideFor(double turn) {
    const double side = chance(0.5) ? 1 : -1;
    return std::fabs(heading_ + side * turn) > std::numbers::pi / 3 ? -side : side;
  }

  void add(route::RouteDefinition& route, Kind kind, double r0, double r1, double length,
           double side) {
    const route::Turn turn =
        side > 0 ? route::Turn::Right : (side < 0 ? route::Turn::Left : route::Turn::None);
    route.elements.push_back({"E" + std::to_string(route.elements.size() + 1), kind, r0, r1, length,
                              turn, std::nullopt, std::nullopt});
    const double k0 = r0 == route::kNoRadius ? 0 : 1 / r0, k1 = r1 == route::kNoRadius ? 0 : 1 / r1;
    heading_ += side * length * (kind == Kind::Arc ? k0 : (k0 + k1) / 2);
  }

  // A clothoid from none to r, an arc (or an egg to a second arc, or a
  // second arc of another radius at once), and a clothoid back to none; or
  // two clothoids each way, back to back.
  void addCurve(route::RouteDefinition& route) {
    const double none = route::kNoRadius;
    const double r1 = std::round(uniform(60, 1500));
    double r2 = std::round(uniform(60, 1500));
    if (r2 == r1) // an egg needs two radii
      r2 += 1;
    const double turn = uniform(5, 40) * std::numbers::pi / 180, side = sideFor(turn);
    const double ls1 = std::round(uniform(0.1, 0.3) * turn * r1 * 2) + 1;
    const double ls2 = std::round(uniform(0.1, 0.3) * turn * r2 * 2) + 1;
    const double arc = std::round(uniform(0.2, 0.4) * turn * r1) + 1;
    switch (int(uniform(0, 4))) {
    case 0: // an ordinary curve
      add(route, Kind::Clothoid, none, r1, ls1, side);
      add(route, Kind::Arc, r1, r1, arc, side);
      add(route, Kind::Clothoid, r1, none, ls1, side);
      break;
    case 1: // an egg between two arcs
      add(route, Kind::Clothoid, none, r1, ls1, side);
      add(route, Kind::Arc, r1, r1, arc, side);
      add(route, Kind::Clothoid, r1, r2,
          std::round(uniform(0.1, 0.3) * turn * std::min(r1, r2)) + 1, side);
      add(route, Kind::Arc, r2, r2, std::round(uniform(0.2, 0.4) * turn * r2) + 1, side);
      add(route, Kind::Clothoid, r2, none, ls2, side);
      break;
    case 2: // an S-curve: two clothoids each way, back to back
      add(route, Kind::Clothoid, none, r1, ls1, side);
      add(route, Kind::Clothoid, r1, none, ls1, side);
      add(route, Kind::Clothoid, none, r2, ls2, -side);
      add(route, Kind::Clothoid, r2, none, ls2, -side);
      break;
    default: // a compound curve: two arcs one after the other
      add(route, Kind::Clothoid, none, r1, ls1, side);
      add(route, Kind::Arc, r1, r1, arc, side);
      add(route, Kind::Arc, r2, r2, std::round(uniform(0.2, 0.4) * turn * r2) + 1, side);
      add(route, Kind::Clothoid, r2, none, ls2, side);
      break;
    }
  }

  std::mt19937_64 bits_;
  double heading_ = 0;
};

inline route::RouteDefinition randomRoute(int jdCount, std::uint64_t seed = 1) {
  return RandomRoute(seed).make(jdCount);
}

inline route::RouteDefinition randomElementRoute(int elementCount, std::uint64_t seed = 1) {
  return RandomRoute(seed).makeElements(elementCount);
}

} // namespace quenlor::test

// SPDX-License-Identifier: GPL-3.0-or-later
// Random routes for tests and benchmarks, the same for a seed on every
// machine: curves of every kind (right and left, equal, unequal and no
// transitions) on straights long enough for them, so the route has no check,
// heading one way so that it never passes near itself.
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

private:
  std::mt19937_64 bits_;
};

inline route::RouteDefinition randomRoute(int jdCount, std::uint64_t seed = 1) {
  return RandomRoute(seed).make(jdCount);
}

} // namespace quenlor::test

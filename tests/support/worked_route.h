// SPDX-License-Identifier: GPL-3.0-or-later
// The route worked by hand in tests/route/route_test.cpp: BP at K1+000, JD1
// turning 45 deg right (R 800, Ls 120), JD2 35 deg left (R 600, Ls 100 and
// 80), JD3 30 deg right (R 1500, no transitions), EP; 5934.348 m long. And
// the ramp by elements worked in tests/route/element_route_test.cpp.
#pragma once

#include "route/definition.h"

#include <cmath>
#include <numbers>

namespace quenlor::test {

inline double radians(double degrees) { return degrees * std::numbers::pi / 180; }

// BP, then legs of the given lengths and azimuths (degrees) to JD1, JD2, JD3 and EP.
inline route::RouteDefinition threeJdRoute() {
  route::RouteDefinition definition;
  definition.start = {"BP", 3456789.123, 512345.678, 1000};
  const double legs[4][2] = {{1200, 30}, {1500, 75}, {1300, 40}, {1000, 70}};
  const route::Jd curves[3] = {{"JD1", 0, 0, 800, 120, std::nullopt},
                               {"JD2", 0, 0, 600, 100, 80},
                               {"JD3", 0, 0, 1500, 0, std::nullopt}};
  double x = definition.start.x, y = definition.start.y;
  for (int i = 0; i < 4; ++i) {
    x += legs[i][0] * std::cos(radians(legs[i][1]));
    y += legs[i][0] * std::sin(radians(legs[i][1]));
    if (i < 3) {
      definition.jds.push_back(curves[i]);
      definition.jds.back().x = x;
      definition.jds.back().y = y;
    }
  }
  definition.end = {"EP", x, y};
  return definition;
}

// A ramp by elements: a straight, a clothoid into R 60, the arc, an egg from
// R 60 to R 150, the arc of R 150, a clothoid out, a straight; turning
// right, from K1+200 heading 30 degrees; 400 m long.
inline route::RouteDefinition workedRamp() {
  using route::ElementKind;
  using route::kNoRadius;
  route::RouteDefinition d;
  d.name = "ramp";
  d.method = route::Method::Elements;
  d.start = {"BP", 3456789.123, 512345.678, 1200, radians(30)};
  const auto row = [](const char* name, ElementKind kind, double r0, double r1, double length) {
    return route::ElementRow{name,         kind,        r0, r1, length, route::Turn::Right,
                             std::nullopt, std::nullopt};
  };
  d.elements = {row("L1", ElementKind::Straight, kNoRadius, kNoRadius, 100),
                row("A1", ElementKind::Clothoid, kNoRadius, 60, 40),
                row("C1", ElementKind::Arc, 60, 60, 60),
                row("A2", ElementKind::Clothoid, 60, 150, 30),
                row("C2", ElementKind::Arc, 150, 150, 50),
                row("A3", ElementKind::Clothoid, 150, kNoRadius, 40),
                row("L2", ElementKind::Straight, kNoRadius, kNoRadius, 80)};
  return d;
}

} // namespace quenlor::test

// SPDX-License-Identifier: GPL-3.0-or-later
// The route worked by hand in tests/route/route_test.cpp: BP at K1+000, JD1
// turning 45 deg right (R 800, Ls 120), JD2 35 deg left (R 600, Ls 100 and
// 80), JD3 30 deg right (R 1500, no transitions), EP; 5934.348 m long.
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

} // namespace quenlor::test

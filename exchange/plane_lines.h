// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of the survey plane given by a point and an azimuth: where two meet
// (a JD from its straights, a PI from the tangents at an element's ends).
#pragma once

#include "route/plane.h"

#include <optional>

namespace quenlor::exchange {

struct PlaneLine {
  PlanePoint at;
  double azimuth = 0;
};

// Lines closer than this to parallel (radians) meet nowhere useful.
inline constexpr double kParallel = 1e-9;

// The point where the two lines meet, computed from the first line's point
// so that survey coordinates keep their digits; nothing for lines (nearly)
// parallel.
inline std::optional<PlanePoint> meeting(const PlaneLine& a, const PlaneLine& b) {
  const route::Direction u = route::along(a.azimuth), v = route::along(b.azimuth);
  const double cross = u.x * v.y - u.y * v.x;
  if (!(std::fabs(cross) > kParallel))
    return std::nullopt;
  const double dx = b.at.x - a.at.x, dy = b.at.y - a.at.y;
  const double t = (dx * v.y - dy * v.x) / cross;
  return route::moved(a.at, u, t);
}

} // namespace quenlor::exchange

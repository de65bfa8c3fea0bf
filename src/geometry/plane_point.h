// SPDX-License-Identifier: GPL-3.0-or-later
// A point of the survey plane: X north, Y east, in the route's length unit.
#pragma once

#include <cmath>

namespace quenlor {

struct PlanePoint {
  double x = 0, y = 0;

  bool operator==(const PlanePoint&) const = default;
};

inline bool isFinite(const PlanePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The point at the given distance from `from` along an azimuth (radians, from
// +X towards +Y): (X + d cos a, Y + d sin a).
inline PlanePoint along(const PlanePoint& from, double azimuth, double distance) {
  return {from.x + distance * std::cos(azimuth), from.y + distance * std::sin(azimuth)};
}

} // namespace quenlor

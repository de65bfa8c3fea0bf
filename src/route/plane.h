// SPDX-License-Identifier: GPL-3.0-or-later
// Points, directions and azimuths of the route's plane, at full precision
// (std::numbers::pi, std::atan2): the route must close over kilometres, so
// none of the short constants of the boxes' formulas enter here.
//
// X is north, Y east; an azimuth turns from +X towards +Y, in radians. A turn
// to the right increases the azimuth.
#pragma once

#include "geometry/plane_point.h"

#include <cmath>
#include <numbers>

namespace quenlor::route {

inline constexpr double kHalfTurn = std::numbers::pi;
inline constexpr double kFullTurn = 2 * std::numbers::pi;

// Coordinates and lengths beyond this (metres) are no survey values.
inline constexpr double kLargestValue = 1e9;

inline bool isUsableValue(double v) { return std::isfinite(v) && std::fabs(v) <= kLargestValue; }

// The unit vector along an azimuth, and the one at right angles to its right.
struct Direction {
  double x, y;
};
inline Direction along(double azimuth) { return {std::cos(azimuth), std::sin(azimuth)}; }
inline Direction rightOf(Direction d) { return {-d.y, d.x}; }

inline PlanePoint moved(PlanePoint p, Direction d, double distance) {
  return {p.x + distance * d.x, p.y + distance * d.y};
}

// Survey coordinates are far from overflowing a square, so no std::hypot.
inline double distanceBetween(PlanePoint a, PlanePoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

// An azimuth reduced to [0, 2 pi).
inline double reducedAzimuth(double azimuth) {
  const double reduced = std::fmod(azimuth, kFullTurn);
  return reduced < 0 ? (reduced + kFullTurn < kFullTurn ? reduced + kFullTurn : 0) : reduced;
}

// The azimuth of the line from a to b, in [0, 2 pi); 0 for a == b.
inline double azimuthBetween(PlanePoint a, PlanePoint b) {
  return reducedAzimuth(std::atan2(b.y - a.y, b.x - a.x));
}

// The signed turn from one azimuth to another, in [-pi, pi]: right positive.
inline double turnBetween(double from, double to) { return std::remainder(to - from, kFullTurn); }

} // namespace quenlor::route

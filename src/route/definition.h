// SPDX-License-Identifier: GPL-3.0-or-later
// A route as the surveyor types it: the design's table of intersection points
// (the "straights, curves and deflections" table), its start and end, its
// chain breaks and its grade points. Plain values; nothing is computed here
// (route.h computes, route_file.h reads and writes them).
//
// Plane coordinates in metres, X north and Y east, as survey coordinates are
// given (3456789.123, 512345.678). Chainages are metres along the centre line,
// written K3+080.500 for 3080.5.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quenlor::route {

// BP: where the route and its chainage start.
struct StartPoint {
  std::string name = "BP";
  double x = 0, y = 0;
  double chainage = 0;

  bool operator==(const StartPoint&) const = default;
};

// An intersection point of two straights, with the curve that joins them: a
// clothoid of length ls1 from the incoming straight, a circular arc of radius
// R, a clothoid of length ls2 to the outgoing straight. ls1 = ls2 = 0 is a
// plain circular curve.
struct Jd {
  std::string name;
  double x = 0, y = 0;
  double radius = 0;
  double ls1 = 0;
  std::optional<double> ls2; // empty: equal to ls1

  double secondTransition() const { return ls2.value_or(ls1); }
  bool operator==(const Jd&) const = default;
};

// EP: where the route ends.
struct EndPoint {
  std::string name = "EP";
  double x = 0, y = 0;

  bool operator==(const EndPoint&) const = default;
};

// A chain break "behind = ahead" (断链): K3+100.000 = K3+080.500 is behind
// 3100, ahead 3080.5. It stands where the chainage counted so far reaches
// behind; beyond it chainages count on from ahead. ahead < behind is a long
// break (some chainages occur twice), ahead > behind a short one (some
// chainages name no point).
struct ChainBreak {
  std::string name;
  double behind = 0, ahead = 0;

  bool operator==(const ChainBreak&) const = default;
};

// A grade point of the vertical profile (变坡点): kept with the route and
// written to its file, computed elsewhere.
struct GradePointRow {
  std::string name;
  double chainage = 0;
  double elevation = 0;
  double verticalRadius = 0; // 0: no vertical curve
  // An asymmetric vertical curve's lengths before and after the point (T1,
  // T2), as design packages give one: both above 0 make it, and Rv is then
  // not used.
  double tangentIn = 0, tangentOut = 0;

  bool operator==(const GradePointRow&) const = default;
};

struct RouteDefinition {
  std::string name;
  StartPoint start;
  std::vector<Jd> jds; // in route order
  EndPoint end;
  std::vector<ChainBreak> breaks; // in route order
  std::vector<GradePointRow> gradePoints;

  bool operator==(const RouteDefinition&) const = default;
};

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// A route as the surveyor types it: the design's table of intersection points
// (the "straights, curves and deflections" table), its start and end, its
// chain breaks and its grade points, and its cross section: the template,
// each curve's superelevation and widening, the station table. Plain values;
// nothing is computed here (route.h computes the centre line, section/ the
// cross section; route_file.h reads and writes them).
//
// Plane coordinates in metres, X north and Y east, as survey coordinates are
// given (3456789.123, 512345.678). Chainages are metres along the centre line,
// written K3+080.500 for 3080.5.
#pragma once

#include "section/road_template.h"
#include "section/runoff.h"

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
  // The curve's superelevation and widening (section/runoff.h); the default
  // is none: the normal crown kept.
  section::CurveSettings section{};

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

// A row of the station table (超高加宽表), as the design institute's sheet
// gives it: at a chainage, the lanes' cross fall of each side (per cent,
// negative falling away from the centre line; none: the side's normal crown
// in the template) and the widening of each side (metres).
struct SectionStation {
  double chainage = 0;
  std::optional<double> leftFall, rightFall;
  double leftWidening = 0, rightWidening = 0;

  bool operator==(const SectionStation&) const = default;
};

// The road's cross section (section/sections.h): the template, and the
// station table with the axis its falls turn the road about; each curve's
// own settings stand with its JD.
struct CrossSection {
  section::Template road; // empty: no cross section
  section::Axis tableAxis = section::Axis::Centre;
  std::vector<SectionStation> stations; // in route order

  bool operator==(const CrossSection&) const = default;
};

struct RouteDefinition {
  std::string name;
  StartPoint start;
  std::vector<Jd> jds; // in route order
  EndPoint end;
  std::vector<ChainBreak> breaks; // in route order
  std::vector<GradePointRow> gradePoints;
  CrossSection section{};

  bool operator==(const RouteDefinition&) const = default;
};

} // namespace quenlor::route

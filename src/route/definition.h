// SPDX-License-Identifier: GPL-3.0-or-later
// A route as the surveyor types it, one of two ways: the design's table of
// intersection points (交点法, the "straights, curves and deflections"
// table) between its start and end, or its table of elements (线元法:
// straights, arcs and clothoids chained from the start). Either with its
// chain breaks, its grade points and its cross section: the template, each
// curve's superelevation and widening, the station table. Plain values;
// nothing is computed here (route.h computes the centre line, section/ the
// cross section; route_file.h reads and writes them).
//
// Plane coordinates in metres, X north and Y east, as survey coordinates are
// given (3456789.123, 512345.678). Chainages are metres along the centre line,
// written K3+080.500 for 3080.5. Azimuths in radians from X towards Y.
#pragma once

#include "section/road_template.h"
#include "section/runoff.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace quenlor::route {

// How the route is given: by its JDs from BP to EP, or by its elements from
// BP on. A definition holds the rows of one; the other's are not used (the
// route says so among its checks).
enum class Method { Jds, Elements };

// BP: where the route and its chainage start; for a route by elements also
// the azimuth its first element starts along.
struct StartPoint {
  std::string name = "BP";
  double x = 0, y = 0;
  double chainage = 0;
  double azimuth = 0; // radians; a route by elements only

  bool operator==(const StartPoint&) const = default;
};

// An intersection point of two straights, with the curve that joins them: a
// clothoid of length ls1 from the incoming straight, a circular arc of radius
// R, a clothoid of length ls2 to the outgoing straight. ls1 = ls2 = 0 is a
// plain circular curve.
//
// What the design's table gives besides: the JD's chainage (交点桩号) and
// its deflection (转角), each a check of what the route computes. The typed
// deflection also turns the outgoing straight where the point after the JD
// is not known by its coordinates but placed by its distance along that
// straight (`distance`: of the next JD or of EP); x and y of a point so
// placed are not used.
struct Jd {
  std::string name;
  double x = 0, y = 0;
  double radius = 0;
  double ls1 = 0;
  std::optional<double> ls2;                       // empty: equal to ls1
  std::optional<double> chainage = std::nullopt;   // as the table gives it, metres
  std::optional<double> deflection = std::nullopt; // typed: packed DMS, right positive
  std::optional<double> distance = std::nullopt;   // placed this far from the JD before
  // The curve's superelevation and widening (section/runoff.h); the default
  // is none: the normal crown kept.
  section::CurveSettings section{};

  double secondTransition() const { return ls2.value_or(ls1); }
  bool operator==(const Jd&) const = default;
};

// EP: where the route ends, at x and y or placed by its distance from the
// last JD (as a JD is), with its chainage as the table gives it (a check). A
// route by elements ends where its last element does: its EP is a name only.
struct EndPoint {
  std::string name = "EP";
  double x = 0, y = 0;
  std::optional<double> chainage = std::nullopt; // as the table gives it, metres
  std::optional<double> distance = std::nullopt; // placed this far from the last JD

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

// What an element of a route by elements is.
enum class ElementKind { Straight, Arc, Clothoid };

// The side an element turns to, looking along the route; None: not given.
enum class Turn { None, Left, Right };

// The radius of no curvature: a straight's, a clothoid's end on a straight.
inline constexpr double kNoRadius = std::numeric_limits<double>::infinity();

// A row of the element table (线元表), chained from where the element before
// ends (BP for the first), along its direction there:
//   - a straight of the length; its radii and side are not looked at;
//   - a circular arc of the start radius (the end radius where only that is
//     given) turning to the side;
//   - a clothoid whose curvature runs evenly from 1 / start radius to
//     1 / end radius over the length, turning to the side: from a straight
//     into an arc (start radius none), the egg between two arcs, out of an
//     arc onto a straight (end radius none).
// Field tables often give each element's start coordinates too: where given,
// they are a check of the chain, never a place the chain jumps to.
struct ElementRow {
  std::string name; // of its start point
  ElementKind kind = ElementKind::Straight;
  double startRadius = kNoRadius, endRadius = kNoRadius;
  double length = 0;
  Turn turn = Turn::None;
  std::optional<double> x, y; // its start as the table gives it: a check
  // An arc's superelevation and widening (section/runoff.h), as a JD's;
  // not used on other elements.
  section::CurveSettings section{};

  bool operator==(const ElementRow&) const = default;
};

// An instrument station kept with the route (测站) and the backsight it is
// oriented on (后视), so that a crew's set-ups are typed once: the stake
// table and its sheets set out from the one in use.
struct StationRow {
  std::string name;
  double x = 0, y = 0;
  std::optional<double> elevation, instrumentHeight; // empty: not known
  std::string backsightName;
  double backsightX = 0, backsightY = 0;
  bool inUse = false; // at most one station of a route

  bool operator==(const StationRow&) const = default;
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
// own settings stand with its JD or arc element.
struct CrossSection {
  section::Template road; // empty: no cross section
  section::Axis tableAxis = section::Axis::Centre;
  std::vector<SectionStation> stations; // in route order

  bool operator==(const CrossSection&) const = default;
};

struct RouteDefinition {
  std::string name;
  Method method = Method::Jds;
  StartPoint start;
  std::vector<Jd> jds; // in route order
  EndPoint end;
  std::vector<ElementRow> elements; // in route order
  std::vector<ChainBreak> breaks;   // in route order
  std::vector<GradePointRow> gradePoints;
  std::vector<StationRow> stations;
  CrossSection section{};

  bool operator==(const RouteDefinition&) const = default;
};

} // namespace quenlor::route

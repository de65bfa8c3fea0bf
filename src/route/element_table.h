// SPDX-License-Identifier: GPL-3.0-or-later
// The element table (线元表) of any route, a route by JDs included: what a
// field calculator or a total station's road program is given, one row an
// element of some length in route order, each with where it starts:
//   kind, name, start measure and station, start X, Y and azimuth, start
//   radius, end radius (kNoRadius: none), length, turning side.
// A JD's curve gives its transitions and arc as rows (a transition or arc of
// no length gives none), each straight a row; a row is named by the point it
// starts at: "BP", "JD3 ZH", "JD3 HY", "JD3 YH", "JD3 HZ" (ZY, YZ without a
// transition; "JD #3" for a JD without a name). A route by elements gives
// its elements as made (route.h), named by their rows.
//
// elementDefinition turns a route into a route by elements through its
// table: BP with the first element's azimuth, every row with its start as a
// check, the chain breaks, the grade points and the name. Chained again, the
// elements land where the route has them (to 1e-9 m over a route of
// kilometres: tests/route/element_route_test.cpp). A route whose direction
// jumps cannot be chained: one with an angle point (a JD without curve), or
// whose curves overlap; its table lists what it has, and the route made from
// it runs elsewhere from there.
#pragma once

#include "route/route.h"

#include <vector>

namespace quenlor::route {

struct ElementTableRow {
  std::string name;
  ElementKind kind = ElementKind::Straight;
  double startMeasure = 0;
  Station startStation;
  PlanePoint start;        // in the plane
  double startAzimuth = 0; // radians, [0, 2 pi)
  double startRadius = kNoRadius, endRadius = kNoRadius;
  double length = 0;
  Turn turn = Turn::None;
};

struct ElementTable {
  std::vector<ElementTableRow> rows;
  std::optional<CentrePoint> end; // where the last row ends: EP
};

ElementTable elementTable(const Route& route);

RouteDefinition elementDefinition(const Route& route);

} // namespace quenlor::route

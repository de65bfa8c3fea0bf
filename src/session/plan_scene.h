// SPDX-License-Identifier: GPL-3.0-or-later
// What the plan view of the route draws, computed from the texts the boxes
// hold (read with the same lenient parse as every computation) and from the
// route's own point-at-chainage geometry. No toolkit: a view only scales,
// styles and paints it. Coordinates are the route's: X north, Y east.
#pragma once

#include "geometry/plane_point.h"

#include <optional>
#include <string>
#include <vector>

namespace quenlor {

class Form;

using Polyline = std::vector<PlanePoint>;

struct PlanSegment {
  PlanePoint from, to;
};

enum class MarkerKind {
  IntersectionPoint,
  NextIntersectionPoint,
  MainPoint,
  ComputedPoint,
  Station,
  Backsight
};

struct PlanMarker {
  MarkerKind kind;
  PlanePoint at;
  std::string label; // "JD", "ZH K0+500.000", ...
};

struct PlanScene {
  Polyline incomingStraight, outgoingStraight;
  Polyline firstTransition, arc, secondTransition;
  std::vector<PlanSegment> tangents;   // from the JD to ZH and to HZ
  std::vector<PlanSegment> sightLines; // from the station
  std::vector<PlanMarker> markers;

  struct Bounds {
    double minX, minY, maxX, maxY;
  };
  // The smallest box holding everything drawn; nothing when nothing is.
  std::optional<Bounds> bounds() const;
  // The same without the straights and the next JD, which may lie far off:
  // what a view fits to, so that the curve fills it.
  std::optional<Bounds> focusBounds() const;
};

// The scene for the form as its boxes now stand. Anything that is not well
// defined (an empty radius, a curve that faults, a point beyond the double
// range) is left out; the rest is drawn.
PlanScene buildPlanScene(const Form& form);

} // namespace quenlor

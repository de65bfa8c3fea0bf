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
  RouteEnd, // BP or EP of a whole route
  MainPoint,
  ComputedPoint, // the point the boxes show for the chainage in Text26
  StalePoint,    // the same, no longer the curve's point at that chainage
  CurrentPoint,  // the curve's point at that chainage, beside a stale one
  Station,
  Backsight,
  SideStake,    // the field tools' side stake
  MeasuredPoint // the point whose chainage and offset the tools found
};

struct PlanMarker {
  MarkerKind kind;
  PlanePoint at;
  std::string label; // "JD", "ZH K0+500.000", ...
};

// A stake of the stake table, drawn as a tick across the centre line.
struct PlanTick {
  PlanePoint at;
  double azimuth; // of the centre line, radians
};

struct PlanScene {
  Polyline incomingStraight, outgoingStraight;
  Polyline firstTransition, arc, secondTransition;
  // A whole route's pieces, and the curve of the JD picked out on it.
  std::vector<Polyline> straights, transitions, arcs, picked;
  std::vector<PlanSegment> tangents;   // from the JD to ZH and to HZ
  std::vector<PlanSegment> sightLines; // from the station
  std::vector<PlanSegment> offsets;    // from the centre line to the tools' points
  std::vector<PlanMarker> markers;
  std::vector<PlanTick> ticks;

  struct Bounds {
    double minX, minY, maxX, maxY;
  };
  // The smallest box holding everything drawn; nothing when nothing is.
  std::optional<Bounds> bounds() const;
  // The same without the straights and the next JD, which may lie far off:
  // what a view fits to, so that the curve fills it.
  std::optional<Bounds> focusBounds() const;
};

struct FieldAnswers;

// The scene for the form as its boxes now stand. Anything that is not well
// defined (an empty radius, a curve that faults, a point beyond the double
// range) is left out; the rest is drawn. The curve is the one the curve
// elements describe, with its own second transition. When the point in
// Text27 and Text28 is more than a millimetre from the curve's point at the
// chainage in Text26 (the point of the boxes is recomputed only when Text26
// is edited), it is marked out of date and the curve's point is marked too.
PlanScene buildPlanScene(const Form& form);

// The points of the boxes alone, without their curve: the JD, the point at
// the chainage in Text26 (out of date or not), the station and the backsight
// with the sight lines; what the plan of a whole route adds of the boxes.
void addBoxesPoints(PlanScene& scene, const Form& form);

// Adds the field tools' points: the side stake, the measured point with the
// foot of its offset, and the stake table's stakes as ticks (a table of more
// than kMostTicks rows draws none: too many to tell apart).
void addFieldTools(PlanScene& scene, const FieldAnswers& answers);
inline constexpr std::size_t kMostTicks = 5000;

} // namespace quenlor

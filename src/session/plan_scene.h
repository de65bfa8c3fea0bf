// SPDX-License-Identifier: GPL-3.0-or-later
// What the plan view draws: a centre line (alignment/centre_line.h), the
// boxes' curve or a whole route, drawn by one procedure, with what the boxes
// and the field tools add. No toolkit: a view only scales, styles and paints
// it. Coordinates are the survey's: X north, Y east.
#pragma once

#include "alignment/centre_line.h"
#include "geometry/plane_point.h"

#include <optional>
#include <string>
#include <vector>

namespace quenlor {

class Form;
namespace section {
class Sections;
} // namespace section

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
  // The centre line's pieces, and those of the JD (or element) picked out on
  // it, drawn again.
  std::vector<Polyline> straights, transitions, arcs, picked;
  std::vector<Polyline> edges;         // the road's, each side's (addRoadEdges)
  std::vector<PlanSegment> tangents;   // from the JD to ZH and to HZ
  std::vector<PlanSegment> sightLines; // from the station
  std::vector<PlanSegment> offsets;    // from the centre line to the tools' points
  std::vector<PlanMarker> markers;
  std::vector<PlanTick> ticks;
  // Part of a long line at a view's detail (addCentreLine): its main points'
  // labels may crowd each other, and one that would cover another is left out.
  bool crowded = false;

  struct Bounds {
    double minX, minY, maxX, maxY;
  };
  // The smallest box holding everything drawn; nothing when nothing is.
  std::optional<Bounds> bounds() const;
  // The same without the straights and the next JD, which may lie far off:
  // what a view fits to, so that the curve fills it.
  std::optional<Bounds> focusBounds() const;
};

// More main points than this in view are not marked (a picked JD's still are).
inline constexpr std::size_t kMostMainPointsShown = 200;

// A centre line as a view of part of it shows it: the pieces that may lie in
// `view`, each sampled only as finely as its curvature needs for a line that
// strays from the true one by less than half a pixel (points closer than a
// pixel merged), a run of pieces a few pixels long drawn as one line of the
// straights' colour; the pieces of the picked owner (Piece::owner) again in
// `picked`; and the main points in view, each marked with its name and
// station, where no more than kMostMainPointsShown are (the picked owner's
// always).
void addCentreLine(PlanScene& scene, const CentreLine& line, const PlanScene::Bounds& view,
                   double metresPerPixel, std::optional<int> pickedOwner);

// The road's edges on the pieces of a centre line that may lie in view (or
// within two of the template's sides of it): each side's edge at its width
// from the centre line with its widening there (section/sections.h), one
// polyline a side a piece, sampled at least every kEdgeStep metres (the
// widening changes along a runoff) and as finely as the inner edge's
// curvature needs for a line that strays by less than half a pixel. None
// where the template's wider side, without widening, is narrower than
// kEdgePixels at the view's scale: the edges would merge with the centre
// line, and a view of a long route pays nothing for them.
inline constexpr double kEdgePixels = 4;
inline constexpr double kEdgeStep = 5; // metres
void addRoadEdges(PlanScene& scene, const CentreLine& line, const section::Sections& sections,
                  const PlanScene::Bounds& view, double metresPerPixel);

// The whole of a short centre line: every piece sampled so that it strays
// from the true line by less than `tolerance` metres (at most 2000 chords a
// piece), every main point marked. Main points in one place share a marker
// ("ZH/HY K0+866.025"), here and above.
void addWholeCentreLine(PlanScene& scene, const CentreLine& line, double tolerance);

struct FieldAnswers;

// The scene for the form as its boxes now stand: the boxes' curve as a
// centre line (chainage/curve_line.h, drawn where Text9 holds a radius),
// the tangents from the JD to ZH and HZ, and the boxes' points. Anything that
// is not well defined (an empty radius, a curve that faults, a point beyond
// the double range) is left out; the rest is drawn. When the point in Text27
// and Text28 is more than a millimetre from the curve's point at the
// chainage in Text26 (the point of the boxes is recomputed only when Text26
// is edited), it is marked out of date and the curve's point is marked too.
PlanScene buildPlanScene(const Form& form);

// The points of the boxes alone, without their curve: the JD, the point at
// the chainage in Text26 (out of date or not; none from an incomplete curve,
// curve_of_boxes.h), the station and the backsight with the sight lines;
// what the plan of a whole route adds of the boxes.
void addBoxesPoints(PlanScene& scene, const Form& form);

// Adds the field tools' points: the side stake, the measured point with the
// foot of its offset, and the stake table's stakes as ticks (a table of more
// than kMostTicks rows draws none: too many to tell apart).
void addFieldTools(PlanScene& scene, const FieldAnswers& answers);
inline constexpr std::size_t kMostTicks = 5000;

} // namespace quenlor

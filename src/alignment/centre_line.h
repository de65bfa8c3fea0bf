// SPDX-License-Identifier: GPL-3.0-or-later
// One centre line, whatever describes it: the curve the boxes describe (one
// JD's curve between its two straights, chainage/curve_line.h) or a whole
// route of JDs or of elements (route/route.h). The field tools, the plan, the
// stake table and its files and the drawing for CAD are written once over
// this interface; each line keeps its own formulas.
//
// Measures and stations. A point of the line is named by its measure, the
// distance along the line from a fixed point of it, and read by the surveyor
// as its station (chainage and occurrence, alignment/station.h):
//   - on the boxes' curve the measure is the chainage itself, every chainage
//     names one point (the occurrence is not looked at), and the line runs on
//     along its two straights without end;
//   - on a route the measure runs from 0 at BP to the route's length at EP,
//     and chain breaks part chainage from measure (route/chainage_map.h).
//
// No answer. A query that has none gives nothing: a station that names no
// point (in a short chain break's gap, beyond a route's ends, an occurrence
// there is not), a measure beyond a route's ends, a point of the boxes'
// curve that is not a finite number (a zero radius). Whoever shows the
// answer words why (the route's own reasons: route.h).
//
// Coordinates are the survey's: X north, Y east, metres; azimuths in radians
// from +X towards +Y, so a turn to the right increases them.
#pragma once

#include "alignment/station.h"
#include "geometry/plane_point.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor {

// A point of the centre line with the azimuth of its tangent, towards
// increasing measure: in [0, 2 pi) on a route, as its formulas give it (not
// reduced) on the boxes' curve, so that its side stakes keep their digits.
struct CentrePoint {
  double measure = 0;
  PlanePoint point;
  double azimuth = 0;
};

// The stake at an offset from a centre point, at right angles to the
// tangent: right of the direction of increasing measure positive, left
// negative. (X - d sin a, Y + d cos a.)
PlanePoint sideStake(const CentrePoint& centre, double offset);

// The chainage and offset of a point of the plane: the foot of the
// perpendicular from it on the centre line (the nearest such foot), its
// station, and the offset from the foot, right positive. Beyond a route's
// ends the foot lies on its first or last tangent extended (flagged), with a
// measure below 0 or above the length.
struct Location {
  CentrePoint foot;
  Station station;
  double offset = 0;
  bool beyondStart = false, beyondEnd = false;
};

// What a stake of a stake table is: a stake at an interval, or a named point.
enum class StakeKind {
  Interval,
  Start, // BP
  End,   // EP
  ZH,
  HY,
  QZ,
  YH,
  HZ,
  ZY,           // ZH = HY, no first transition
  YZ,           // YH = HZ, no second transition
  AnglePoint,   // a JD without curve
  ElementStart, // where an element of an element route starts, off the JD pattern
  BreakBehind,  // the chainage behind a chain break
  BreakAhead,   // the chainage ahead of it, at the same place
};

// "", "BP", "EP", "ZH", "HY", "QZ", "YH", "HZ", "ZY", "YZ", "JD", "element",
// "behind", "ahead".
const char* stakeKindName(StakeKind kind);

// A stake of a table: where it stands, as measure and station, what it is,
// and the index of the JD, element or chain break it marks (-1 for none).
struct StakePosition {
  double measure = 0;
  Station station;
  StakeKind kind = StakeKind::Interval;
  int index = -1;
};

// A named point of the line: where it stands, what it is, and the JD or
// element it belongs to (-1 for none).
struct NamedPoint {
  double measure = 0;
  StakeKind kind = StakeKind::Interval;
  int index = -1;
};

// Where the stakes at an interval stand: at the whole multiples of it (整桩号)
// or at the table's first stake plus whole intervals.
enum class StakeSpacing { WholeStations, FromStart };

// The stakes between two measures (either way round), at an interval (<= 0
// or not a number: the named points alone).
struct StakeRequest {
  double fromMeasure = 0, toMeasure = 0;
  double interval = 20;
  StakeSpacing spacing = StakeSpacing::WholeStations;

  bool operator==(const StakeRequest&) const = default;
};

// A stake table lists at most this many rows; one that would hold more stops
// there and says so.
inline constexpr std::size_t kMaxStakeRows = 100000;

// The rows of a stake table in order along the line, each made when asked
// for: a table costs the same to hold whatever its length. Each line has its
// own rules for where the stakes stand (chainage/stake_table.h,
// route/stakes.h).
class StakePositions {
public:
  virtual ~StakePositions() = default;
  virtual std::size_t size() const = 0; // at most kMaxStakeRows
  virtual StakePosition at(std::size_t row) const = 0;
  virtual bool truncated() const = 0; // more rows were asked for than it holds
};

// What a piece of the line is drawn as.
enum class PieceKind { Straight, Arc, Transition };

// A piece of the line drawn as a circular arc, exactly: its centre, radius
// and the side it turns to.
struct Circle {
  PlanePoint centre;
  double radius = 0;
  bool turnsRight = false;
};

// A piece of the line to draw, between two measures: its kind, the least
// radius of curvature along it (infinite on a straight), how finely a drawing
// samples it, the circle where it is one exactly, and the row of the line's
// table it comes from (the JD of a route's curve, an element of an element
// route; -1 for a route's straights and the boxes' curve), what a view picks
// out.
struct Piece {
  double from = 0, to = 0;
  PieceKind kind = PieceKind::Straight;
  double leastRadius = std::numeric_limits<double>::infinity();
  std::optional<Circle> circle;
  int owner = -1;
};

class CentreLine {
public:
  virtual ~CentreLine() = default;

  // The station at a measure, and the measure of a station (none: it names
  // no point).
  virtual Station stationAt(double measure) const = 0;
  virtual std::optional<double> measureOf(const Station& station) const = 0;

  // The point at a measure, or at a station.
  virtual std::optional<CentrePoint> pointAt(double measure) const = 0;
  std::optional<CentrePoint> pointAt(const Station& station) const;

  // The chainage and offset of a point of the plane.
  virtual std::optional<Location> locate(PlanePoint p) const = 0;

  // The stake table between two measures, with the named points in it.
  virtual std::unique_ptr<const StakePositions> stakes(const StakeRequest& request) const = 0;

  // The named points of the line in order along it (BP, EP and the chain
  // breaks are the stake table's, not among them): what a plan and a
  // drawing mark.
  virtual const std::vector<NamedPoint>& mainPoints() const = 0;

  // The name of a named point as a plan, a drawing and the stake table write
  // it: stakeKindName, or an element's own name.
  virtual std::string pointName(StakeKind kind, int index) const;

  // The pieces that may lie in the area from `low` to `high`, in order along
  // the line, and the box that holds every piece (none for a line without
  // one). The boxes' curve has five: its straights as far as a drawing
  // shows them (chainage/curve_line.h), the two transitions and the arc.
  virtual void piecesWithin(PlanePoint low, PlanePoint high,
                            const std::function<void(const Piece&)>& seen) const = 0;
  virtual std::optional<std::pair<PlanePoint, PlanePoint>> extent() const = 0;
};

} // namespace quenlor

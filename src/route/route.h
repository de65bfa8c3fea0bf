// SPDX-License-Identifier: GPL-3.0-or-later
// A whole route: BP, the intersection points (JDs) with their curves, EP and
// the chain breaks, computed exactly and kept up to date through edits.
//
// Geometry. The straights join BP, the JDs and EP in order; each JD's curve
// (curve.h: clothoid, arc, clothoid, exact) joins its two straights, so the
// centre line is continuous in position and direction at every main point.
// Everything is computed relative to BP rounded to whole metres, so survey
// coordinates of seven digits keep their last tenth of a micrometre.
//
// Measures and chainages. The measure is the distance along the centre line
// from BP. A JD's chainage is the previous JD's chainage (BP's for the first)
// plus the distance between them minus the previous curve's T1 + T2 - L; EP
// likewise. In measures: ZH = JD - T1, then HY, QZ, YH, HZ along the curve
// (curve.h). Chain breaks turn measures into chainages (chainage_map.h).
//
// Checks, shown not hidden: what is wrong is reported with the JD (or chain
// break) it concerns, and the rest of the route is computed as usual:
//   - a JD with a coordinate that is not a number within +-1e9 m, or that
//     stands within a millimetre of the point before it (BP or the JD before)
//     or of EP, is left out: the straights run past it, and its chainages are
//     those of the point it stands on (of the point before it when unusable);
//   - a radius that is not positive, a negative transition, a deflection of
//     (nearly) zero, transitions too long for the deflection
//     (beta1 + beta2 > alpha) or an R or Ls beyond 1e9: the JD is an angle
//     point without curve;
//   - curves that overlap (HZ of one JD beyond ZH of the next), the first
//     curve starting before BP, the last ending beyond EP: the elements keep
//     their values; along the centre line the earlier curve runs to its end
//     and the later one takes over from there (a visible jump);
//   - a chain break outside the route or not beyond the break before it: left
//     out;
//   - BP or EP not usable, or a route of no length (EP on BP without JDs,
//     or behind the last curve): the route has no geometry, and every query
//     says so.
//
// Editing. Every edit recomputes only the curves whose inputs changed (the
// edited JD and its neighbours); measures, chainages downstream, the checks
// and the spatial index are refreshed in a few linear passes (about a
// millisecond for 10,000 JDs).
//
// Beyond the ends. locate() extends the centre line beyond BP and EP along
// its tangents there (the first and last straights, extended): such points
// get a measure below 0 or above length(). pointAt() takes only measures on
// the route.
#pragma once

#include "numeric/expected.h"
#include "route/chainage_map.h"
#include "route/curve.h"
#include "route/definition.h"
#include "route/element.h"
#include "route/element_tree.h"
#include "route/station.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor::route {

// A JD nearer than this to the point before it, or to EP, is the same point.
inline constexpr double kSamePoint = 1e-3;

enum class CheckKind {
  UnusableNumber,     // left out, or an angle point when it is R or Ls
  SamePoint,          // left out
  RadiusNotPositive,  // angle point
  NegativeTransition, // angle point
  ZeroDeflection,     // angle point
  TransitionsTooLong, // angle point
  CurvesOverlap,      // jd: the first of the two
  StartLegTooShort,   // the first curve starts before BP
  EndLegTooShort,     // the last curve ends beyond EP
  BreakOutsideRoute,  // left out
  BreakOutOfOrder,    // left out
  NoRoute,            // BP or EP unusable, EP on BP
};

struct Check {
  CheckKind kind;
  int jd = -1;         // index of the JD concerned, or -1
  int chainBreak = -1; // index of the chain break concerned, or -1
  std::string message; // one line naming it: "JD3: ..."
};

struct JdResult {
  bool inRoute = false; // false: left out (see the checks); its curve is then
                        // empty, all its points at the JD as typed
  Curve curve;          // azimuths, deflection, elements, main points in the plane
  double measure = 0;   // where the JD's chainage stands
  MainPoints mainPoints;
};

// A point of the centre line.
struct CentrePoint {
  double measure = 0;
  PlanePoint point;
  double azimuth = 0; // of the tangent, towards increasing measure, [0, 2 pi)
  int jd = 0;         // the JD of the curve; on a straight the JD it leads to,
                      // jdCount() for the straight to EP
  Stretch stretch = Stretch::Straight;
};

// The chainage and offset of a point of the plane.
struct Location {
  CentrePoint foot;  // the nearest point of the centre line
  Station station;   // of the foot
  double offset = 0; // from the foot, right of the direction of the route positive
  bool beyondStart = false, beyondEnd = false; // the foot on a straight extended
};

class Route {
public:
  explicit Route(RouteDefinition definition = {});

  const RouteDefinition& definition() const { return definition_; }

  // Edits; each recomputes what it changes. An index of no JD throws
  // std::out_of_range (insertJd appends for any index from jdCount() on).
  void replaceJd(std::size_t index, Jd jd);
  void insertJd(std::size_t index, Jd jd); // before index
  void eraseJd(std::size_t index);
  void setStart(StartPoint start);
  void setEnd(EndPoint end);
  void setBreaks(std::vector<ChainBreak> breaks);
  void setGradePoints(std::vector<GradePointRow> gradePoints);
  void setName(std::string name);
  // The cross section changes no geometry.
  void setCrossSection(CrossSection section);
  void setCurveSection(std::size_t jd, section::CurveSettings settings);

  // Results.
  std::size_t jdCount() const { return definition_.jds.size(); }
  JdResult jd(std::size_t index) const;     // coordinates in the plane
  double length() const { return length_; } // measure of EP; 0 without geometry
  bool hasGeometry() const { return length_ > 0; }
  const std::vector<Check>& checks() const { return checks_; }
  const ChainageMap& chainages() const { return chainages_; }

  // Measures and chainages (chainage_map.h).
  Station stationAt(double measure) const { return chainages_.stationAt(measure); }
  std::vector<double> measuresOf(double chainage) const { return chainages_.measuresOf(chainage); }
  Expected<double> measureOf(const Station& station) const;

  // The point at a measure from 0 to length() (a micrometre beyond either end
  // counts as the end), or why there is none.
  Expected<CentrePoint> pointAt(double measure) const;
  Expected<CentrePoint> pointAt(const Station& station) const;

  // The nearest point of the centre line to p: a perpendicular foot on one of
  // the straights, clothoids or arcs (or a corner at an angle point), found
  // through a bounding-volume tree; beyond BP and EP on the tangents there.
  Expected<Location> locate(PlanePoint p) const;

  // The pieces (indices into pieces()) that may lie in the plane's area from
  // `low` to `high`, in route order, found through the same tree: what a view
  // of part of a long route draws. And the box that holds the whole centre
  // line, in the plane.
  void piecesWithin(PlanePoint low, PlanePoint high,
                    const std::function<void(std::size_t)>& seen) const;
  std::optional<std::pair<PlanePoint, PlanePoint>> extent() const;

  // The pieces of the centre line in route order, each with the measures it
  // covers (where curves overlap the later one is cut): what a plan draws.
  struct Piece {
    double from, to; // measures
    int element;     // for element()
  };
  const std::vector<Piece>& pieces() const { return pieces_; }

  // The elements of the centre line: for each JD its incoming straight, first
  // clothoid, arc and second clothoid (k = 4 * jd + 0 ... 3), then the
  // straight to EP (k = 4 * jdCount()). Elements of length 0 (a transition
  // of 0, an angle point, a JD left out) make no piece. Made on demand, in
  // the route's local coordinates: the plane's minus origin().
  std::size_t elementCount() const { return 4 * jds_.size() + 1; }
  Element element(std::size_t k) const;
  PlanePoint origin() const { return origin_; }

private:
  struct JdState {
    bool inRoute = false;
    bool stale = true;         // its own values changed since its curve was made
    PlanePoint previous, next; // the points its curve was made with, local
    Curve curve;               // local coordinates
    Box boxes[3]{};            // of its clothoids and arc
    double measure = 0;

    MainPoints main() const { return mainPointsOf(curve, measure); }
  };

  void update();
  void placeOrigin();
  bool usablePoint(double x, double y) const;
  PlanePoint local(double x, double y) const;
  PlanePoint plane(PlanePoint local) const;
  void findVertices();
  void computeCurves();
  void carryMeasures();
  void cutPieces();
  void collectChecks();
  void checkEnds();
  void checkJd(std::size_t index);
  void checkLegs();
  void checkBreaks();
  void addCheck(CheckKind kind, int jd, int chainBreak, std::string message);
  Element straightInto(std::size_t jd) const;
  Element straightToEnd() const;
  Box pieceBox(const Piece& piece) const;
  CentrePoint centreFromElement(const Element& e, double measure) const;
  std::string jdLabel(std::size_t index) const;

  RouteDefinition definition_;
  PlanePoint origin_;
  bool usable_ = false;
  std::vector<JdState> jds_;
  std::vector<int> vertexBefore_; // per JD: the in-route JD before it, -1 for BP
  int lastVertex_ = -1;           // the last in-route JD, -1 for none
  double length_ = 0;
  double endMeasure_ = 0; // of EP as carried, before it is kept from going below 0
  std::vector<Piece> pieces_;
  ElementTree tree_;
  ChainageMap chainages_;
  std::vector<Check> checks_;
};

// The side stake at an offset from a centre point, at right angles to the
// tangent: right of the direction of the route positive, left negative.
PlanePoint sideStake(const CentrePoint& centre, double offset);

} // namespace quenlor::route

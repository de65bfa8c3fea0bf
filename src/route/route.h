// SPDX-License-Identifier: GPL-3.0-or-later
// A whole route: BP, the intersection points (JDs) with their curves, EP and
// the chain breaks, computed exactly and kept up to date through edits; or
// BP and a chain of elements (definition.h: Method).
//
// Geometry by JDs. The straights join BP, the JDs and EP in order; each JD's curve
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
//     says so;
//   - a JD or EP placed by its distance (definition.h) where the point
//     before it is BP, a JD left out or one without a typed deflection, or
//     at a distance that is not a positive number within 1e9: left out (EP:
//     no geometry);
//   - a JD's or EP's chainage as the table gives it more than
//     kGivenChainageTolerance from the one computed, a typed deflection more
//     than kGivenDeflectionTolerance from the one the coordinates give: the
//     route is computed from the coordinates; the check says by how much.
//
// Placed points. A JD or EP given by its distance stands that far from the
// in-route JD before it, along the straight that JD's typed deflection turns
// the incoming straight to (right positive); it is then a point like any
// other (jdPoint, endPoint). So a table whose EP is not known, or known only
// roughly, is given by the last JD's deflection and EP's distance.
//
// Editing. Every edit recomputes only the curves whose inputs changed (the
// edited JD and its neighbours); measures, chainages downstream, the checks
// and the spatial index are refreshed in a few linear passes (about a
// millisecond for 10,000 JDs).
//
// Geometry by elements. From BP along its azimuth, each element (a
// straight, an arc, or a clothoid of any start and end curvature:
// clothoid.h) starts where the one before ends, along its direction there;
// so the centre line is continuous in position and direction, and EP is
// where the last element ends. Measures run along the chain; chain breaks
// as above. An element that cannot be made as typed is reported and made as
// the nearest thing that can, so that the chainages after it stay:
//   - a length that is not a positive number within 1e9: left out;
//   - a radius that is zero or negative, or a number beyond 1e9, an arc
//     without a finite radius, a curve without its turning side: a
//     straight of its length;
//   - a clothoid whose start and end radius are equal: an arc of that
//     radius (a straight where both are none);
//   - a start given more than kGivenStartGap from where the chain puts it:
//     reported with the gap (every element's gap: startGap); the chain goes
//     on from where it is.
// Main points: where one element meets the next, named as the JD pattern
// names them where it fits (ZH straight to clothoid from no curvature, HY
// clothoid to an arc of its end radius, YH arc to a clothoid from its
// radius, HZ clothoid to no curvature to a straight, ZY straight to arc, YZ
// arc to straight; an egg's ends are YH and HY), else by the element that
// starts there (ElementStart: two arcs, two clothoids, two straights).
// An edit of an element makes the chain again from it on (a few
// milliseconds for 10,000 elements); measures, chainages, checks and the
// spatial index are refreshed as for JDs.
//
// Beyond the ends. locate() extends the centre line beyond BP and EP along
// its tangents there (the first and last straights, extended), for a point
// that no point of the route is nearer to than that end: such points get a
// measure below 0 or above length(). A point beside a route that loops back
// past its ends is found on the route. pointAt() takes only measures on the
// route.
//
// A route is a centre line (alignment/centre_line.h): its queries give
// nothing where there is no answer, and whyNoPoint() says why in a sentence.
#pragma once

#include "alignment/centre_line.h"
#include "numeric/expected.h"
#include "route/chainage_map.h"
#include "route/curve.h"
#include "route/definition.h"
#include "route/element.h"
#include "route/element_tree.h"
#include "route/station.h"

#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor::route {

// A JD nearer than this to the point before it, or to EP, is the same point.
inline constexpr double kSamePoint = 1e-3;

// An element's start given further than this from where the chain puts it
// is a mistake in the table, not the rounding of its printed millimetres.
inline constexpr double kGivenStartGap = 0.01;

// A chainage or a deflection the table gives that differs from the one the
// route computes by more than these is a check: the table's figures are
// printed to the millimetre and to the second.
inline constexpr double kGivenChainageTolerance = 1e-3;                        // metres
inline constexpr double kGivenDeflectionTolerance = std::numbers::pi / 648000; // one second

enum class CheckKind {
  UnusableNumber,     // left out, or an angle point when it is R or Ls; an
                      // element's radius: a straight; its given start: unused
  SamePoint,          // left out
  RadiusNotPositive,  // angle point; an element: a straight
  NegativeTransition, // angle point
  ZeroDeflection,     // angle point
  TransitionsTooLong, // angle point
  CurvesOverlap,      // jd: the first of the two
  StartLegTooShort,   // the first curve starts before BP
  EndLegTooShort,     // the last curve ends beyond EP
  BreakOutsideRoute,  // left out
  BreakOutOfOrder,    // left out
  NoRoute,            // BP or EP unusable, EP on BP, no element of any length
  LengthNotPositive,  // an element left out
  RadiiEqual,         // a clothoid made an arc (or a straight)
  TurnMissing,        // an element made a straight
  ArcWithoutRadius,   // an element made a straight
  StartGap,           // an element's given start off the chain
  RowsNotUsed,        // the rows of the other method
  NotPlaced,          // a JD placed by its distance: left out; EP: no route
  ChainageDiffers,    // a JD's or EP's given chainage (jd -1: EP)
  DeflectionDiffers,  // a JD's typed deflection and its coordinates'
};

struct Check {
  CheckKind kind;
  int jd = -1;         // index of the JD concerned, or -1
  int chainBreak = -1; // index of the chain break concerned, or -1
  int element = -1;    // index of the element concerned, or -1
  double amount = 0;   // what is wrong by how much: the radius, length or gap
                       // (metres), the number of rows not used; a given
                       // value's difference, computed minus given (metres,
                       // radians)
  std::string message; // one line naming it: "JD3: ..."
};

struct JdResult {
  bool inRoute = false; // false: left out (see the checks); its curve is then
                        // empty, all its points at the JD as typed
  PlanePoint point;     // where the JD stands: as typed, or placed
  Curve curve;          // azimuths, deflection, elements, main points in the plane
  double measure = 0;   // where the JD's chainage stands
  MainPoints mainPoints;
};

class Route final : public CentreLine {
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
  // Kept with the route; nothing of the line depends on them.
  void setStations(std::vector<StationRow> stations);
  // Gives the route by the other method's rows (what a new route is started
  // as): the rows of both are kept, those of the other method not used.
  void setMethod(Method method);
  // The same for the elements of a route by elements (an index of no
  // element throws std::out_of_range; insertElement appends for any index
  // from the number of rows on); each makes the chain again from the edited
  // element on.
  void replaceElement(std::size_t index, ElementRow element);
  void insertElement(std::size_t index, ElementRow element); // before index
  void eraseElement(std::size_t index);
  // The cross section, and a curve's settings (of a JD, or of an arc
  // element of a route by elements), change no geometry.
  void setCrossSection(CrossSection section);
  void setCurveSection(std::size_t jd, section::CurveSettings settings);
  void setArcSection(std::size_t element, section::CurveSettings settings);
  // Results.
  Method method() const { return definition_.method; }
  bool byElements() const { return method() == Method::Elements; }
  std::size_t jdCount() const { return jds_.size(); } // 0 for a route by elements
  JdResult jd(std::size_t index) const;               // coordinates in the plane
  double length() const { return length_; }           // measure of EP; 0 without geometry
  bool hasGeometry() const { return length_ > 0; }
  const std::vector<Check>& checks() const { return checks_; }
  const ChainageMap& chainages() const { return chainages_; }

  // Measures and chainages (chainage_map.h); none without geometry.
  Station stationAt(double measure) const override { return chainages_.stationAt(measure); }
  std::vector<double> measuresOf(double chainage) const { return chainages_.measuresOf(chainage); }
  std::optional<double> measureOf(const Station& station) const override;

  // The point at a measure from 0 to length() (a micrometre beyond either end
  // counts as the end).
  std::optional<CentrePoint> pointAt(double measure) const override;
  using CentreLine::pointAt; // at a station

  // Why a station names no point of the route, in a sentence naming it
  // ("K0+990.000 lies beyond the route, which runs from ..."); empty where it
  // names one.
  std::string whyNoPoint(const Station& station) const;

  // The nearest point of the centre line to p: a perpendicular foot on one of
  // the straights, clothoids or arcs (or a corner at an angle point), found
  // through a bounding-volume tree; beyond BP and EP on the tangents there
  // where the route comes nearest at that end; and the nearest other foot
  // within kNearlyAsNear of that distance.
  std::optional<Location> locate(PlanePoint p) const override;

  // The stake table (stakes.h), and the main points: of every JD in the
  // route ZH (ZY without a first transition), HY, QZ, YH, HZ (YZ), or JD
  // for an angle point, index the JD; of a route by elements where one
  // meets the next (above), index the element starting there, named by it
  // (its name, or "#3" for the third where it has none) off the JD pattern.
  std::unique_ptr<const StakePositions> stakes(const StakeRequest& request) const override;
  const std::vector<NamedPoint>& mainPoints() const override { return mainPoints_; }
  std::string pointName(StakeKind kind, int index) const override;

  // EP: as typed, placed by its distance, or where the last element ends.
  PlanePoint endPoint() const;
  // Where a JD stands: as typed, or placed by its distance.
  PlanePoint jdPoint(std::size_t index) const;
  // Of a route by elements: how far the start an element's row gives lies
  // from where the chain puts it (none where its row gives none).
  std::optional<double> startGap(std::size_t element) const;

  // The pieces that may lie in the plane's area from `low` to `high`, in
  // route order, found through the same tree: what a view of part of a long
  // route draws; a curve's pieces are owned by their JD. And the box that
  // holds the whole centre line, in the plane.
  void piecesWithin(PlanePoint low, PlanePoint high,
                    const std::function<void(const Piece&)>& seen) const override;
  std::optional<std::pair<PlanePoint, PlanePoint>> extent() const override;

  // The spans of the centre line in route order, each with the measures it
  // covers of its element (where curves overlap the later one is cut), and
  // each span as a piece to draw.
  struct Span {
    double from, to; // measures
    int element;     // for element()
  };
  const std::vector<Span>& spans() const { return spans_; }
  Piece piece(const Span& span) const;

  // The elements of the centre line: for each JD its incoming straight, first
  // clothoid, arc and second clothoid (k = 4 * jd + 0 ... 3), then the
  // straight to EP (k = 4 * jdCount()); of a route by elements its rows as
  // made. Elements of length 0 (a transition of 0, an angle point, a JD or
  // element left out) make no span. In the route's local coordinates: the
  // plane's minus origin().
  std::size_t elementCount() const;
  Element element(std::size_t k) const;
  PlanePoint origin() const { return origin_; }

private:
  struct JdState {
    bool inRoute = false;
    bool stale = true;         // its own values changed since its curve was made
    PlanePoint point;          // local: as typed, or placed
    bool placeable = true;     // not placed by a distance that places nothing
    PlanePoint previous, next; // the points its curve was made with, local
    Curve curve;               // local coordinates
    BoundingBox boxes[3]{};    // of its clothoids and arc
    double measure = 0;

    MainPoints main() const { return mainPointsOf(curve, measure); }
  };

  // An element of a route by elements as the chain made it.
  struct Chained {
    Element element;
    PlanePoint end; // local, and its tangent there
    double endAzimuth = 0;
    BoundingBox box{};
    std::optional<double> gap; // from the start its row gives
    std::optional<CheckKind> fault;
  };

  void update(std::size_t firstEdited = 0); // the first element edited
  void chainElements(std::size_t from);
  Chained chained(std::size_t k, PlanePoint at, double azimuth, double measure) const;
  void listElementPoints();
  void checkElement(std::size_t k);
  void checkRowsUsed();
  std::string elementLabel(std::size_t index) const;
  void placeOrigin();
  bool usablePoint(double x, double y) const;
  PlanePoint local(double x, double y) const;
  PlanePoint plane(PlanePoint local) const;
  void findVertices();
  PlanePoint placedAfter(int vertex, double distance, bool& placeable) const;
  void computeCurves();
  void carryMeasures();
  void cutSpans();
  void listMainPoints();
  void collectChecks();
  void checkEnds();
  void checkJd(std::size_t index);
  void checkLegs();
  void checkBreaks();
  void checkGiven();
  std::string whyNotPlaced(int vertex, double distance) const;
  void addCheck(CheckKind kind, int jd, int chainBreak, std::string message, double amount = 0);
  void addElementCheck(CheckKind kind, std::size_t element, double amount, std::string message);
  Element straightInto(std::size_t jd) const;
  Element straightToEnd() const;
  BoundingBox spanBox(const Span& span) const;
  std::vector<std::pair<double, double>> feetNear(PlanePoint q, double reach) const;
  CentrePoint centreFromElement(const Element& e, double measure) const;
  std::string jdLabel(std::size_t index) const;

  RouteDefinition definition_;
  PlanePoint origin_;
  bool usable_ = false;
  std::vector<JdState> jds_;
  std::vector<Chained> chain_; // a route by elements
  PlanePoint chainEnd_;
  PlanePoint end_; // EP of a route by JDs, local
  bool endPlaceable_ = true;
  std::vector<int> vertexBefore_; // per JD: the in-route JD before it, -1 for BP
  int lastVertex_ = -1;           // the last in-route JD, -1 for none
  double length_ = 0;
  double endMeasure_ = 0; // of EP as carried, before it is kept from going below 0
  std::vector<Span> spans_;
  std::vector<NamedPoint> mainPoints_;
  ElementTree tree_;
  ChainageMap chainages_;
  std::vector<Check> checks_;
};

} // namespace quenlor::route

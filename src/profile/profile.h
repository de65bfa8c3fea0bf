// SPDX-License-Identifier: GPL-3.0-or-later
// The route's vertical alignment (纵断面): grade points (变坡点) in route order,
// the grades between them, a vertical curve at each interior point with a
// radius (vertical_curve.h holds its formulas and worked examples), and the
// design elevation and grade at any measure.
//
// Everything runs on the measure: the continuous distance in metres along the
// route's centre line from its start. Chainage labels and chain breaks are the
// caller's: it gives each grade point its measure (a label that a long break
// makes occur twice is resolved in route order) and turns a stake's chainage
// into a measure before asking for its level. A point's chainage is carried
// only for display.
//
// Grades and ends:
// - between two grade points i = Δelevation / Δmeasure, also given in per cent
//   (×100) and per mille (×1000);
// - the first and last points fix the end grades: their radius is ignored;
// - with no radius (0) a point is a sharp change of grade: the elevation is
//   continuous, the grade steps, and at the point itself the grade ahead is
//   given (at the last point the grade behind); with equal grades on both
//   sides there is nothing to round and no curve;
// - an interior point with both lengths T1 and T2 has an asymmetric curve
//   (vertical_curve.h) and its radius is not used;
// - the design line runs from the first point to the last: before the first
//   and beyond the last there is no design level. Points may lie beyond the
//   route's ends (a design's profile usually runs a little past them): they
//   shape the grades and curves inside the route like any other.
//
// The design line is the broken grade line through the grade points, each
// tangent elevation taken from the nearer point of its grade (the grade point
// itself inside a curve of usual length), plus the signed ordinate of every
// curve whose range [start, end] holds the measure.
// Where curves do not overlap that is the elevation of vertical_curve.h.
// Where two overlap (reported, see below) each still corrects the grade line
// over its own range and the two corrections add up: elevation and grade stay
// continuous, so tables and drawings show no step, but the line there is not
// what was designed until the curves are shortened.
//
// Checks, reported with the grade point they concern, the rest still used:
// - a measure or elevation or radius or length that is not a finite number:
//   the point is left out;
// - grade points out of measure order, or two at the same measure: the fewest
//   points are left out that leave the rest in strictly increasing order (the
//   earlier point kept where the choice is open), so one mistyped measure costs
//   that one point; each is reported against a kept neighbour it conflicts with;
// - a negative radius or length at an interior point: no curve there;
// - a grade point outside the route's range [routeStart, routeEnd] that shapes
//   nothing inside it: neither the grade towards the route nor the curve at
//   the next point that way reaches the route;
// - a curve that reaches past the start of the next interior point's curve (or
//   past that point itself when it has none), checked between neighbours: every
//   curve that overlaps another is reported at least once;
// - a curve that starts before the first grade point or ends beyond the last;
// - a design line that starts after the route's start or ends before its
//   end (a route of some length): there the route has no design level.
// With fewer than two usable points there is no design line: hasLine() is
// false and at() gives nothing.
//
// Input that is not a number raises no floating-point flag (numeric/fault.h);
// finite numbers whose differences overflow give infinities and raise the
// overflow flag for the caller's check.
#pragma once

#include "profile/vertical_curve.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor {

struct GradePoint {
  std::string name;     // for messages only
  double measure = 0;   // metres along the centre line
  double chainage = 0;  // the point's chainage label, for messages and display only
  double elevation = 0; // design elevation, metres
  double radius = 0;    // Rv of the vertical curve, metres; 0 for none
  // An asymmetric curve's T1 and T2, metres: both above 0 make one.
  double tangentIn = 0, tangentOut = 0;
};

// The grade between two neighbouring grade points that the profile uses.
struct GradeSegment {
  std::size_t from = 0, to = 0; // their indices in the list the profile was built from
  double start = 0, end = 0;    // measures
  double length = 0;            // end − start
  double grade = 0;             // rise over run
  double percent = 0;           // grade × 100
  double perMille = 0;          // grade × 1000
};

enum class CheckKind {
  NotFinite,         // the point is left out
  OutOfOrder,        // the point is left out; other: the kept point it conflicts with
  SameMeasure,       // the point is left out; other: the kept point at that measure
  NegativeRadius,    // a negative radius or length: no curve at the point
  PointOutsideRoute, // shaping nothing inside it; amount: how far outside
  CurvesOverlap,     // other: the next interior point; amount: the overlap
  CurvePastStart,    // other: the first point
  CurvePastEnd,      // other: the last point
  LineStartsLate,    // the first point, after the route's start; amount: how far
  LineEndsEarly,     // the last point, before the route's end; amount: how far
};

struct ProfileCheck {
  CheckKind kind = CheckKind::NotFinite;
  std::size_t point = 0; // index in the list the profile was built from
  std::optional<std::size_t> other;
  double amount = 0; // metres: how far out of order, outside or past; 0 where no length applies

  bool operator==(const ProfileCheck&) const = default;
};

struct DesignLevel {
  double elevation = 0;
  double grade = 0; // rise over run
};

class Profile {
public:
  // An empty profile: no design line.
  Profile() = default;

  // The profile of the grade points in route order, checked against the
  // route's measure range. A bound that is not a number is not checked;
  // pass ±infinity for an open end.
  static Profile build(std::vector<GradePoint> points, double routeStart, double routeEnd);

  const std::vector<GradePoint>& points() const { return points_; }
  const std::vector<GradeSegment>& grades() const { return grades_; }
  // Curves in route order; a point without a curve has none here.
  const std::vector<VerticalCurve>& curves() const { return curves_; }
  // In the order of the points they concern.
  const std::vector<ProfileCheck>& checks() const { return checks_; }
  bool hasLine() const { return !grades_.empty(); }
  // The measures of the design line's first and last points: where it has
  // a level. Nothing without a line.
  std::optional<std::pair<double, double>> lineRange() const;

  // The design elevation and grade at a measure; nothing without a design
  // line, before its first point or beyond its last, or for a measure that
  // is not finite. Binary search over the grade points, then at most the
  // curves that reach the grade found.
  std::optional<DesignLevel> at(double measure) const;

private:
  void addCurves();
  void addChecks(double routeStart, double routeEnd);
  void indexCurves();
  std::size_t gradeAt(double measure) const;

  std::vector<GradePoint> points_;
  std::vector<GradeSegment> grades_;
  std::vector<VerticalCurve> curves_;
  std::vector<ProfileCheck> checks_;
  std::vector<std::size_t> used_;  // indices of the points the line goes through
  std::vector<double> measures_;   // their measures, for the search
  std::vector<double> elevations_; // and their elevations
  // The curves whose range reaches each grade: reachList_[reach_[k]] up to
  // reachList_[reach_[k + 1]], as indices into curves_ in route order.
  std::vector<std::uint32_t> reach_;
  std::vector<std::uint32_t> reachList_;
};

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The road's cross section (横断面) at every measure: the template (路幅,
// road_template.h) turned by each curve's superelevation and widened on its
// inside (runoff.h), or, where a station table (超高加宽表) is given, as the
// table says. Signs as in road_template.h: offsets right positive, falls in
// per cent negative where the surface falls away from the centre line, rises
// in metres above the design elevation.
//
// Elevations. The profile's design elevation H at a measure is the elevation
// of the centre line under the normal crown. Where a curve turns the section
// about an edge the centre line leaves it: it stands centreRise above H
// (below for a negative rise), the axis keeping its elevation under the
// normal crown. Every point of the template lies rise above H: the edge of a
// side at H + edgeRise, the point at any offset at H + riseAt(offset).
//
// The section at a measure:
// - inside the station table's range [its first row, its last row]: the
//   table's falls and widening, linear between its rows. They are the lanes'
//   falls of each side; hard shoulders lie in the lanes' plane, soil
//   shoulders follow their rule (road_template.h), and the widening is added
//   at the lanes' outer edge. The centre line's rise follows the table's
//   axis: 0 about the centre line; about the inner edge the larger of
//   W (g - f) / 100 over the two sides, about the outer edge the smaller
//   (W the side's lanes' width, g its crown, f its fall in the row): the lane
//   edge of the side turned down, or up, keeps its elevation;
// - elsewhere: the normal crown and no widening, changed by every curve whose
//   runoffs reach the measure (runoff.h). Where the runoffs of two curves
//   overlap (reported) each changes the falls, the rise and the widening by
//   what it changes alone and the changes add up: the section stays
//   continuous, but is not what either curve was designed to give there.
// On a side, from the centre line outwards: the lanes at the side's fall,
// the widening at the same fall, the hard shoulders at the same fall, each
// soil shoulder at its own fall or the lanes' (road_template.h).
//
// Checks, reported with what they concern, the rest still used: the
// template's (road_template.h); for each curve:
// - main points that are not finite or not in the order ZH <= HY <= YH <= HZ:
//   the curve changes nothing;
// - a superelevation or widening that is not a finite number >= 0: none;
//   a superelevation below the inner side's crown: raised to it (amount: by
//   how much, per cent);
// - a typed runoff that is not a finite number >= 0: the transitions'
//   lengths taken; superelevation or widening with no runoff length at an
//   end (no transition there and none typed): the section steps at HY or YH;
// - a runoff longer than the transition it starts on: it reaches onto the
//   straight (amount: by how much);
// - runoffs that reach before the route's start or beyond its end (amount:
//   how far), and a curve's runoff that overlaps the next curve's (other:
//   that curve; amount: the overlap), checked between neighbours in the order
//   of the curves' entry runoffs;
// and for the station table:
// - a row with a measure, fall or widening that is not a finite number, or a
//   negative widening: left out;
// - a row whose measure is not beyond the kept row before it: left out
//   (other: that row).
#pragma once

#include "section/road_template.h"
#include "section/runoff.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quenlor::section {

struct StationRow {
  double measure = 0;                         // along the centre line
  double chainage = 0;                        // its label, for display only
  double leftFall = 0, rightFall = 0;         // the lanes', per cent, signed
  double leftWidening = 0, rightWidening = 0; // metres

  bool operator==(const StationRow&) const = default;
};

struct StationTable {
  Axis axis = Axis::Centre;     // what the centre line does where the rows turn the section
  std::vector<StationRow> rows; // in route order; none: no table

  bool operator==(const StationTable&) const = default;
};

enum class CheckKind {
  Part,                       // a template part: see part
  MainPointsUnusable,         // the curve changes nothing
  SuperelevationUnusable,     // none
  SuperelevationBelowCrown,   // raised to the crown; amount: per cent
  WideningUnusable,           // none
  RunoffUnusable,             // the transitions' lengths taken
  NoRunoff,                   // at an end: the section steps; amount: the measure of HY or YH
  RunoffLongerThanTransition, // at an end; amount: metres onto the straight
  RunoffBeforeStart,          // amount: metres
  RunoffBeyondEnd,            // amount: metres
  RunoffsOverlap,             // other: the next curve; amount: metres
  RowUnusable,                // left out
  RowOutOfOrder,              // left out; other: the kept row before it
};

struct Check {
  CheckKind kind = CheckKind::Part;
  std::size_t item = 0; // the curve or row (index in the list given); unused for a part
  std::optional<std::size_t> other;
  double amount = 0;
  PartCheck part; // for CheckKind::Part

  bool operator==(const Check&) const = default;
};

// What a side is at a measure.
struct SideSection {
  double fall = 0;     // the lanes', per cent
  double widening = 0; // metres
  double width = 0;    // metres, centre line to the edge, widening included
  double edgeRise = 0; // metres: the edge at H + edgeRise
};

enum class Source {
  Normal, // the normal crown: no curve reaches the measure
  Curve,  // one curve or more (curve: the first, in the order of their entry runoffs)
  Table,  // the station table
};

struct Section {
  double measure = 0;
  double centreRise = 0; // metres: the centre line at H + centreRise
  SideSection left, right;
  Source source = Source::Normal;
  std::size_t curve = 0; // for Source::Curve: index in the list given

  const SideSection& side(Side s) const { return s == Side::Left ? left : right; }
};

// A part of a side at a measure, or the widening's strip.
struct PartSection {
  std::optional<std::size_t> part;     // index in its side's list; none: the widening
  PartKind kind = PartKind::Lane;      // as taken (the widening: a lane)
  double from = 0, to = 0;             // metres from the centre line, a size
  double fall = 0;                     // per cent
  double innerRise = 0, outerRise = 0; // metres, at from and to
};

class Sections {
public:
  // No template: no section anywhere.
  Sections() = default;

  // The sections of a template along a route from routeStart to routeEnd
  // (measures; a bound that is not a number is not checked), with the
  // curves in any order and the station table's rows in route order.
  static Sections build(Template road, std::vector<CurveSpan> curves, StationTable table,
                        double routeStart, double routeEnd);

  const Template& road() const { return road_; }
  const Layout& layout() const { return layout_; }
  const std::vector<CurveSpan>& curves() const { return curves_; }
  const StationTable& table() const { return table_; }
  // In the order: the template's, the curves' (each curve's in the order
  // above, curves in the order given, then the overlaps), the table's.
  const std::vector<Check>& checks() const { return checks_; }
  bool hasTemplate() const { return !road_.empty(); }

  // The runoffs of a curve as placed, and the rotation it uses; nothing for
  // a curve that changes nothing.
  std::optional<Runoffs> runoffsOf(std::size_t curve) const;
  std::optional<Rotation> rotationOf(std::size_t curve) const;

  // The section at a measure; nothing without a template or for a measure
  // that is not finite. Binary search over the curves and the table's rows.
  std::optional<Section> at(double measure) const;

  // A side's parts at a section, from the centre line outwards, the widening
  // after the lanes where there is any.
  std::vector<PartSection> parts(const Section& section, Side side) const;

  // The rise at an offset (right positive) on the template: nothing for an
  // offset beyond the side's edge (more than a micrometre) or not finite.
  std::optional<double> riseAt(const Section& section, double offset) const;

private:
  struct Curve {
    std::size_t index = 0; // in curves_
    Runoffs runoffs;
    Rotation rotation;
    bool rightIsInner = false;
    double widening = 0;
    WideningShape shape = WideningShape::Linear;
  };

  void addCurves(double routeStart, double routeEnd);
  void addRows();
  void checkOverlaps();
  void addCurve(std::size_t index);
  void sideFinish(SideSection& side, Side which, double centreRise) const;
  bool inTable(double measure) const;
  Section fromTable(double measure) const;
  Section fromCurves(double measure) const;

  Template road_;
  Layout layout_;
  std::vector<CurveSpan> curves_;
  StationTable table_;
  std::vector<Check> checks_;
  std::vector<Curve> used_;           // the curves that change something, by entry start
  std::vector<double> starts_;        // their entry starts, for the search
  std::vector<double> reachEnd_;      // the farthest exit end of used_[0..k]
  std::vector<StationRow> rows_;      // the rows kept
  std::vector<std::size_t> rowIndex_; // their indices in the table given
  std::vector<double> rowMeasures_;
};

} // namespace quenlor::section

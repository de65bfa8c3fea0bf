// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/element_table.h"
#include "route/route.h"
#include "section/sections.h"
#include "session/route_spans.h"
#include "support/random_route.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor::section {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kOpen = std::numeric_limits<double>::infinity();

// Each side: 行车道 3.5 m and 硬路肩 0.75 m at -2 %, 土路肩 0.75 m at -3 %.
Template twoLaneRoad() {
  const std::vector<Part> side = {{"行车道", PartKind::Lane, 3.5, -2},
                                  {"硬路肩", PartKind::HardShoulder, 0.75, -2},
                                  {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
  return {side, side};
}

// ZH 1000, HY 1060, QZ 1110, YH 1160, HZ 1220; i_h 6 %, widening 1 m.
CurveSpan workedCurve(Axis axis, int turn, WideningShape shape = WideningShape::Linear) {
  return {1000, 1060, 1160, 1220, turn, {6, std::nullopt, axis, 1, shape}};
}

Section sectionAt(const Sections& s, double measure) {
  const auto section = s.at(measure);
  EXPECT_TRUE(section) << measure;
  return section.value_or(Section{});
}

// The worked example of runoff.h on twoLaneRoad(), a curve to the right (the
// inner side right). Lanes' widths W = 3.5; the plane of the lanes, the
// widening b and the hard shoulder is 4.25 + b wide; the soil shoulder adds
// 0.75 at -3 %, or at the lanes' fall on the inside once that is steeper.
//   normal: each edge 4.25 * -2 % + 0.75 * -3 % = -0.085 - 0.0225 = -0.1075
//   full (right): 5.25 * -6 % + 0.75 * -6 % = -0.315 - 0.045 = -0.36
//   full (left):  4.25 * +6 % - 0.0225 = 0.2325
// About the centre line the outer side is level at k = 1/4 (1015), in one
// plane with the inner side at k = 1/2 (1030); about an edge at k = 1/6
// (1010) and k = 1/3 (1020). The centre line's rise about the inner edge
// W (g_n - f_n) = 3.5 (-2 + 6) % = 0.14 at full; about the outer edge
// W (g_o - f_o): 3.5 (-2 - 0) % = -0.07 where level, 3.5 (-2 - 2) % = -0.14
// in one plane, 3.5 (-2 - 6) % = -0.28 at full. Widening b k: 0.25 at 1015,
// 1/6 at 1010, 1/2 at 1030, 1/3 at 1020.
struct WorkedPoint {
  const char* where;
  Axis axis;
  double measure;
  double leftFall, rightFall, rise, rightWidening, leftEdge, rightEdge;
};
constexpr double kSixth = 1.0 / 6, kThird = 1.0 / 3;
constexpr WorkedPoint kWorkedPoints[] = {
    {"runoff start", Axis::Centre, 1000, -2, -2, 0, 0, -0.1075, -0.1075},
    {"outer level", Axis::Centre, 1015, 0, -2, 0, 0.25, -0.0225, 4.5 * -0.02 - 0.0225},
    {"one plane", Axis::Centre, 1030, 2, -2, 0, 0.5, 0.085 - 0.0225, 4.75 * -0.02 - 0.0225},
    {"full at HY", Axis::Centre, 1060, 6, -6, 0, 1, 0.2325, -0.36},
    {"middle of arc", Axis::Centre, 1110, 6, -6, 0, 1, 0.2325, -0.36},
    {"exit, outer level", Axis::Centre, 1205, 0, -2, 0, 0.25, -0.0225, 4.5 * -0.02 - 0.0225},
    {"runoff start", Axis::InnerEdge, 1000, -2, -2, 0, 0, -0.1075, -0.1075},
    {"outer level", Axis::InnerEdge, 1010, 0, -2, 0, kSixth, -0.0225,
     (4.25 + kSixth) * -0.02 - 0.0225},
    {"one plane", Axis::InnerEdge, 1020, 2, -2, 0, kThird, 0.0625,
     (4.25 + kThird) * -0.02 - 0.0225},
    {"full at HY", Axis::InnerEdge, 1060, 6, -6, 0.14, 1, 0.3725, -0.22},
    {"middle of arc", Axis::InnerEdge, 1110, 6, -6, 0.14, 1, 0.3725, -0.22},
    {"runoff start", Axis::OuterEdge, 1000, -2, -2, 0, 0, -0.1075, -0.1075},
    {"outer level", Axis::OuterEdge, 1010, 0, -2, -0.07, kSixth, -0.0925,
     -0.07 + (4.25 + kSixth) * -0.02 - 0.0225},
    {"one plane", Axis::OuterEdge, 1020, 2, -2, -0.14, kThird, -0.0775,
     -0.14 + (4.25 + kThird) * -0.02 - 0.0225},
    {"full at HY", Axis::OuterEdge, 1060, 6, -6, -0.28, 1, -0.0475, -0.64},
    {"middle of arc", Axis::OuterEdge, 1110, 6, -6, -0.28, 1, -0.0475, -0.64},
};

// Both turns: a curve to the left gives the same section mirrored.
TEST(Sections, WorkedRunoffForEachAxis) {
  for (const WorkedPoint& w : kWorkedPoints) {
    for (const int turn : {1, -1}) {
      SCOPED_TRACE(std::string(w.where) + " at " + std::to_string(w.measure) + ", axis " +
                   std::to_string(static_cast<int>(w.axis)) + ", turn " + std::to_string(turn));
      const Sections s =
          Sections::build(twoLaneRoad(), {workedCurve(w.axis, turn)}, {}, -kOpen, kOpen);
      ASSERT_TRUE(s.checks().empty());
      const Section got = sectionAt(s, w.measure);
      const SideSection& inner = turn > 0 ? got.right : got.left;
      const SideSection& outer = turn > 0 ? got.left : got.right;
      EXPECT_NEAR(outer.fall, w.leftFall, 1e-12);
      EXPECT_NEAR(inner.fall, w.rightFall, 1e-12);
      EXPECT_NEAR(got.centreRise, w.rise, 1e-12);
      EXPECT_NEAR(inner.widening, w.rightWidening, 1e-12);
      EXPECT_EQ(outer.widening, 0);
      EXPECT_NEAR(inner.width, 5 + w.rightWidening, 1e-12);
      EXPECT_NEAR(outer.width, 5, 1e-12);
      EXPECT_NEAR(outer.edgeRise, w.leftEdge, 1e-12);
      EXPECT_NEAR(inner.edgeRise, w.rightEdge, 1e-12);
      // The axis keeps its elevation under the normal crown (3.5 * -2 %).
      if (w.axis != Axis::Centre) {
        const double axisFall = w.axis == Axis::InnerEdge ? inner.fall : outer.fall;
        EXPECT_NEAR(got.centreRise + 3.5 * axisFall / 100, -0.07, 1e-12);
      }
      // The design elevation at the edges is the edges'.
      EXPECT_EQ(s.riseAt(got, turn * inner.width), inner.edgeRise);
      EXPECT_EQ(s.riseAt(got, -turn * outer.width), outer.edgeRise);
      EXPECT_FALSE(s.riseAt(got, turn * (inner.width + 0.001)));
    }
  }
}

// Full superelevation from HY to YH; a typed runoff ends at HY and starts at
// YH, on the transition or, without one, wholly on the straight. Halfway
// along the entry runoff the section is in one plane at the crown (k = 1/2
// about the centre line, runoff.h).
TEST(Sections, RunoffsEndAtHyAndStartAtYh) {
  struct Case {
    double zh, hy, yh, hz;
    std::optional<double> runoff;
    Runoffs expected;
  };
  const Case cases[] = {
      {1000, 1060, 1160, 1220, std::nullopt, {1000, 1060, 1160, 1220}}, // the transitions
      {1000, 1060, 1160, 1240, std::nullopt, {1000, 1060, 1160, 1240}}, // unequal ones
      {1000, 1060, 1160, 1220, 40.0, {1020, 1060, 1160, 1200}},         // shorter, typed
      {1000, 1000, 1100, 1100, 50.0, {950, 1000, 1100, 1150}},          // no transitions
  };
  for (const Case& c : cases) {
    const CurveSpan curve{c.zh, c.hy, c.yh, c.hz, 1, {6, c.runoff, Axis::Centre, 0}};
    const Sections s = Sections::build(twoLaneRoad(), {curve}, {}, 0, 2000);
    const Runoffs r = s.runoffsOf(0).value_or(Runoffs{});
    EXPECT_EQ(r.entryStart, c.expected.entryStart) << c.zh << " " << c.hz;
    EXPECT_EQ(r.entryEnd, c.expected.entryEnd);
    EXPECT_EQ(r.exitStart, c.expected.exitStart);
    EXPECT_EQ(r.exitEnd, c.expected.exitEnd);
    EXPECT_EQ(sectionAt(s, (r.entryStart + r.entryEnd) / 2).left.fall, 2);
    EXPECT_EQ(sectionAt(s, r.entryStart - 0.001).source, Source::Normal);
  }
}

// b (4k^3 - 3k^4) against b k: at k = 1/4 4/64 - 3/256, at 1/2 4/8 - 3/16,
// at 1/6 4/216 - 3/1296, and b on the arc.
TEST(Sections, WideningByTheHighOrderCurve) {
  const Sections s = Sections::build(
      twoLaneRoad(), {workedCurve(Axis::Centre, 1, WideningShape::HighOrder)}, {}, -kOpen, kOpen);
  const std::pair<double, double> expected[] = {{1000, 0},          {1010, 4.0 / 216 - 3.0 / 1296},
                                                {1015, 0.05078125}, {1030, 0.3125},
                                                {1060, 1},          {1110, 1}};
  for (const auto& [measure, widening] : expected)
    EXPECT_NEAR(sectionAt(s, measure).right.widening, widening, 1e-15) << measure;
}

// The rise at an offset walks the parts: right of the centre line at 1015
// (about the centre line, lanes -2 %, widening 0.25): 2 m in the lane
// -0.04; 4.0 m in the hard shoulder, past the widening -0.08; 4.875 m in
// the soil shoulder -0.09 - 0.375 * 3 % = -0.10125. Left (level lanes):
// -4.5 m in the soil shoulder 0.25 * -3 % = -0.0075.
TEST(Sections, RiseAtAnOffset) {
  const Sections s = Sections::build(twoLaneRoad(), {workedCurve(Axis::Centre, 1)}, {}, 0, 2000);
  const Section at = sectionAt(s, 1015);
  const std::pair<double, double> expected[] = {
      {0, 0}, {2, -0.04}, {4, -0.08}, {4.875, -0.10125}, {-2, 0}, {-4.5, -0.0075}};
  for (const auto& [offset, rise] : expected)
    EXPECT_NEAR(s.riseAt(at, offset).value_or(kNaN), rise, 1e-12) << offset;
  EXPECT_FALSE(s.riseAt(at, kNaN));
  const std::vector<PartSection> right = s.parts(at, Side::Right);
  ASSERT_EQ(right.size(), 4u); // lane, widening, hard shoulder, soil shoulder
  EXPECT_FALSE(right[1].part);
  EXPECT_NEAR(right[1].to, 3.75, 1e-12);
  EXPECT_EQ(right[3].kind, PartKind::SoilShoulder);
  EXPECT_EQ(right[3].outerRise, at.right.edgeRise);
}

// The table overrides the curve (i_h 8 %, b 1.2) from 2000 to 2100; lanes
// 3.5 m and soil shoulders 0.75 m at -3 % each side.
//   2020, halfway between the first two rows: left +1, right -3, widening
//     0.4; left edge 3.5 * 1 % - 0.0225 = 0.0125; right (3.9 * -3 % and the
//     shoulder's own -3 %) -0.117 - 0.0225 = -0.1395. About the inner edge
//     the centre line rises max(3.5 (-2 - 1) %, 3.5 (-2 + 3) %) = 0.035.
//   2070: left +4, right -4, widening 0.8; left 0.14 - 0.0225 = 0.1175,
//     right 4.3 * -4 % - 0.75 * 4 % = -0.202; about the inner edge the
//     centre line rises 3.5 (-2 + 4) % = 0.07.
// Outside the table the curve's own values: at 1990 (k = 1/6 of its 60 m
// runoff) travel 3.5 * 4 = 14 in the first step, 3.5 * 6 = 21 in the second:
// s = 35/6, left -2 + 4 * (35/6) / 14 = -1/3; widening 0.2. At 2130 (k = 1/2)
// s = 17.5, p = 2 + 6 * 3.5 / 21 = 3; widening 0.6.
TEST(Sections, StationTableOverridesTheCurves) {
  const std::vector<Part> side = {{"行车道", PartKind::Lane, 3.5, -2},
                                  {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
  const CurveSpan curve{1980, 2040, 2100, 2160, 1, {8, std::nullopt, Axis::Centre, 1.2}};
  StationTable table{
      Axis::Centre,
      {{2000, 2000, -2, -2, 0, 0}, {2040, 2040, 4, -4, 0, 0.8}, {2100, 2100, 4, -4, 0, 0.8}}};
  struct Row {
    double measure, leftFall, rightFall, rightWidening, leftEdge, rightEdge;
    Source source;
    double innerEdgeRise; // the centre line's, where the table turns about the inner edge
  };
  const Row rows[] = {
      {1990, -1.0 / 3, -2, 0.2, 3.5 * -1.0 / 300 - 0.0225, 3.7 * -0.02 - 0.0225, Source::Curve, 0},
      {2000, -2, -2, 0, -0.0925, -0.0925, Source::Table, 0},
      {2020, 1, -3, 0.4, 0.0125, -0.1395, Source::Table, 0.035},
      {2070, 4, -4, 0.8, 0.1175, -0.202, Source::Table, 0.07},
      {2100, 4, -4, 0.8, 0.1175, -0.202, Source::Table, 0.07},
      {2130, 3, -3, 0.6, 0.105 - 0.0225, 4.1 * -0.03 - 0.0225, Source::Curve, 0}};
  for (const Axis axis : {Axis::Centre, Axis::InnerEdge}) {
    table.axis = axis;
    const Sections s = Sections::build({side, side}, {curve}, table, 0, 5000);
    ASSERT_TRUE(s.checks().empty());
    for (const Row& r : rows) {
      SCOPED_TRACE(r.measure);
      const Section got = sectionAt(s, r.measure);
      EXPECT_EQ(got.source, r.source);
      EXPECT_NEAR(got.left.fall, r.leftFall, 1e-12);
      EXPECT_NEAR(got.right.fall, r.rightFall, 1e-12);
      EXPECT_NEAR(got.right.widening, r.rightWidening, 1e-12);
      EXPECT_NEAR(got.centreRise, axis == Axis::InnerEdge ? r.innerEdgeRise : 0, 1e-12);
      EXPECT_NEAR(got.left.edgeRise, r.leftEdge + got.centreRise, 1e-12);
      EXPECT_NEAR(got.right.edgeRise, r.rightEdge + got.centreRise, 1e-12);
    }
  }
}

// Random templates and curves of every kind, about every axis, a third of
// them with the next curve's runoff starting inside their own: every edge's
// rise, the widths and the falls change by no more than their rate allows
// over a step of 0.1 mm, across each runoff's start, its first step's end
// and its end, and at every metre of the curves.
Template randomTemplate(test::RandomRoute& draw) {
  Template road;
  for (std::vector<Part>* side : {&road.left, &road.right}) {
    const double crown = -draw.uniform(1, 3);
    side->push_back({"", PartKind::Lane, draw.uniform(0.5, 8), crown});
    if (draw.chance(0.5))
      side->push_back({"", PartKind::HardShoulder, draw.uniform(0.25, 3), crown});
    if (draw.chance(0.7))
      side->push_back(
          {"", PartKind::SoilShoulder, draw.uniform(0.25, 1.5), crown - draw.uniform(0, 3)});
  }
  return road;
}

// A curve whose entry runoff starts at `start`, with no check of its own.
CurveSpan randomCurve(test::RandomRoute& draw, double start) {
  const double ls1 = draw.chance(0.2) ? 0 : draw.uniform(20, 150);
  const double ls2 = draw.chance(0.3) ? ls1 : draw.uniform(20, 150);
  CurveSettings set;
  set.superelevation = draw.uniform(3.5, 10);
  set.axis = static_cast<Axis>(static_cast<int>(draw.uniform(0, 3)));
  set.widening = draw.chance(0.3) ? 0 : draw.uniform(0, 2);
  set.shape = draw.chance(0.5) ? WideningShape::Linear : WideningShape::HighOrder;
  if (ls1 == 0 || draw.chance(0.3)) // no longer than a transition it starts on
    set.runoff = draw.uniform(20, ls1 > 0 ? std::min(ls1, ls2) : ls2 > 0 ? ls2 : 100);
  const double hy = start + set.runoff.value_or(ls1), yh = hy + draw.uniform(0, 300);
  return {hy - ls1, hy, yh, yh + ls2, draw.chance(0.5) ? 1 : -1, set};
}

TEST(Sections, EveryEdgeContinuousAlongTheRunoffs) {
  test::RandomRoute draw(29);
  constexpr double kStep = 1e-4;
  constexpr double kRate = 1; // metres of rise or width per metre along; 20 % of fall
  double worst = 0;
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<CurveSpan> curves = {randomCurve(draw, 0)};
    if (draw.chance(0.3))
      curves.push_back(
          randomCurve(draw, curves[0].yh + draw.uniform(0, 1) * curves[0].settings.runoff.value_or(
                                                                    curves[0].hz - curves[0].yh)));
    const Sections s = Sections::build(randomTemplate(draw), curves, {}, -kOpen, kOpen);
    for (const Check& c : s.checks())
      ASSERT_EQ(c.kind, CheckKind::RunoffsOverlap) << "trial " << trial;
    std::vector<double> places;
    double to = 0;
    for (std::size_t i = 0; i < curves.size(); ++i) {
      const Runoffs r = *s.runoffsOf(i);
      const double k0 = firstStepEnd(*s.rotationOf(i));
      places.insert(places.end(), {r.entryStart, r.entryEnd, r.exitStart, r.exitEnd,
                                   r.entryStart + k0 * (r.entryEnd - r.entryStart),
                                   r.exitEnd - k0 * (r.exitEnd - r.exitStart)});
      to = std::max(to, r.exitEnd);
    }
    for (double m = -1; m < to + 1; m += 1) // the first entry starts at 0
      places.push_back(m);
    for (const double m : places) {
      const Section a = sectionAt(s, m - kStep / 2), b = sectionAt(s, m + kStep / 2);
      std::vector<std::pair<double, double>> lengths = {{a.centreRise, b.centreRise}};
      for (const Side side : {Side::Left, Side::Right}) {
        lengths.emplace_back(a.side(side).width, b.side(side).width);
        // The template's parts (the widening's strip starts where it is 0).
        std::vector<PartSection> before = s.parts(a, side), after = s.parts(b, side);
        std::erase_if(before, [](const PartSection& p) { return !p.part; });
        std::erase_if(after, [](const PartSection& p) { return !p.part; });
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t i = 0; i < before.size(); ++i)
          lengths.emplace_back(before[i].outerRise, after[i].outerRise);
        const double fallStep = std::fabs(a.side(side).fall - b.side(side).fall);
        ASSERT_LE(fallStep, 20 * kRate * kStep) << "trial " << trial << " at " << m;
      }
      for (const auto& [x, y] : lengths) {
        worst = std::max(worst, std::fabs(x - y) / kStep);
        ASSERT_LE(std::fabs(x - y), kRate * kStep) << "trial " << trial << " at " << m;
      }
    }
  }
  std::printf("300 random curves: steepest change %.3g m per m\n", worst);
}

// Each fault reported once with what it concerns; the section still given.
struct CheckCase {
  const char* name;
  void (*spoil)(Template&, std::vector<CurveSpan>&, StationTable&);
  Check expected;
};
PartCheck partCheck(PartFault fault, Side side, std::size_t part, double amount = 0) {
  return {fault, side, part, amount};
}
const CheckCase kCheckCases[] = {
    {"part of no width",
     [](Template& t, auto&, auto&) { t.right[1].width = 0; },
     {CheckKind::Part, 0, std::nullopt, 0, partCheck(PartFault::Unusable, Side::Right, 1)}},
    {"hard shoulder at -3 %",
     [](Template& t, auto&, auto&) { t.left[1].fall = -3; },
     {CheckKind::Part, 0, std::nullopt, -1,
      partCheck(PartFault::FallUnlikeLanes, Side::Left, 1, -1)}},
    {"lane beyond a soil shoulder",
     [](Template& t, auto&, auto&) {
       t.left.push_back({"", PartKind::Lane, 3, -2});
     },
     {CheckKind::Part, 0, std::nullopt, 0, partCheck(PartFault::OutOfOrder, Side::Left, 3)}},
    {"soil shoulder flatter",
     [](Template& t, auto&, auto&) { t.right[2].fall = -1; },
     {CheckKind::Part, 0, std::nullopt, 1,
      partCheck(PartFault::FlatterThanLanes, Side::Right, 2, 1)}},
    {"negative superelevation",
     [](Template&, auto& c, auto&) { c[0].settings.superelevation = -4; },
     {CheckKind::SuperelevationUnusable, 0, std::nullopt, 0, {}}},
    {"superelevation below the crown",
     [](Template&, auto& c, auto&) { c[0].settings.superelevation = 1.5; },
     {CheckKind::SuperelevationBelowCrown, 0, std::nullopt, 0.5, {}}},
    {"widening not a number",
     [](Template&, auto& c, auto&) { c[0].settings.widening = kNaN; },
     {CheckKind::WideningUnusable, 0, std::nullopt, 0, {}}},
    {"runoff not a number",
     [](Template&, auto& c, auto&) { c[0].settings.runoff = kNaN; },
     {CheckKind::RunoffUnusable, 0, std::nullopt, 0, {}}},
    {"no transition out, no runoff",
     [](Template&, auto& c, auto&) {
       c[0].hz = c[0].yh;
       c[0].settings.runoff.reset();
     },
     {CheckKind::NoRunoff, 0, std::nullopt, 1160, {}}},
    {"runoff onto the straight",
     [](Template&, auto& c, auto&) {
       c[0].settings.runoff = 70;
       c[0].hz = c[0].yh + 80;
     },
     {CheckKind::RunoffLongerThanTransition, 0, std::nullopt, 10, {}}},
    {"runoffs overlap",
     [](Template&, auto& c, auto&) {
       c.push_back({1200, 1260, 1360, 1420, -1, c[0].settings});
     },
     {CheckKind::RunoffsOverlap, 0, 1, 1220 - 1200, {}}},
    {"runoff before the route",
     [](Template&, auto& c, auto&) {
       for (double* m : {&c[0].zh, &c[0].hy, &c[0].yh, &c[0].hz})
         *m -= 20;
     },
     {CheckKind::RunoffBeforeStart, 0, std::nullopt, 990 - (1040 - 60), {}}},
    {"main points out of order",
     [](Template&, auto& c, auto&) { c[0].yh = 1000; },
     {CheckKind::MainPointsUnusable, 0, std::nullopt, 0, {}}},
    {"row not a number",
     [](Template&, auto&, StationTable& t) { t.rows[1].leftFall = kNaN; },
     {CheckKind::RowUnusable, 1, std::nullopt, 0, {}}},
    {"row out of order",
     [](Template&, auto&, StationTable& t) { t.rows[1].measure = 2000; },
     {CheckKind::RowOutOfOrder, 1, 0, 0, {}}},
};

class SectionChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SectionChecks, NameWhatTheyConcernAndLeaveTheSectionUsable) {
  Template road = twoLaneRoad();
  std::vector<CurveSpan> curves = {workedCurve(Axis::InnerEdge, 1)};
  curves[0].settings.runoff = 60;
  StationTable table{Axis::Centre, {{2000, 2000, -2, -2, 0, 0}, {2100, 2100, -2, -2, 0, 0}}};
  GetParam().spoil(road, curves, table);
  const Sections s = Sections::build(road, curves, table, 990, 3000);
  ASSERT_EQ(s.checks().size(), 1u);
  const Check& got = s.checks().front();
  const Check& want = GetParam().expected;
  EXPECT_EQ(got.kind, want.kind);
  EXPECT_EQ(got.item, want.item);
  EXPECT_EQ(got.other, want.other);
  EXPECT_NEAR(got.amount, want.amount, 1e-9);
  EXPECT_EQ(got.part, want.part);
  for (const double m : {990.0, 1030.0, 1110.0, 2050.0})
    EXPECT_TRUE(s.at(m)) << m;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SectionChecks, ::testing::ValuesIn(kCheckCases),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// A superelevation below the crown is raised to it: the arc is one plane at
// the crown's 2 %. A side without lanes follows the other side's crown.
TEST(Sections, BelowTheCrownAndSidesWithoutLanes) {
  CurveSpan curve = workedCurve(Axis::Centre, 1);
  curve.settings.superelevation = 1;
  const Section raised = sectionAt(Sections::build(twoLaneRoad(), {curve}, {}, 0, 2000), 1110);
  EXPECT_EQ(raised.left.fall, 2);
  EXPECT_EQ(raised.right.fall, -2);
  Template ramp; // a one-lane ramp, its centre line at the left edge
  ramp.right = {{"行车道", PartKind::Lane, 4, -2}};
  const Sections s = Sections::build(ramp, {workedCurve(Axis::Centre, -1)}, {}, 0, 2000);
  const Section full = sectionAt(s, 1110);
  EXPECT_EQ(full.left.width, 1); // the widening alone, in the turned plane
  EXPECT_EQ(full.right.fall, 6);
  EXPECT_NEAR(full.right.edgeRise, 0.24, 1e-12);
  EXPECT_FALSE(s.riseAt(full, -1.5));
}

// On the worked route: a span for each JD with its main points and side;
// on a straight the normal crown, in the middle of each arc the outer side
// rises at i_h and the inner falls at i_h.
TEST(Sections, SpansOfARoute) {
  const route::Route route(test::threeJdRoute());
  const std::vector<CurveSettings> settings = {{4, std::nullopt, Axis::Centre, 0.6},
                                               {6, std::nullopt, Axis::InnerEdge, 0.8},
                                               {3, 100.0, Axis::Centre, 0}};
  const std::vector<CurveSpan> spans = curveSpans(route, settings);
  ASSERT_EQ(spans.size(), 3u);
  const Sections s = Sections::build(twoLaneRoad(), spans, {}, 0, route.length());
  EXPECT_TRUE(s.checks().empty());
  const int turns[] = {1, -1, 1};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE("JD" + std::to_string(i + 1));
    const route::MainPoints m = route.jd(i).mainPoints;
    EXPECT_EQ(spans[i].zh, m.zh);
    EXPECT_EQ(spans[i].hy, m.hy);
    EXPECT_EQ(spans[i].yh, m.yh);
    EXPECT_EQ(spans[i].hz, m.hz);
    EXPECT_EQ(spans[i].turn, turns[i]);
    EXPECT_EQ(spans[i].settings, settings[i]);
    const Section middle = sectionAt(s, m.qz);
    const double outer = turns[i] > 0 ? middle.left.fall : middle.right.fall;
    const double inner = turns[i] > 0 ? middle.right.fall : middle.left.fall;
    EXPECT_EQ(outer, settings[i].superelevation);
    EXPECT_EQ(inner, -settings[i].superelevation);
    EXPECT_EQ((turns[i] > 0 ? middle.right : middle.left).widening, settings[i].widening);
  }
  const Section straight = sectionAt(s, route.jd(1).mainPoints.hz + 100);
  EXPECT_EQ(straight.source, Source::Normal);
  EXPECT_EQ(straight.left.fall, -2);
  EXPECT_EQ(straight.right.fall, -2);
}

// The worked route given by its elements (its element table chained again):
// each arc is a curve with its JD's main points and side, its settings those
// of its row; every other element changes nothing.
TEST(Sections, SpansOfARouteByElements) {
  const route::Route byJds(test::threeJdRoute());
  route::RouteDefinition d = route::elementDefinition(byJds);
  std::vector<std::size_t> arcs;
  for (std::size_t k = 0; k < d.elements.size(); ++k)
    if (d.elements[k].kind == route::ElementKind::Arc) {
      d.elements[k].section.superelevation = double(arcs.size() + 2);
      arcs.push_back(k);
    }
  ASSERT_EQ(arcs.size(), 3u);
  const route::Route byElements(d);
  const std::vector<CurveSpan> spans = curveSpans(byElements);
  ASSERT_EQ(spans.size(), d.elements.size());
  const std::vector<CurveSpan> jdSpans = curveSpans(byJds);
  std::size_t curve = 0;
  for (std::size_t k = 0; k < spans.size(); ++k) {
    if (curve < arcs.size() && k == arcs[curve]) {
      SCOPED_TRACE("JD" + std::to_string(curve + 1));
      const CurveSpan& want = jdSpans[curve];
      EXPECT_NEAR(spans[k].zh, want.zh, 1e-9);
      EXPECT_NEAR(spans[k].hy, want.hy, 1e-9);
      EXPECT_NEAR(spans[k].yh, want.yh, 1e-9);
      EXPECT_NEAR(spans[k].hz, want.hz, 1e-9);
      EXPECT_EQ(spans[k].turn, want.turn);
      EXPECT_EQ(spans[k].settings.superelevation, double(curve + 2));
      ++curve;
    } else {
      EXPECT_EQ(spans[k].turn, 0) << k;
    }
  }
}

} // namespace
} // namespace quenlor::section

// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"
#include "session/route_model.h"
#include "support/random_route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace quenlor {
namespace {

// Grade points by chainage on the example route (BP K0+000; K2+500 =
// K2+480 long, K5+200 = K5+215.3 short): before BP and beyond EP they stand
// on the end segments carried on, within a millimetre of an end at the end,
// in the short break's gap nowhere. Points beyond the ends were once left
// out, and a point 0.2 mm inside EP left the stakes at EP without a level.
TEST(RouteModel, GradePointsBeyondTheEndsAndAtThem) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  const route::Route plain(d);
  const double length = plain.length();
  const double ep = plain.chainages().segments().back().endChainage();
  const struct {
    double chainage, measure; // NaN: left out
  } cases[] = {
      {-50, -50},               // before BP
      {0.0008, 0},              // within a millimetre of BP
      {1000, 1000},             //
      {5205, NAN},              // in the short break's gap
      {ep - 0.0009, length},    // within a millimetre of EP
      {ep + 100, length + 100}, // beyond EP
  };
  d.gradePoints.clear();
  for (const auto& c : cases)
    d.gradePoints.push_back({"", c.chainage, 100 + c.chainage / 1000, 0});
  const RouteModel model(d);
  const auto& points = model.profile().points();
  ASSERT_EQ(points.size(), std::size(cases));
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::isnan(cases[i].measure))
      EXPECT_TRUE(std::isnan(points[i].measure)) << i;
    else
      EXPECT_NEAR(points[i].measure, cases[i].measure, 1e-9) << i;
  }
  EXPECT_TRUE(model.designAt({ep, 0})); // EP's stake has its level
}

// The profile of an edited model is the profile of a model made afresh from
// its definition: every measure (bit for bit, a point left out as NaN), every
// check, grade and curve.
void expectFreshProfile(const RouteModel& model, int edit) {
  const RouteModel fresh(model.definition());
  const Profile &a = model.profile(), &b = fresh.profile();
  ASSERT_EQ(a.points().size(), b.points().size()) << "edit " << edit;
  for (std::size_t i = 0; i < a.points().size(); ++i)
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.points()[i].measure),
              std::bit_cast<std::uint64_t>(b.points()[i].measure))
        << "edit " << edit << ", grade point " << i;
  EXPECT_EQ(a.checks(), b.checks()) << "edit " << edit;
  ASSERT_EQ(a.grades().size(), b.grades().size()) << "edit " << edit;
  for (std::size_t k = 0; k < a.grades().size(); ++k)
    EXPECT_EQ(a.grades()[k].grade, b.grades()[k].grade) << "edit " << edit << ", grade " << k;
  ASSERT_EQ(a.curves().size(), b.curves().size()) << "edit " << edit;
  for (std::size_t k = 0; k < a.curves().size(); ++k)
    EXPECT_EQ(a.curves()[k].start, b.curves()[k].start) << "edit " << edit << ", curve " << k;
}

// Random edits of the example route, with grade points inside it and, in the
// second round, also before BP, at EP, within a centimetre of it and beyond
// it: JDs moved and their radii changed, EP moved (the route's length), a
// chain break moved, a grade point raised. After each the profile is what a
// fresh model makes; a JD's radius changed with every grade point well
// inside the route keeps the profile made (its version stays).
TEST(RouteModel, EditsKeepTheProfileOnlyWhereAFreshOneIsTheSame) {
  const route::RouteDefinition example = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  const double ep = route::Route(example).chainages().segments().back().endChainage();
  for (const bool nearTheEnds : {false, true}) {
    route::RouteDefinition d = example;
    d.gradePoints.clear();
    for (double k = 150; k < ep - 100; k += 400)
      d.gradePoints.push_back({"", k, 100 + 0.01 * k, 3000});
    if (nearTheEnds)
      for (const double k : {-50.0, ep - 0.0009, ep - 0.005, ep + 100})
        d.gradePoints.push_back({"", k, 100 + 0.01 * k, 0});
    RouteModel model(d);
    test::RandomRoute draw(nearTheEnds ? 13 : 12);
    for (int edit = 0; edit < 60; ++edit) {
      const std::size_t jd = std::size_t(draw.uniform(0, double(d.jds.size())));
      const unsigned long made = model.profileVersion();
      switch (edit % 6) {
      case 0:
      case 1:
        model.edit([&](route::Route& r) {
          route::Jd changed = r.definition().jds[jd];
          changed.radius = std::round(changed.radius * draw.uniform(0.9, 1.1));
          r.replaceJd(jd, changed);
        });
        if (!nearTheEnds) {
          EXPECT_EQ(model.profileVersion(), made) << "edit " << edit;
        }
        break;
      case 2:
        model.edit([&](route::Route& r) {
          route::Jd moved = r.definition().jds[jd];
          moved.x += draw.uniform(-20, 20);
          moved.y += draw.uniform(-20, 20);
          r.replaceJd(jd, moved);
        });
        break;
      case 3:
        model.edit([&](route::Route& r) {
          route::EndPoint end = r.definition().end;
          end.x += draw.uniform(-30, 30);
          r.setEnd(end);
        });
        break;
      case 4:
        model.edit([&](route::Route& r) {
          std::vector<route::ChainBreak> breaks = r.definition().breaks;
          breaks.back().behind += draw.uniform(-5, 5);
          r.setBreaks(breaks);
        });
        break;
      case 5:
        model.edit([&](route::Route& r) {
          std::vector<route::GradePointRow> points = r.definition().gradePoints;
          points[std::size_t(draw.uniform(0, double(points.size())))].elevation += 1;
          r.setGradePoints(points);
        });
        break;
      }
      expectFreshProfile(model, edit);
    }
  }
}

// The example route's cross section: lanes 3.75 m and hard shoulders 0.75 m
// at -2 %, soil shoulders 0.75 m at -3 % each side, so on a straight each
// edge lies 5.25 m out and 4.5 * 2 % + 0.75 * 3 % = 0.1125 below the design
// elevation. In the middle of each arc (QZ) the outer side rises at i_h, the
// inner falls at i_h and is widened by b; the inner edge's soil shoulder
// takes the lanes' -i_h where that is steeper than its -3 %. JD4 turns about
// its inner edge: the centre line stands 3.75 (-2 + 6) % = 0.15 above the
// profile there.
TEST(RouteModel, TheExampleRoutesCrossSection) {
  const RouteModel model(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const route::Route& route = model.route();
  ASSERT_TRUE(model.sections().checks().empty());
  const auto at = [&](double measure) {
    const auto s = model.crossSectionAt(route.stationAt(measure));
    EXPECT_TRUE(s) << measure;
    return s.value_or(CrossSectionAt{});
  };
  const CrossSectionAt straight = at(200);
  for (const section::SideSection& side : {straight.section.left, straight.section.right}) {
    EXPECT_EQ(side.fall, -2);
    EXPECT_EQ(side.width, 5.25);
    EXPECT_NEAR(side.edgeRise, -0.1125, 1e-12);
  }
  ASSERT_TRUE(straight.level);
  EXPECT_EQ(*straight.leftEdge, straight.level->elevation + straight.section.left.edgeRise);
  EXPECT_EQ(model.designAt(straight, -5.25), straight.leftEdge);
  EXPECT_EQ(model.designAt(straight, 5.25), straight.rightEdge);
  EXPECT_FALSE(model.designAt(straight, 5.26));

  const double superelevation[] = {4, 5, 3, 6, 3, 4}, widening[] = {0, 0.4, 0, 0.6, 0, 0.3};
  for (std::size_t jd = 0; jd < route.jdCount(); ++jd) {
    SCOPED_TRACE(route.definition().jds[jd].name);
    const route::JdResult r = route.jd(jd);
    const CrossSectionAt middle = at(r.mainPoints.qz);
    const bool right = r.curve.turn > 0;
    const section::SideSection& outer = right ? middle.section.left : middle.section.right;
    const section::SideSection& inner = right ? middle.section.right : middle.section.left;
    const double ih = superelevation[jd], b = widening[jd];
    EXPECT_EQ(outer.fall, ih);
    EXPECT_EQ(inner.fall, -ih);
    EXPECT_EQ(inner.widening, b);
    EXPECT_EQ(outer.width, 5.25);
    EXPECT_EQ(inner.width, 5.25 + b);
    const double rise = jd == 1 || jd == 3 ? 3.75 * (-2 + ih) / 100 : 0;
    EXPECT_NEAR(middle.section.centreRise, rise, 1e-12);
    EXPECT_NEAR(outer.edgeRise, rise + 4.5 * ih / 100 - 0.0225, 1e-12);
    EXPECT_NEAR(inner.edgeRise, rise - (4.5 + b) * ih / 100 - 0.75 * std::max(ih, 3.0) / 100,
                1e-12);
  }
}

// Station rows by chainage, as grade points are placed: K2+490 after
// K2+495 is its second occurrence (past the long break K2+500 = K2+480), a
// row in the short break's gap (K5+205) names no point and is left out.
// An empty fall is the template's normal crown. Over the table's range its
// rows hold, not JD2's superelevation.
TEST(RouteModel, StationRowsByChainageOverrideTheCurves) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  d.section.stations = {{1700, std::nullopt, std::nullopt, 0, 0},
                        {2495, 4, -4, 0, 1},
                        {2490, 4, std::nullopt, 0, 1},
                        {5205, 0, 0, 0, 0}};
  const RouteModel model(d);
  const route::Route& route = model.route();
  const auto& rows = model.sections().table().rows;
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1].measure, 2495);
  EXPECT_EQ(rows[2].measure, 2510);
  EXPECT_TRUE(std::isnan(rows[3].measure));
  EXPECT_EQ(rows[2].rightFall, -2);
  const auto& checks = model.sections().checks();
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].kind, section::CheckKind::RowUnusable);
  EXPECT_EQ(checks[0].item, 3u);
  // Halfway from K1+700 (the normal crown) to K2+495 (4 %, -4 %).
  const auto half = model.crossSectionAt(route.stationAt((1700 + 2495) / 2.0));
  ASSERT_TRUE(half);
  EXPECT_EQ(half->section.source, section::Source::Table);
  EXPECT_NEAR(half->section.left.fall, 1, 1e-12);
  EXPECT_NEAR(half->section.right.fall, -3, 1e-12);
  EXPECT_NEAR(half->section.right.widening, 0.5, 1e-12);
  // Beyond the table JD2's own runoff (ZH K1+594.654 to HZ K2+284.103) is
  // behind, and JD3's not yet begun.
  const auto after = model.crossSectionAt(route.stationAt(2515));
  ASSERT_TRUE(after);
  EXPECT_EQ(after->section.source, section::Source::Normal);
}

} // namespace
} // namespace quenlor

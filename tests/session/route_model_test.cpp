// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"
#include "session/route_model.h"
#include "support/random_route.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Routes by elements against an integration of their own rows that shares
// nothing with the engine, a ramp worked by hand, their checks, and routes by
// JDs rebuilt from their element tables.
#include "route/element_table.h"
#include "route/route_file.h"
#include "route/stakes.h"
#include "support/random_route.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace quenlor::route {
namespace {

using test::radians;

// The heading and place of a chain of rows by Simpson's rule in long double
// on each row's heading a + k0 t + (k1 - k0) t^2 / 2L (k signed, right
// positive), 2000 panels a row: for these radii its error is below 1e-12 m
// a row.
class Integration {
public:
  explicit Integration(const RouteDefinition& d) : rows_(d.elements) {
    Place at{d.start.x, d.start.y, d.start.azimuth};
    for (const ElementRow& row : rows_) {
      starts_.push_back(at);
      at = along(row, at, row.length);
    }
  }

  // The point at a measure from BP (within the route).
  PlanePoint pointAt(double measure, double* azimuth = nullptr) const {
    for (std::size_t k = 0; k < rows_.size(); ++k) {
      if (measure <= rows_[k].length || k + 1 == rows_.size()) {
        const Place p = along(rows_[k], starts_[k], measure);
        if (azimuth)
          *azimuth = static_cast<double>(p.azimuth);
        return {static_cast<double>(p.x), static_cast<double>(p.y)};
      }
      measure -= rows_[k].length;
    }
    return {};
  }

private:
  struct Place {
    long double x, y, azimuth;
  };

  static long double curvature(const ElementRow& row, double radius) {
    if (row.kind == ElementKind::Straight || radius == kNoRadius)
      return 0;
    return (row.turn == Turn::Right ? 1.0L : -1.0L) / radius;
  }

  static Place along(const ElementRow& row, Place from, double s) {
    constexpr int kPanels = 2000;
    const long double k0 = curvature(row, row.startRadius);
    const long double k1 = row.kind == ElementKind::Arc ? k0 : curvature(row, row.endRadius);
    const long double rate = (k1 - k0) / row.length;
    const auto heading = [&](long double t) { return from.azimuth + t * (k0 + rate * t / 2); };
    const long double h = static_cast<long double>(s) / kPanels;
    long double x = 0, y = 0;
    for (int i = 0; i <= kPanels; ++i) {
      const long double weight = (i == 0 || i == kPanels) ? 1 : (i % 2 ? 4 : 2);
      x += weight * std::cos(heading(h * i));
      y += weight * std::sin(heading(h * i));
    }
    return {from.x + x * h / 3, from.y + y * h / 3, heading(s)};
  }

  std::vector<ElementRow> rows_;
  std::vector<Place> starts_;
};

RouteDefinition ramp() { return test::workedRamp(); }

double distance(PlanePoint a, PlanePoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST(ElementRoute, TheRampLandsWhereAnIndependentIntegrationPutsIt) {
  const RouteDefinition d = ramp();
  const Route route(d);
  const Integration integration(d);
  ASSERT_TRUE(route.checks().empty()) << route.checks().front().message;
  ASSERT_EQ(route.length(), 400);
  double worst = 0, worstAzimuth = 0;
  for (double m = 0; m <= 400; m += 1) {
    double azimuth = 0;
    const PlanePoint expected = integration.pointAt(m, &azimuth);
    const auto at = route.pointAt(m);
    ASSERT_TRUE(at);
    worst = std::max(worst, distance(at->point, expected));
    worstAzimuth = std::max(worstAzimuth, std::fabs(turnBetween(at->azimuth, azimuth)));
  }
  std::printf("ramp against integration: worst %.3g m, %.3g rad\n", worst, worstAzimuth);
  EXPECT_LT(worst, 1e-9);
  EXPECT_LT(worstAzimuth, 1e-12);
}

// Its main points by hand: ZH at 100 m from BP, HY at 140, YH at 200 (the
// egg leaves the arc), HY at 230 (the egg meets the second arc), YH at 280,
// HZ at 320, EP at 400, from K1+200. It turns by 40/120 + 60/60
// + 30 (1/60 + 1/150) / 2 + 50/150 + 40/300 = 2.15 rad.
TEST(ElementRoute, TheRampsMainPointsByHand) {
  const Route route(ramp());
  std::vector<std::string> named;
  for (const NamedPoint& m : route.mainPoints())
    named.push_back(route.pointName(m.kind, m.index) + " " +
                    stationText(route.stationAt(m.measure)));
  EXPECT_EQ(named, (std::vector<std::string>{"ZH K1+300.000", "HY K1+340.000", "YH K1+400.000",
                                             "HY K1+430.000", "YH K1+480.000", "HZ K1+520.000"}));
  EXPECT_NEAR(turnBetween(radians(30), route.pointAt(400.0)->azimuth), 2.15, 1e-12);
  EXPECT_EQ(stationText(route.stationAt(route.length())), "K1+600.000");
  EXPECT_EQ(route.endPoint(), route.pointAt(400.0)->point);
  // Off the JD pattern, a point is named by the element that starts there
  // ("#4" for the fourth, without a name): two arcs, two clothoids back to
  // back, a clothoid that ends on a curvature before a straight.
  RouteDefinition compound = ramp();
  compound.elements[3] = {"", ElementKind::Arc, 150, 150, 30, Turn::Right, {}, {}};
  compound.elements[4].kind = ElementKind::Clothoid;
  compound.elements[4].endRadius = kNoRadius;
  compound.elements[5] = {"S", ElementKind::Clothoid, kNoRadius, 200, 40, Turn::Left, {}, {}};
  const Route other(compound);
  std::vector<std::string> names;
  for (const NamedPoint& m : other.mainPoints())
    names.push_back(other.pointName(m.kind, m.index));
  EXPECT_EQ(names, (std::vector<std::string>{"ZH", "HY", "#4", "YH", "S", "L2"}));
}

TEST(ElementRoute, RandomRoutesLandWhereTheIntegrationPutsThem) {
  for (const std::uint64_t seed : {1, 2, 3}) {
    const RouteDefinition d = test::randomElementRoute(200, seed);
    const Route route(d);
    ASSERT_TRUE(route.checks().empty()) << route.checks().front().message;
    const Integration integration(d);
    test::RandomRoute draw(seed + 10);
    double worst = 0;
    for (int i = 0; i < 200; ++i) {
      const double m = draw.uniform(0, route.length());
      worst = std::max(worst, distance(route.pointAt(m)->point, integration.pointAt(m)));
    }
    std::printf("%zu random elements, %.0f m: worst %.3g m\n", d.elements.size(), route.length(),
                worst);
    EXPECT_LT(worst, 1e-8) << seed;
  }
}

// The foot of a side stake is the stake's centre point, on every kind of
// element, eggs and S-curves included.
TEST(ElementRoute, StakeThenLocateComesBack) {
  const Route route(test::randomElementRoute(300, 4));
  test::RandomRoute draw(8);
  double worstMeasure = 0, worstOffset = 0;
  for (int i = 0; i < 2000; ++i) {
    const double measure = draw.uniform(0, route.length());
    const double offset = draw.uniform(-30, 30);
    const auto found = route.locate(sideStake(*route.pointAt(measure), offset));
    ASSERT_TRUE(found);
    worstMeasure = std::max(worstMeasure, std::fabs(found->foot.measure - measure));
    worstOffset = std::max(worstOffset, std::fabs(found->offset - offset));
  }
  EXPECT_LT(worstMeasure, 1e-6);
  EXPECT_LT(worstOffset, 1e-6);
}

// What cannot be made as typed is said, with its amount, and made the
// nearest way that keeps the chainages after it: the ramp with one row
// spoilt at a time.
TEST(ElementRoute, ChecksSayWhatCannotBeMadeAndKeepTheChainages) {
  const struct {
    const char* name;
    void (*spoil)(ElementRow&);
    CheckKind kind;
    double amount, length; // of the route made
    const char* message;
  } cases[] = {
      {"ZeroLength", [](ElementRow& r) { r.length = 0; }, CheckKind::LengthNotPositive, 0, 370,
       "A2: the length 0 is not a positive number within 1e9; left out"},
      {"ZeroRadius", [](ElementRow& r) { r.endRadius = 0; }, CheckKind::RadiusNotPositive, 0, 400,
       "A2: the radius 0 is not a positive number within 1e9; taken as a straight"},
      {"RadiiEqual", [](ElementRow& r) { r.endRadius = 60; }, CheckKind::RadiiEqual, 60, 400,
       "A2: a clothoid whose start and end radius are both 60; taken as an arc"},
      {"NoTurn", [](ElementRow& r) { r.turn = Turn::None; }, CheckKind::TurnMissing, 0, 400,
       "A2: a curve without its turning side; taken as a straight"},
      {"ArcWithoutRadius",
       [](ElementRow& r) {
         r.kind = ElementKind::Arc;
         r.startRadius = r.endRadius = kNoRadius;
       },
       CheckKind::ArcWithoutRadius, 0, 400, "A2: an arc without a radius; taken as a straight"},
      {"StartOffTheChain",
       [](ElementRow& r) {
         r.x = 3456800.0;
         r.y = 512400.0;
       },
       CheckKind::StartGap, -1, 400, nullptr},
  };
  const Route good(ramp());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RouteDefinition d = ramp();
    c.spoil(d.elements[3]);
    const Route route(d);
    ASSERT_EQ(route.checks().size(), 1u);
    const Check& check = route.checks()[0];
    EXPECT_EQ(check.kind, c.kind);
    EXPECT_EQ(check.element, 3);
    if (c.message) {
      EXPECT_EQ(check.amount, c.amount);
      EXPECT_EQ(check.message, c.message);
    } else {
      EXPECT_EQ(check.amount, *route.startGap(3));
      EXPECT_NEAR(check.amount, distance({3456800, 512400}, good.pointAt(200.0)->point), 1e-9);
    }
    EXPECT_EQ(route.length(), c.length);
    EXPECT_EQ(route.stationAt(route.length()).chainage, 1200 + c.length);
  }
  // A start given within the rounding of its millimetres is no mistake.
  RouteDefinition d = ramp();
  const PlanePoint start = good.pointAt(200.0)->point;
  d.elements[3].x = std::round(start.x * 1000) / 1000;
  d.elements[3].y = std::round(start.y * 1000) / 1000;
  const Route close(d);
  EXPECT_TRUE(close.checks().empty());
  EXPECT_LT(*close.startGap(3), 1e-3);
  EXPECT_FALSE(close.startGap(2));
}

// Each edit gives the route a fresh computation gives: the chain kept from
// before is the part before the edited element.
TEST(ElementRoute, EditsAgreeWithAFreshRoute) {
  Route edited(test::randomElementRoute(60, 6));
  test::RandomRoute draw(12);
  for (int step = 0; step < 60; ++step) {
    const auto count = static_cast<double>(edited.definition().elements.size());
    const auto k = static_cast<std::size_t>(draw.uniform(0, count));
    ElementRow row = edited.definition().elements[k];
    row.length = std::round(draw.uniform(10, 200));
    switch (step % 3) {
    case 0: edited.replaceElement(k, row); break;
    case 1: edited.insertElement(k, row); break;
    default: edited.eraseElement(k); break;
    }
    const Route fresh(edited.definition());
    ASSERT_EQ(edited.length(), fresh.length()) << step;
    ASSERT_EQ(edited.checks().size(), fresh.checks().size()) << step;
    for (const double m : {0.0, edited.length() / 2, edited.length()})
      ASSERT_EQ(edited.pointAt(m)->point, fresh.pointAt(m)->point) << step;
    ASSERT_EQ(edited.endPoint(), fresh.endPoint()) << step;
  }
  EXPECT_THROW(edited.eraseElement(1000), std::out_of_range);
}

TEST(ElementRoute, RowsOfTheOtherMethodAreNotUsedAndSaidSo) {
  RouteDefinition d = ramp();
  d.jds = test::threeJdRoute().jds;
  const Route route(d);
  EXPECT_EQ(route.jdCount(), 0u);
  ASSERT_EQ(route.checks().size(), 1u);
  EXPECT_EQ(route.checks()[0].kind, CheckKind::RowsNotUsed);
  EXPECT_EQ(route.checks()[0].amount, 3);
  EXPECT_EQ(route.length(), 400);
  RouteDefinition jds = test::threeJdRoute();
  jds.elements = ramp().elements;
  EXPECT_EQ(Route(jds).checks()[0].message,
            "the route is given by JDs: its 7 elements are not used");
  // Without an element of any length there is no route.
  RouteDefinition none = ramp();
  for (ElementRow& row : none.elements)
    row.length = -1;
  EXPECT_FALSE(Route(none).hasGeometry());
}

// A route by JDs and the route by elements made from its table: the same
// stakes, and every main point but QZ in its place, named alike.
void expectSameStakes(const Route& jds) {
  const Route elements(elementDefinition(jds));
  ASSERT_TRUE(elements.checks().empty()) << elements.checks().front().message;
  EXPECT_NEAR(elements.length(), jds.length(), 1e-9);
  double worst = 0, worstGap = 0;
  const StakeList stakes = stakePositions(jds, {0, jds.length(), 10});
  for (const StakePosition& stake : stakes.stakes) {
    const auto a = jds.pointAt(stake.station), b = elements.pointAt(stake.station);
    ASSERT_TRUE(a && b) << stationText(stake.station);
    worst = std::max(worst, distance(a->point, b->point));
  }
  for (std::size_t k = 0; k < elements.elementCount(); ++k)
    worstGap = std::max(worstGap, elements.startGap(k).value_or(0));
  std::vector<NamedPoint> expected;
  for (const NamedPoint& m : jds.mainPoints())
    if (m.kind != StakeKind::QZ)
      expected.push_back(m);
  ASSERT_EQ(elements.mainPoints().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(elements.mainPoints()[i].kind, expected[i].kind) << i;
    EXPECT_NEAR(elements.mainPoints()[i].measure, expected[i].measure, 1e-9) << i;
  }
  std::printf("%zu JDs by their elements: worst stake %.3g m, worst start %.3g m\n", jds.jdCount(),
              worst, worstGap);
  EXPECT_LT(worst, 1e-9);
  EXPECT_LT(worstGap, 1e-9);
}

TEST(ElementTable, TheExampleRouteRebuiltFromItsTableGivesTheSameStakes) {
  const auto example = openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  ASSERT_TRUE(example) << example.error();
  const Route route(*example);
  expectSameStakes(route);
  // Rows as a field table lists them: JD2's unequal transitions, named by
  // the point each starts at.
  const ElementTable table = elementTable(route);
  const ElementTableRow& hy = table.rows[6];
  EXPECT_EQ(hy.name, "JD2 HY");
  EXPECT_EQ(hy.kind, ElementKind::Arc);
  EXPECT_EQ(hy.startRadius, 800);
  EXPECT_EQ(hy.turn, route.jd(1).curve.turn > 0 ? Turn::Right : Turn::Left);
  EXPECT_EQ(table.rows[7].name, "JD2 YH");
  EXPECT_EQ(table.rows[7].startRadius, 800);
  EXPECT_EQ(table.rows[7].endRadius, kNoRadius);
  EXPECT_EQ(table.rows[7].length, 100);
  EXPECT_EQ(table.rows[0].name, "BP");
  EXPECT_EQ(table.rows[1].startMeasure, route.jd(0).mainPoints.zh);
  EXPECT_EQ(table.rows[1].startStation, route.stationAt(route.jd(0).mainPoints.zh));
}

TEST(ElementTable, RandomRoutesRebuiltFromTheirTablesGiveTheSameStakes) {
  expectSameStakes(Route(test::threeJdRoute()));
  // Seed 5 pins a fault: a whole transition's end taken a hair short of its
  // end, where its radius R Ls / l is 1e18 instead of none.
  for (const std::uint64_t seed : {1, 2, 3, 4, 5})
    expectSameStakes(Route(test::randomRoute(60, seed)));
}

} // namespace
} // namespace quenlor::route

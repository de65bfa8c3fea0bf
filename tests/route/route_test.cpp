// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route.h"
#include "support/random_route.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace quenlor::route {
namespace {

using test::radians;
using test::threeJdRoute;

// Worked by hand, with the textbook expansions of the exact shift and
// extension (enough terms for 1e-9 m here) and the tangent formulas written
// the second way, T_i = (R + p_i) tan(a/2) + q_i + (p_other - p_i) / sin a:
//
// JD1, 45 deg right, R 800, Ls 120:
//   p = Ls^2/24R - Ls^4/2688R^3 + Ls^6/506880R^5 = 0.75 - 0.000150670 + 0.000000018 = 0.749849348
//   q = Ls/2 - Ls^3/240R^2 + Ls^5/34560R^4 = 60 - 0.01125 + 0.0000018 = 59.988751758
//   T = 800.749849348 tan 22.5 + 59.988751758 = 391.670199426
//   E = 800.749849348 / cos 22.5 - 800 = 66.725391320;  L = 800 pi/4 + 120 = 748.318530718
// JD2, 35 deg left, R 600, Ls 100 and 80: p1 0.694272237, q1 49.988428158,
//   p2 0.444373904, q2 39.994074806; (p2 - p1) / sin 35 = -0.435684181
//   T1 = 600.694272237 tan 17.5 + 49.988428158 - 0.435684181 = 238.950920235
//   T2 = 600.444373904 tan 17.5 + 39.994074806 + 0.435684181 = 229.749143133
//   L = 600 (35 pi/180 - 100/1200 - 80/1200) + 180 = 456.519142919; E 29.714563997
// JD3, 30 deg right, R 1500, no transitions: T = 1500 tan 15 = 401.923788647,
//   E = 1500 / cos 15 - 1500 = 52.914270615, L = 1500 pi/6 = 785.398163397
// Chainages, from BP at K1+000:
//   JD1 = 1000 + 1200                                    = 2200
//   JD2 = 2200 + 1500 - (391.670199426 * 2 - 748.318530718) = 3664.978131866
//   JD3 = 3664.978131866 + 1300 - (238.950920235 + 229.749143133 - 456.519142919)
//                                                        = 4952.797211417
//   EP  = 4952.797211417 + 1000 - (401.923788647 * 2 - 785.398163397) = 5934.347797521
//   ZH = JD - T1, HY = ZH + Ls1, QZ = HY + Ly/2, YH = HY + Ly, HZ = YH + Ls2.
// (The same figures, to 12 digits, from a numerical integration of the
// clothoid at 40 digits.)
struct WorkedJd {
  double deflection; // degrees
  double t1, t2, e, l;
  double k, zh, hy, qz, yh, hz;
};
constexpr WorkedJd kWorked[3] = {
    {45, 391.670199426, 391.670199426, 66.725391320, 748.318530718, 2200, 1808.329800574,
     1928.329800574, 2182.489065933, 2436.648331292, 2556.648331292},
    {-35, 238.950920235, 229.749143133, 29.714563997, 456.519142919, 3664.978131866, 3426.027211632,
     3526.027211632, 3664.286783091, 3802.546354550, 3882.546354550},
    {30, 401.923788647, 401.923788647, 52.914270615, 785.398163397, 4952.797211417, 4550.873422770,
     4550.873422770, 4943.572504469, 5336.271586168, 5336.271586168},
};

TEST(Route, ThreeJdsWorkedByHand) {
  const Route route(threeJdRoute());
  EXPECT_TRUE(route.checks().empty());
  const auto chainage = [&](double measure) { return route.stationAt(measure).chainage; };
  for (int i = 0; i < 3; ++i) {
    const WorkedJd& w = kWorked[i];
    const JdResult jd = route.jd(i);
    SCOPED_TRACE("JD" + std::to_string(i + 1));
    EXPECT_NEAR(jd.curve.deflection, radians(w.deflection), 1e-12);
    EXPECT_NEAR(jd.curve.tangent1, w.t1, 1e-8);
    EXPECT_NEAR(jd.curve.tangent2, w.t2, 1e-8);
    EXPECT_NEAR(jd.curve.external, w.e, 1e-8);
    EXPECT_NEAR(jd.curve.length, w.l, 1e-8);
    EXPECT_NEAR(chainage(jd.measure), w.k, 1e-8);
    EXPECT_NEAR(chainage(jd.mainPoints.zh), w.zh, 1e-8);
    EXPECT_NEAR(chainage(jd.mainPoints.hy), w.hy, 1e-8);
    EXPECT_NEAR(chainage(jd.mainPoints.qz), w.qz, 1e-8);
    EXPECT_NEAR(chainage(jd.mainPoints.yh), w.yh, 1e-8);
    EXPECT_NEAR(chainage(jd.mainPoints.hz), w.hz, 1e-8);
  }
  EXPECT_NEAR(chainage(route.length()), 5934.347797521, 1e-8);
}

// QZ of a symmetric curve lies E from the JD on the bisector: for JD1,
// halfway between 210 deg (back along the incoming straight) and 75 deg.
TEST(Route, QzOfASymmetricCurveOnTheBisector) {
  const Route route(threeJdRoute());
  const JdResult jd = route.jd(0);
  const Jd& typed = route.definition().jds[0];
  const auto qz = route.pointAt(jd.mainPoints.qz);
  ASSERT_TRUE(qz);
  EXPECT_NEAR(qz->point.x, typed.x + kWorked[0].e * std::cos(radians(142.5)), 1e-8);
  EXPECT_NEAR(qz->point.y, typed.y + kWorked[0].e * std::sin(radians(142.5)), 1e-8);
  EXPECT_NEAR(qz->azimuth, radians(52.5), 1e-12);
  // It lies on JD1's arc, as the piece a plan draws there says.
  for (const Route::Span& span : route.spans())
    if (span.from <= qz->measure && qz->measure < span.to) {
      EXPECT_EQ(route.piece(span).kind, PieceKind::Arc);
      EXPECT_EQ(route.piece(span).owner, 0);
    }
}

// Pins a fault: HY and YH of a curve without transitions were left
// uninitialised, so they stood anywhere while the centre line was right.
TEST(Route, MainPointsStandOnTheCentreLine) {
  const Route route(threeJdRoute());
  for (std::size_t i = 0; i < route.jdCount(); ++i) {
    const JdResult jd = route.jd(i);
    const MainPoints& m = jd.mainPoints;
    const std::pair<double, PlanePoint> points[] = {{m.zh, jd.curve.zh},
                                                    {m.hy, jd.curve.hy},
                                                    {m.qz, jd.curve.qz},
                                                    {m.yh, jd.curve.yh},
                                                    {m.hz, jd.curve.hz}};
    for (const auto& [measure, point] : points)
      EXPECT_LT(distanceBetween(route.pointAt(measure)->point, point), 1e-8) << "JD" << i + 1;
  }
}

// The ends of consecutive pieces of the centre line, worst over the route.
struct Gaps {
  double position = 0, direction = 0;
};
Gaps worstGaps(const Route& route) {
  Gaps worst;
  const auto& pieces = route.spans();
  for (std::size_t k = 1; k < pieces.size(); ++k) {
    const Element before = route.element(pieces[k - 1].element);
    const Element after = route.element(pieces[k].element);
    const ElementPoint a = pointOn(before, pieces[k - 1].to - before.start);
    const ElementPoint b = pointOn(after, pieces[k].from - after.start);
    worst.position = std::max(worst.position, distanceBetween(a.point, b.point));
    worst.direction = std::max(worst.direction, std::fabs(turnBetween(a.azimuth, b.azimuth)));
  }
  return worst;
}

class RandomRouteTest : public ::testing::Test {
protected:
  static const Route& route() {
    static const Route route(test::randomRoute(500));
    return route;
  }
};

TEST_F(RandomRouteTest, ContinuousAtEveryMainPoint) {
  ASSERT_TRUE(route().checks().empty()) << route().checks().front().message;
  const Gaps worst = worstGaps(route());
  std::printf("500 random JDs: worst gap %.3g m, worst turn %.3g rad\n", worst.position,
              worst.direction);
  EXPECT_LT(worst.position, 1e-6);
  EXPECT_LT(worst.direction, 1e-9);
}

TEST_F(RandomRouteTest, StakeThenLocateComesBack) {
  test::RandomRoute draw(7);
  double worstMeasure = 0, worstOffset = 0;
  for (int i = 0; i < 3000; ++i) {
    const double measure = draw.uniform(0, route().length());
    const double offset = draw.uniform(-30, 30);
    const auto centre = route().pointAt(measure);
    ASSERT_TRUE(centre);
    const auto found = route().locate(sideStake(*centre, offset));
    ASSERT_TRUE(found);
    worstMeasure = std::max(worstMeasure, std::fabs(found->foot.measure - measure));
    worstOffset = std::max(worstOffset, std::fabs(found->offset - offset));
  }
  std::printf("3000 stakes located: worst measure %.3g m, worst offset %.3g m\n", worstMeasure,
              worstOffset);
  EXPECT_LT(worstMeasure, 1e-4);
  EXPECT_LT(worstOffset, 1e-4);
}

TEST(Route, BeyondTheEndsOnTheStraightsExtended) {
  const Route route(threeJdRoute());
  const CentrePoint bp = *route.pointAt(0.0);
  const auto behind =
      route.locate(sideStake({-50, moved(bp.point, along(bp.azimuth), -50), bp.azimuth}, -4));
  ASSERT_TRUE(behind);
  EXPECT_TRUE(behind->beyondStart);
  EXPECT_NEAR(behind->foot.measure, -50, 1e-9);
  EXPECT_NEAR(behind->station.chainage, 950, 1e-9);
  EXPECT_NEAR(behind->offset, -4, 1e-9);
  const CentrePoint ep = *route.pointAt(route.length());
  const auto ahead = route.locate(moved(ep.point, along(ep.azimuth), 20));
  ASSERT_TRUE(ahead);
  EXPECT_TRUE(ahead->beyondEnd);
  EXPECT_NEAR(ahead->foot.measure, route.length() + 20, 1e-9);
  EXPECT_FALSE(route.pointAt(route.length() + 1));
  EXPECT_FALSE(route.pointAt(-1.0));
  EXPECT_EQ(route.whyNoPoint(route.stationAt(-1.0)),
            "K0+999.000 lies beyond the route, which runs from K1+000.000 to K5+934.348");
  EXPECT_EQ(route.whyNoPoint(route.stationAt(1.0)), "");
}

// Each edit gives the route a fresh computation gives: the curves kept from
// before are those whose inputs did not change.
TEST(Route, EditsAgreeWithAFreshRoute) {
  RouteDefinition definition = test::randomRoute(40, 3);
  Route edited(definition);
  test::RandomRoute draw(11);
  for (int step = 0; step < 100; ++step) {
    const std::size_t i = static_cast<std::size_t>(draw.uniform(0, edited.jdCount()));
    Jd jd = edited.definition().jds[i];
    jd.x += draw.uniform(-30, 30);
    jd.radius = std::round(draw.uniform(100, 2000));
    StartPoint bp = edited.definition().start;
    EndPoint ep = edited.definition().end;
    switch (step % 5) {
    case 0: edited.replaceJd(i, jd); break;
    case 1:
      edited.insertJd(i, {jd.name + "a", (jd.x + edited.definition().end.x) / 2, jd.y + 5, 500, 60,
                          std::nullopt});
      break;
    case 2: edited.eraseJd(i); break;
    case 3: // moves the origin of the local coordinates too
      bp.x += draw.uniform(-3, 3);
      edited.setStart(bp);
      break;
    case 4:
      ep.y += draw.uniform(-30, 30);
      edited.setEnd(ep);
      break;
    }
    const Route fresh(edited.definition());
    ASSERT_EQ(fresh.length(), edited.length()) << "step " << step;
    for (std::size_t k = 0; k < fresh.jdCount(); ++k) {
      ASSERT_EQ(fresh.jd(k).measure, edited.jd(k).measure) << "step " << step << " JD " << k;
      ASSERT_EQ(fresh.jd(k).curve.tangent2, edited.jd(k).curve.tangent2);
    }
    ASSERT_EQ(fresh.checks().size(), edited.checks().size());
  }
}

struct CheckCase {
  const char* name;
  void (*spoil)(RouteDefinition&);
  CheckKind kind;
  int jd;
  const char* message;
};

class RouteChecks : public ::testing::TestWithParam<CheckCase> {};

// Each fault is reported once, with its JD, and the route stays usable.
TEST_P(RouteChecks, NameTheirJdAndLeaveTheRouteUsable) {
  RouteDefinition definition = threeJdRoute();
  GetParam().spoil(definition);
  const Route route(definition);
  ASSERT_EQ(route.checks().size(), 1u) << route.checks().front().message;
  const Check& check = route.checks().front();
  EXPECT_EQ(check.kind, GetParam().kind);
  EXPECT_EQ(check.jd, GetParam().jd);
  EXPECT_EQ(check.message, GetParam().message);
  EXPECT_TRUE(route.hasGeometry());
  EXPECT_TRUE(route.locate({3458000, 514000}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RouteChecks,
    ::testing::Values(
        CheckCase{"ZeroRadius", [](RouteDefinition& d) { d.jds[1].radius = 0; },
                  CheckKind::RadiusNotPositive, 1,
                  "JD2: the radius R = 0 is not positive; taken as an angle point without curve"},
        CheckCase{"NegativeTransition", [](RouteDefinition& d) { d.jds[0].ls2 = -5; },
                  CheckKind::NegativeTransition, 0,
                  "JD1: a transition is negative (Ls = 120, ls2 = -5); taken as an angle point "
                  "without curve"},
        CheckCase{"TransitionsTooLong", [](RouteDefinition& d) { d.jds[2].ls1 = 800; },
                  CheckKind::TransitionsTooLong, 2,
                  "JD3: the transitions are too long for the deflection (beta1 + beta2 = "
                  "30°33′27.9″ > alpha = 30°00′00.0″); taken as an angle point "
                  "without curve"},
        // Figures worked as in ThreeJdsWorkedByHand: T1 of JD2 with R 3500 is
        // 1153.508238, T1 of JD1 with R 2800 is 1219.885815, T of JD3 with
        // R 3800 is 1018.206931.
        CheckCase{"CurvesOverlap",
                  [](RouteDefinition& d) {
                    d.jds[1].radius = 3500;
                    d.jds[2].radius = 100;
                  },
                  CheckKind::CurvesOverlap, 0,
                  "JD1 and JD2: the curves overlap by 45.178 m (HZ of JD1 at K2+556.648 beyond "
                  "ZH of JD2 at K2+511.470)"},
        CheckCase{"StartLegTooShort", [](RouteDefinition& d) { d.jds[0].radius = 2800; },
                  CheckKind::StartLegTooShort, 0,
                  "JD1: the curve starts 19.886 m before BP (ZH at K0+980.114)"},
        CheckCase{"EndLegTooShort", [](RouteDefinition& d) { d.jds[2].radius = 3800; },
                  CheckKind::EndLegTooShort, 2, "JD3: the curve ends 18.207 m beyond EP"},
        CheckCase{"SamePointAsTheJdBefore",
                  [](RouteDefinition& d) {
                    d.jds.insert(d.jds.begin() + 1, d.jds[0]);
                    d.jds[1].name = "JD1a";
                  },
                  CheckKind::SamePoint, 1, "JD1a: stands on JD1 (within 1 mm); left out"},
        CheckCase{"JdOnEp",
                  [](RouteDefinition& d) {
                    d.jds.push_back({"JD4", d.end.x, d.end.y, 500, 0, std::nullopt});
                  },
                  CheckKind::SamePoint, 3, "JD4: stands on EP (within 1 mm); left out"},
        CheckCase{"ZeroDeflection",
                  [](RouteDefinition& d) {
                    d.jds.insert(d.jds.begin(), {"JD0", (d.start.x + d.jds[0].x) / 2,
                                                 (d.start.y + d.jds[0].y) / 2, 500, 0, 0});
                  },
                  CheckKind::ZeroDeflection, 0,
                  "JD0: the straights meet without deflection; taken as an angle point without "
                  "curve"},
        CheckCase{"UnusableCoordinate", [](RouteDefinition& d) { d.jds[1].y = NAN; },
                  CheckKind::UnusableNumber, 1, "JD2: X or Y is not a number within 1e9; left out"},
        CheckCase{"BreakOutsideTheRoute",
                  [](RouteDefinition& d) {
                    d.breaks = {{"DL1", 9000, 8000}};
                  },
                  CheckKind::BreakOutsideRoute, -1,
                  "DL1 (K9+000.000 = K8+000.000): not inside the route; left out"},
        CheckCase{"BreakOutOfOrder",
                  [](RouteDefinition& d) {
                    d.breaks = {{"", 3000, 3500}, {"", 3200, 3100}};
                  },
                  CheckKind::BreakOutOfOrder, -1,
                  "chain break #2 (K3+200.000 = K3+100.000): not beyond the chain break before "
                  "it; left out"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Route, WithoutBpThereIsNoGeometryAndEveryQuerySaysSo) {
  RouteDefinition definition = threeJdRoute();
  definition.start.x = INFINITY;
  const Route route(definition);
  EXPECT_FALSE(route.hasGeometry());
  ASSERT_EQ(route.checks().size(), 1u);
  EXPECT_EQ(route.checks()[0].kind, CheckKind::NoRoute);
  EXPECT_FALSE(route.pointAt(10.0));
  EXPECT_EQ(route.whyNoPoint({1010, 0}), "the route has no geometry (see its checks)");
  EXPECT_FALSE(route.locate({0, 0}));
}

} // namespace
} // namespace quenlor::route

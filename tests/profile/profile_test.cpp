// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/cut_fill.h"
#include "profile/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <iostream>
#include <limits>
#include <random>

namespace quenlor {

// Shows a check that differs from the one expected.
void PrintTo(const ProfileCheck& c, std::ostream* out) {
  *out << "{kind " << static_cast<int>(c.kind) << ", point " << c.point << ", other "
       << (c.other ? std::to_string(*c.other) : "none") << ", amount " << c.amount << "}";
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A grade point whose chainage is its measure.
GradePoint P(double measure, double elevation, double radius = 0) {
  return {"", measure, measure, elevation, radius};
}

// The crest and sag worked by hand in vertical_curve.h: grades +5 %, −4 %, +3 %.
Profile workedProfile() {
  return Profile::build(
      {P(4800, 416.18), P(5030, 427.68, 2000), P(5400, 412.88, 3000), P(5700, 421.88)}, 4800, 5700);
}

struct LevelCase {
  double measure, elevation, grade;
};

// Hand figures: x from the nearer end, y = x²/(2Rv), elevation = tangent ∓ y.
constexpr LevelCase kWorkedLevels[] = {
    {4800, 416.18, 0.05},                // the first point
    {4900, 421.18, 0.05},                // on the +5 % grade
    {4940, 423.18, 0.05},                // crest start: 427.68 − 90·0.05
    {4980, 424.78, 0.03},                // 425.18 − 1600/4000; 5 % − 40/2000
    {5030, 425.655, 0.005},              // 427.68 − E (2.025); (5 % − 4 %)/2
    {5100, 424.78, -0.03},               // 424.88 − 400/4000; −4 % + 20/2000
    {5120, 424.08, -0.04},               // crest end: 427.68 − 90·0.04
    {5200, 420.88, -0.04},               // on the −4 % grade
    {5295, 417.08, -0.04},               // sag start: 412.88 + 105·0.04
    {5350, 415.384166667, -0.021666667}, // 414.88 + 3025/6000; −4 % + 55/3000
    {5400, 414.7175, -0.005},            // 412.88 + E (1.8375); (−4 % + 3 %)/2
    {5460, 415.0175, 0.015},             // 414.68 + 2025/6000; 3 % − 45/3000
    {5505, 416.03, 0.03},                // sag end: 412.88 + 105·0.03
    {5600, 418.88, 0.03},                // on the +3 % grade
    {5700, 421.88, 0.03},                // the last point
};

TEST(Profile, WorkedCrestAndSag) {
  const Profile profile = workedProfile();
  EXPECT_TRUE(profile.checks().empty());
  for (const LevelCase& c : kWorkedLevels) {
    const auto level = profile.at(c.measure);
    ASSERT_TRUE(level) << c.measure;
    EXPECT_NEAR(level->elevation, c.elevation, 1e-9) << c.measure;
    EXPECT_NEAR(level->grade, c.grade, 1e-9) << c.measure;
  }
}

// The design line ends at its first and last grade points: no grade is
// carried on beyond them.
TEST(Profile, NoLevelBeyondTheFirstAndLastPoints) {
  const Profile profile = workedProfile();
  for (const double m : {4799.999, 5700.001, -1e9, 1e9})
    EXPECT_FALSE(profile.at(m)) << m;
}

// The asymmetric curve worked in vertical_curve.h: T1 = 100, T2 = 200 on
// +2 % / −4 % at 1000.
TEST(Profile, WorkedAsymmetricCurve) {
  GradePoint pvi = P(1000, 100);
  pvi.tangentIn = 100;
  pvi.tangentOut = 200;
  const Profile profile = Profile::build({P(0, 80), pvi, P(2000, 60)}, 0, 2000);
  EXPECT_TRUE(profile.checks().empty());
  ASSERT_EQ(profile.curves().size(), 1u);
  const VerticalCurve& c = profile.curves()[0];
  // E, R1, R2, start, end, their elevations
  const double got[] = {c.external, c.radiusIn,       c.radiusOut,   c.start,
                        c.end,      c.startElevation, c.endElevation};
  const double expected[] = {2, 2500, 10000, 900, 1200, 98, 92};
  for (std::size_t j = 0; j < std::size(got); ++j)
    EXPECT_NEAR(got[j], expected[j], 1e-9) << j;
  const LevelCase levels[] = {{900, 98, 0.02},     {950, 98.5, 0},    {1000, 98, -0.02},
                              {1100, 95.5, -0.03}, {1200, 92, -0.04}, {1300, 88, -0.04}};
  for (const LevelCase& l : levels) {
    const auto level = profile.at(l.measure);
    ASSERT_TRUE(level) << l.measure;
    EXPECT_NEAR(level->elevation, l.elevation, 1e-9) << l.measure;
    EXPECT_NEAR(level->grade, l.grade, 1e-9) << l.measure;
  }
}

TEST(Profile, WorkedCurveElementsAndGrades) {
  const Profile profile = workedProfile();
  ASSERT_EQ(profile.curves().size(), 2u);
  // ω, L, T, E, start, end, elevation at the grade point; then the grades in per cent
  const double expected[2][7] = {{-0.09, 180, 90, 2.025, 4940, 5120, 425.655},
                                 {0.07, 210, 105, 1.8375, 5295, 5505, 414.7175}};
  for (int i = 0; i < 2; ++i) {
    const VerticalCurve& c = profile.curves()[i];
    EXPECT_EQ(c.shape, i == 0 ? CurveShape::Crest : CurveShape::Sag);
    const double got[7] = {c.gradeChange, c.length, c.tangent,        c.external,
                           c.start,       c.end,    c.middleElevation};
    for (int j = 0; j < 7; ++j)
      EXPECT_NEAR(got[j], expected[i][j], 1e-9) << i << " " << j;
  }
  ASSERT_EQ(profile.grades().size(), 3u);
  const double percent[] = {5, -4, 3};
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(profile.grades()[i].percent, percent[i], 1e-12);
}

TEST(Profile, NoRadiusIsASharpChangeOfGrade) {
  const Profile profile = Profile::build({P(0, 100), P(500, 110), P(1000, 105)}, 0, 1000);
  EXPECT_TRUE(profile.curves().empty());
  EXPECT_DOUBLE_EQ(profile.at(499.999)->grade, 0.02);
  EXPECT_DOUBLE_EQ(profile.at(500)->elevation, 110);
  EXPECT_DOUBLE_EQ(profile.at(500)->grade, -0.01); // the grade ahead
  EXPECT_DOUBLE_EQ(profile.at(1000)->grade, -0.01);
  EXPECT_FALSE(profile.at(kNaN));
  EXPECT_FALSE(Profile::build({P(0, 100)}, 0, 1000).at(0));
}

// A profile read inside a computation of the form: input that is not a number
// is reported, never an arithmetic fault.
TEST(Profile, NotANumberRaisesNoFloatingPointFlag) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const Profile profile =
      Profile::build({P(0, 100), P(kNaN, 1), P(500, 101, kNaN), P(1000, 105)}, kNaN, kNaN);
  EXPECT_FALSE(profile.at(kNaN));
  EXPECT_TRUE(profile.at(250));
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT & ~FE_INEXACT), 0);
}

// Overlapping curves (reported) both correct the grade line at 490: the line
// 108 − 90·0.02 = 106.2, the crest at 400 (T 120, x = 30) −900/12000, the sag
// at 600 (x = 10) +100/12000.
TEST(Profile, OverlappingCurvesBothCorrectTheGradeLine) {
  const Profile profile =
      Profile::build({P(0, 100), P(400, 108, 6000), P(600, 104, 6000), P(1000, 112)}, 0, 1000);
  EXPECT_NEAR(profile.at(490)->elevation, 106.2 - 0.075 + 100.0 / 12000, 1e-9);
}

// Random profiles, one with curves that fit their grades and one with radii
// so large the curves overlap: at every curve end and grade point, the
// elevation and grade just before and just after meet.
class Continuity : public ::testing::TestWithParam<double> {};

TEST_P(Continuity, AtEveryCurveEndAndGradePoint) {
  const double stretch = GetParam();
  std::mt19937 random(17);
  std::uniform_real_distribution<double> spacing(150, 600), grade(-0.06, 0.06), share(0.2, 0.9);
  std::vector<double> length{0}, grades{0};
  std::vector<GradePoint> points{P(0, 500)};
  for (int i = 1; i < 2000; ++i) {
    length.push_back(spacing(random));
    grades.push_back(grade(random));
    points.push_back(
        P(points.back().measure + length[i], points.back().elevation + grades[i] * length[i]));
  }
  // T up to 45 % of the shorter neighbouring grade, times the stretch.
  for (std::size_t i = 1; i + 1 < points.size(); ++i)
    points[i].radius = i % 7 == 0
                           ? 0
                           : stretch * share(random) * 0.9 * std::min(length[i], length[i + 1]) /
                                 std::fabs(grades[i + 1] - grades[i]);
  const Profile profile = Profile::build(points, 0, points.back().measure);
  EXPECT_EQ(profile.curves().size(), 2000u - 2 - 1998 / 7);
  EXPECT_EQ(profile.checks().empty(), stretch <= 1);

  constexpr double kStep = 1e-6;
  double elevationGap = 0, gradeGap = 0;
  for (const VerticalCurve& c : profile.curves())
    for (double m : {c.start, c.pviMeasure, c.end}) {
      const auto below = profile.at(m - kStep), above = profile.at(m + kStep);
      if (!below || !above) // a curve reaching past the line's ends (reported)
        continue;
      const DesignLevel before = *below, after = *above;
      elevationGap = std::max(elevationGap, std::fabs(after.elevation - before.elevation -
                                                      kStep * (after.grade + before.grade)));
      gradeGap = std::max(gradeGap, std::fabs(after.grade - before.grade));
    }
  std::cout << "[ gaps     ] elevation " << elevationGap << " m, grade " << gradeGap << "\n";
  EXPECT_LT(elevationGap, 1e-9);
  EXPECT_LT(gradeGap, 1e-7); // 2·kStep/Rv across the step itself
}

INSTANTIATE_TEST_SUITE_P(Curves, Continuity, ::testing::Values(1.0, 4.0));

struct CheckCase {
  const char* name;
  double routeStart, routeEnd;
  std::vector<GradePoint> points;
  std::vector<ProfileCheck> checks; // amounts to the micrometre
  std::size_t gradeCount;
};

// A function, so that the table keeps one case to a few lines.
CheckCase checkCase(const char* name, double routeStart, double routeEnd,
                    std::vector<GradePoint> points, std::vector<ProfileCheck> checks,
                    std::size_t gradeCount) {
  return {name, routeStart, routeEnd, std::move(points), std::move(checks), gradeCount};
}

class ProfileChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ProfileChecks, AreReportedAndTheRestIsUsed) {
  const CheckCase& c = GetParam();
  const Profile profile = Profile::build(c.points, c.routeStart, c.routeEnd);
  std::vector<ProfileCheck> checks = profile.checks();
  for (ProfileCheck& check : checks)
    check.amount = std::round(check.amount * 1e6) / 1e6;
  EXPECT_EQ(checks, c.checks);
  EXPECT_EQ(profile.grades().size(), c.gradeCount);
  EXPECT_TRUE(profile.at(500));
}

constexpr auto kNone = std::nullopt;
using K = CheckKind;

// Crests and sags of Rv 6000 on a 4 % change of grade: T = 120.
INSTANTIATE_TEST_SUITE_P(
    Kinds, ProfileChecks,
    ::testing::Values(
        checkCase("NotFinite", 0, 1000, {P(0, 100), P(300, kNaN), P(600, 110), P(1000, 100)},
                  {{K::NotFinite, 1, kNone, 0}}, 2),
        checkCase("MistypedMeasureCostsOnlyItsPoint", 0, 1000,
                  {P(0, 100), P(300, 103), P(3000, 106), P(600, 106), P(1000, 100)},
                  {{K::OutOfOrder, 2, 3, 2400}}, 3),
        checkCase("BehindThePointBefore", 0, 1000,
                  {P(0, 100), P(500, 105), P(400, 104), P(1000, 100)}, {{K::OutOfOrder, 2, 1, 100}},
                  2),
        checkCase("SameMeasure", 0, 1000, {P(0, 100), P(500, 105), P(500, 106), P(1000, 100)},
                  {{K::SameMeasure, 2, 1, 0}}, 2),
        checkCase("NegativeRadius", 0, 1000, {P(0, 100), P(500, 110, -100), P(1000, 100)},
                  {{K::NegativeRadius, 1, kNone, 0}}, 2),
        checkCase("PointsOutsideTheRouteShapeItsGrades", 100, 900,
                  {P(0, 100), P(500, 110), P(1000, 100)}, {}, 2),
        // −300's grade ends at −100, before the route; 1400's starts at 1200,
        // beyond it, and 1200's curve (T 129.2) starts there too.
        checkCase("PointsOutsideTheRouteShapingNothing", 0, 1000,
                  {P(-300, 100), P(-100, 104), P(1200, 100, 6000), P(1400, 108)},
                  {{K::PointOutsideRoute, 0, kNone, 300}, {K::PointOutsideRoute, 3, kNone, 400}},
                  3),
        // 1200's curve (ω 4.31 %, T 215.4) reaches back to 984.6: 1500 shapes it.
        checkCase("APointOutsideShapesTheRouteThroughACurve", 0, 1000,
                  {P(-100, 104), P(1200, 100, 10000), P(1500, 112)}, {}, 2),
        checkCase("CurvesOverlap", 0, 1000,
                  {P(0, 100), P(400, 108, 6000), P(600, 104, 6000), P(1000, 112)},
                  {{K::CurvesOverlap, 1, 2, 40}}, 3),
        checkCase("CurvePastAPointWithoutCurve", 0, 1000,
                  {P(0, 100), P(400, 108, 6000), P(500, 106), P(1000, 116)},
                  {{K::CurvesOverlap, 1, 2, 20}}, 3),
        checkCase("CurveBeforeTheFirstPoint", 0, 1000, {P(0, 100), P(100, 102, 6000), P(1000, 84)},
                  {{K::CurvePastStart, 1, 0, 20}}, 2),
        checkCase("CurveAcrossTheRouteStart", 50, 1000,
                  {P(0, 100), P(130, 102.6, 6000), P(1000, 85.2)}, {}, 2),
        checkCase("CurveBeyondTheLastPoint", 0, 1000, {P(0, 100), P(900, 118, 6000), P(1000, 116)},
                  {{K::CurvePastEnd, 1, 2, 20}}, 2),
        checkCase("CurveAcrossTheRouteEnd", 0, 950,
                  {P(0, 100), P(870, 117.4, 6000), P(1000, 114.8)}, {}, 2),
        // Fault: a line short of the route's ends was not said; no level
        // there.
        checkCase("LineShortOfTheRoute", -20, 1000, {P(100, 100), P(500, 110), P(700.5, 100)},
                  {{K::LineStartsLate, 0, kNone, 120}, {K::LineEndsEarly, 2, kNone, 299.5}}, 2)),
    [](const auto& info) { return std::string(info.param.name); });

struct CutFillCase {
  double design, ground, difference;
  Earthwork earthwork;
};

constexpr CutFillCase kCases[] = {
    {101.234, 100, 1.234, Earthwork::Fill},
    {99.5, 100, -0.5, Earthwork::Cut},
    {100.0006, 100, 0.001, Earthwork::Fill}, // rounds up to a millimetre
    {99.9994, 100, -0.001, Earthwork::Cut},
    {100.0004, 100, 0, Earthwork::OnGrade}, // under half a millimetre
    {99.9996, 100, 0, Earthwork::OnGrade},  // and never "−0.000"
};

TEST(CutFill, DecidedToTheMillimetre) {
  for (const CutFillCase& c : kCases) {
    const CutFill result = cutFill(c.design, c.ground);
    EXPECT_DOUBLE_EQ(result.difference, c.difference) << c.design;
    EXPECT_FALSE(std::signbit(result.difference) && result.difference == 0) << c.design;
    EXPECT_EQ(result.earthwork, c.earthwork) << c.design;
  }
}

} // namespace
} // namespace quenlor

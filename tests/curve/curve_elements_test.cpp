// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace quenlor {
namespace {

using test::expectNear;
using test::number;
using test::play;

struct Elements {
  const char* name;
  const char* inputs; // lines of a session
  double t1, e, l, zh, hy, qz, yh, hz;
};

class CurveElements : public ::testing::TestWithParam<Elements> {};

TEST_P(CurveElements, FillTheEightResultBoxes) {
  const Elements& c = GetParam();
  Form form;
  play(form, c.inputs);
  expectNear(form, Box::Text11, c.t1);
  expectNear(form, Box::Text12, c.e);
  expectNear(form, Box::Text34, c.l);
  expectNear(form, Box::Text21, c.zh);
  expectNear(form, Box::Text22, c.hy);
  expectNear(form, Box::Text23, c.qz);
  expectNear(form, Box::Text24, c.yh);
  expectNear(form, Box::Text25, c.hz);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedCurves, CurveElements,
    ::testing::Values(
        Elements{"EqualTransitions",
                 "type Text6 30\ntype Text8 1000\ntype Text9 500\ntype Text10 60\ntype Text42 60",
                 164.0514, 17.9487, 321.7994, 835.9486, 895.9486, 996.8483, 1097.7480, 1157.7480},
        Elements{"UnequalTransitions",
                 "set Text6 30\nset Text8 1000\nset Text9 500\nset Text10 60\nset Text42 40",
                 163.7180, 17.9487, 311.7994, 836.2820, 896.2820, 1002.1816, 1108.0813, 1148.0813},
        Elements{"LeftTurnSameAsRight",
                 "set Text8 1000\nset Text9 500\nset Text10 60\nset Text42 60\nset Text6 -30",
                 164.0514, 17.9487, 321.7994, 835.9486, 895.9486, 996.8483, 1097.7480, 1157.7480},
        Elements{"NoTransitions", "set Text8 1000\nset Text6 30\nset Text9 500", 133.9746, 17.6381,
                 261.7994, 866.0254, 866.0254, 996.9251, 1127.8248, 1127.8248},
        Elements{"EmptyDeflection", "set Text8 1000\nset Text9 500\nset Text10 60\nset Text42 60",
                 29.9964, 0.3, 60, 970.0036, 1030.0036, 1000.0036, 970.0036, 1030.0036}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CurveElements, EmptyRadiusGivesAFiniteDegenerateCurve) {
  Form form;
  play(form, "set Text8 1000\nset Text6 30");
  for (Box box : {Box::Text11, Box::Text12, Box::Text34})
    EXPECT_LT(std::fabs(test::number(form, box)), 1e-20) << form.text(box);
  for (Box box : {Box::Text21, Box::Text22, Box::Text23, Box::Text24, Box::Text25})
    EXPECT_EQ(form.text(box), "1000");
  EXPECT_EQ(form.state().radius, 1e-20);
}

TEST(CurveElements, EmptyDeflectionWithUnequalTransitionsIsHugeButFinite) {
  Form form;
  play(form, "set Text9 500\nset Text10 60\nset Text42 40");
  EXPECT_NEAR(test::number(form, Box::Text11), -1.6667e17, 0.0001e17);
  EXPECT_EQ(form.state().deflection, 1e-18);
}

TEST(CurveElements, EveryInputBoxRewritesAllEightResults) {
  const char* inputs = "set Text6 30\nset Text8 1000\nset Text9 500\nset Text10 60\nset Text42 60";
  const Box results[] = {Box::Text11, Box::Text12, Box::Text34, Box::Text21,
                         Box::Text22, Box::Text23, Box::Text24, Box::Text25};
  Form reference;
  play(reference, inputs);
  for (const char* box : {"Text6", "Text8", "Text9", "Text10", "Text42"}) {
    Form form;
    play(form, inputs);
    for (Box result : results)
      form.edit(result, "typed over");
    // A digit typed and taken back: the inputs end as they were.
    play(form, std::string("type ") + box + " 0\nback " + box);
    for (Box result : results)
      EXPECT_EQ(form.text(result), reference.text(result)) << box << " " << boxName(result);
  }
}

TEST(CurveElements, StoresTheStateTheRadiusButtonsReadLater) {
  Form form;
  play(form, "set Text6 -30\nset Text8 1000\nset Text9 500\nset Text10 60\nset Text42 40");
  const CalcState& st = form.state();
  EXPECT_LT(st.deflection, 0);
  EXPECT_EQ(st.deflectionDms, -30);
  EXPECT_EQ(st.transitionLength1, 60);
  EXPECT_EQ(st.transitionLength2, 40);
  EXPECT_NEAR(st.shift1, 0.3, 1e-12);
  EXPECT_NEAR(st.spiralAngle1, 0.06, 1e-12);
  EXPECT_NEAR(st.tangentLength1, 163.7180, 5e-5);
}

constexpr const char* kCurve = "set Text8 1000\nset Text10 60\nset Text42 60\nset Text6 30\n";

TEST(RadiusFromTangent, CascadesThroughTheRadiusBox) {
  Form form;
  play(form, std::string(kCurve) + "set Text11 150\nclick Command3");
  EXPECT_EQ(form.text(Box::Text9), "447.510917555022");
  // The curve elements recomputed for the new radius replace the wanted T.
  expectNear(form, Box::Text11, 149.9955);
  expectNear(form, Box::Text12, 16.1335);
  expectNear(form, Box::Text34, 294.3162);
  expectNear(form, Box::Text21, 850.0045);
  expectNear(form, Box::Text22, 910.0045);
  expectNear(form, Box::Text23, 997.1626);
  expectNear(form, Box::Text24, 1084.3207);
  expectNear(form, Box::Text25, 1144.3207);
}

TEST(RadiusFromTangent, EachFurtherPressTakesTheShownTangent) {
  Form form;
  play(form, std::string(kCurve) + "set Text11 150\nclick Command3\nclick Command3");
  expectNear(form, Box::Text9, 447.4941);
  expectNear(form, Box::Text11, 149.9910);
  const double r2 = number(form, Box::Text9);
  play(form, "click Command3");
  EXPECT_NEAR(r2 - number(form, Box::Text9), 447.510917555022 - r2, 1e-3);
}

TEST(RadiusFromTangent, UnequalTransitionsStillSolveWithLsAlone) {
  Form form;
  play(form, "set Text8 1000\nset Text10 60\nset Text42 40\nset Text6 30\nset Text11 150\n"
             "click Command3");
  EXPECT_EQ(form.text(Box::Text9), "447.510917555022");
  expectNear(form, Box::Text11, 149.6231);
  expectNear(form, Box::Text34, 284.3162);
}

// The button writes its own symmetric tangent length into Text11, not the
// first tangent the cascade computed: with ls2 = 40 that one would be about
// 179.5762 (shorter by (p1 - p2) / sin 30 deg).
TEST(RadiusFromExternal, KeepsItsOwnTangentLength) {
  for (const char* ls2 : {"60", "40"}) {
    Form form;
    play(form, std::string("set Text8 1000\nset Text10 60\nset Text42 ") + ls2 +
                   "\nset Text6 30\nset Text12 20\nclick Command4");
    expectNear(form, Box::Text9, 559.0809);
    expectNear(form, Box::Text12, 20);
    expectNear(form, Box::Text11, 179.8743);
  }
}

struct RootCase {
  const char* name;
  const char* session;
  double radius;
};

class RadiusRoots : public ::testing::TestWithParam<RootCase> {};

TEST_P(RadiusRoots, WriteTheRootFoundOrTheTinyRadius) {
  Form form;
  play(form, std::string(kCurve) + GetParam().session);
  if (GetParam().radius == 1e-18)
    EXPECT_EQ(form.text(Box::Text9), "1E-18");
  else
    expectNear(form, Box::Text9, GetParam().radius);
  // The curve elements follow whatever radius was written.
  Form direct;
  play(direct, std::string(kCurve) + "set Text9 " + form.text(Box::Text9));
  EXPECT_EQ(form.text(Box::Text25), direct.text(Box::Text25));
}

INSTANTIATE_TEST_SUITE_P(
    Wanted, RadiusRoots,
    ::testing::Values(RootCase{"TangentWithoutRealRoot", "set Text11 30\nclick Command3", 1e-18},
                      RootCase{"TangentWithNegativeRoot", "set Text11 10\nclick Command3", -2.0669},
                      RootCase{"NegativeExternal", "set Text12 -5\nclick Command4", -45.9634},
                      RootCase{"ExternalWithoutRealRoot", "set Text12 4\nclick Command4", 1e-18}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RadiusButtons, UnchangedRadiusTextWritesTheButtonsOwnValues) {
  // The radius found is already in Text9, so the curve elements do not run
  // again and the button's symmetric values stand, the wanted E among them.
  Form form;
  play(form, std::string(kCurve) + "set Text12 20\nclick Command4");
  play(form, "set Text12 20\nset Text34 x\nclick Command4");
  EXPECT_EQ(form.text(Box::Text12), "20");
  EXPECT_EQ(form.text(Box::Text34), formatNumber(form.state().curveLength));
  EXPECT_EQ(form.state().curveLength, form.state().circularCurveLength + 60.0 + 60.0);
}

} // namespace
} // namespace quenlor

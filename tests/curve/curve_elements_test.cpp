// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace quenlor {
namespace {

using test::expectNear;
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

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The cross section as the 横断面 tab draws it, read off its labels.
#include "route/route_file.h"
#include "session/route_model.h"
#include "session/section_scene.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quenlor {
namespace {

std::vector<std::string> textsOf(const std::vector<SectionScene::Label>& labels) {
  std::vector<std::string> texts;
  for (const auto& l : labels)
    texts.push_back(l.text);
  return texts;
}

// At K0+100, on the straight: the profile's 133.66296 on the centre line;
// each side falls 2 % over its lane and hard shoulder (4.5 m), 3 % over its
// soil shoulder (0.75 m): the edges 0.1125 m lower, 5.25 m out; the ground
// typed at 133 lies 0.663 below the centre line.
TEST(SectionScene, OnAStraightTheNormalCrown) {
  const RouteModel model(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const SectionScene s = sectionScene(model, {100, 0}, 133.0);
  ASSERT_EQ(s.problem, "");
  EXPECT_EQ(s.title, "K0+100.000 横断面");
  ASSERT_EQ(s.surface.size(), 7u);
  EXPECT_EQ(s.surface.front().offset, -5.25);
  EXPECT_EQ(s.surface[3].offset, 0);
  EXPECT_EQ(s.surface.back().offset, 5.25);
  EXPECT_EQ(textsOf(s.falls),
            (std::vector<std::string>{"-2.00%", "-2.00%", "-3.00%", "-2.00%", "-2.00%", "-3.00%"}));
  EXPECT_EQ(textsOf(s.elevations),
            (std::vector<std::string>{"左边缘 133.550\n距中线 5.250", "中线 133.663",
                                      "右边缘 133.550\n距中线 5.250"}));
  EXPECT_EQ(s.groundText, "地面 133.000 填 0.663");
}

// In the middle of JD4's arc (turning left, 6 %, widening 0.6 m inside):
// the right side rises at 6 %, the left falls at 6 % over its lane and the
// widening, its soil shoulder too (steeper than its own 3 %); the left edge
// 5.85 m out. A route without a template says so.
TEST(SectionScene, OnACurveTheSuperelevationAndWidening) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  const RouteModel model(d);
  const double qz = model.route().jd(3).mainPoints.qz;
  const SectionScene s = sectionScene(model, model.route().stationAt(qz), std::nullopt);
  ASSERT_EQ(s.problem, "");
  EXPECT_EQ(textsOf(s.falls), (std::vector<std::string>{"-6.00%", "-6.00%", "-6.00%", "-6.00%",
                                                        "6.00%", "6.00%", "-3.00%"}));
  EXPECT_NEAR(s.surface.front().offset, -5.85, 1e-12);
  EXPECT_FALSE(s.ground);
  d.section.road = {};
  EXPECT_NE(sectionScene(RouteModel(d), {100, 0}, std::nullopt).problem, "");
}

} // namespace
} // namespace quenlor

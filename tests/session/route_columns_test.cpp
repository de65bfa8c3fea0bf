// SPDX-License-Identifier: GPL-3.0-or-later
// The route's tables as data: hand-worked cells, and every typed cell taking
// a text and showing it back.
#include "session/route_columns.h"
#include "support/route_table.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <set>

namespace quenlor {
namespace {

const RouteTable* const kTables[] = {&jdTable(), &breakTable(), &gradeTable()};

using test::cell;

TEST(RouteColumns, EachColumnIsWhole) {
  for (const RouteTable* table : kTables) {
    std::set<std::string_view> headings;
    for (const RouteColumn& c : table->columns) {
      EXPECT_TRUE(headings.insert(c.heading).second) << c.heading;
      EXPECT_FALSE(c.widthSample.empty()) << c.heading;
      EXPECT_NE(c.text, nullptr) << c.heading;
      EXPECT_EQ(c.editable != nullptr, c.apply != nullptr) << c.heading;
    }
  }
}

// The square route (support/worked_route.h) with R 100 and no transitions:
// T = R tan 45° = 100, L = πR/2 = 157.080, E = R (sec 45° − 1) = 41.421; ZH
// at K0+900, QZ at K0+978.540, HZ at K1+057.080; EP at 2000 − (2T − L) =
// K1+957.080.
TEST(RouteColumns, JdTableShowsTheCurveWorkedByHand) {
  const RouteModel model(test::squareRoute(100, 0));
  const RouteTable& t = jdTable();
  ASSERT_EQ(t.rows(model), 3u);
  const std::pair<const char*, const char*> jd[] = {
      {"名称", "JD1"},      {"X", "1000"},          {"R", "100"},
      {"ls2", ""},          {"桩号", "K1+000.000"}, {"转角", "90°00′00.0″ 右"},
      {"T1", "100.000"},    {"T2", "100.000"},      {"L", "157.080"},
      {"E", "41.421"},      {"ZH", "K0+900.000"},   {"QZ", "K0+978.540"},
      {"HZ", "K1+057.080"},
  };
  for (const auto& [heading, text] : jd)
    EXPECT_EQ(cell(model, t, 1, heading), text) << heading;
  EXPECT_EQ(cell(model, t, 2, "桩号"), "K1+957.080");
  EXPECT_EQ(cell(model, t, 2, "R"), "");
  EXPECT_EQ(cell(model, t, 0, "T1"), "");
  // BP's chainage is typed; a JD's and EP's the design's, to be checked; a
  // JD's deflection is typed on its row alone.
  const RouteColumn& chainage = t.columns[*columnOf(t, "桩号")];
  EXPECT_TRUE(isEditable(chainage, model, 1));
  EXPECT_EQ(editTextOf(chainage, model, 1), "");
  EXPECT_FALSE(isEditable(t.columns[*columnOf(t, "R")], model, 2));
  EXPECT_FALSE(isEditable(t.columns[*columnOf(t, "转角")], model, 2));
  EXPECT_EQ(cell(model, t, 1, "交点间距"), "1000.000");
  EXPECT_EQ(cell(model, t, 2, "交点间距"), "1000.000");
}

// Grade points at K0+000 (100 m), K0+500 (110 m, Rv 10000) and K1+000
// (105 m): i1 = 2 %, i2 = −1 %, ω = −3 %, a crest; L = Rv |ω| = 300,
// T = 150, E = T² / 2Rv = 1.125, from K0+350 to K0+650.
TEST(RouteColumns, GradeTableShowsTheCurveWorkedByHand) {
  route::RouteDefinition d;
  d.start = {"BP", 0, 0, 0};
  d.end = {"EP", 1200, 0};
  d.gradePoints = {{"SJD0", 0, 100, 0}, {"SJD1", 500, 110, 10000}, {"SJD2", 1000, 105, 0}};
  d.breaks = {{"DL1", 1100, 1080}, {"DL2", 1150, 1180.5}};
  const RouteModel model(d);
  const RouteTable& t = gradeTable();
  const std::pair<const char*, const char*> point[] = {
      {"桩号", "K0+500.000"}, {"高程", "110.000"},        {"竖曲线半径", "10000"},
      {"坡度%", "-1.000"},    {"坡长", "500.000"},        {"ω%", "-3.000"},
      {"凸凹", "凸"},         {"T", "150.000"},           {"E", "1.125"},
      {"L", "300.000"},       {"起点桩号", "K0+350.000"}, {"终点桩号", "K0+650.000"},
  };
  for (const auto& [heading, text] : point)
    EXPECT_EQ(cell(model, t, 1, heading), text) << heading;
  EXPECT_EQ(cell(model, t, 0, "坡度%"), "2.000");
  EXPECT_EQ(cell(model, t, 0, "ω%"), "");
  EXPECT_EQ(cell(model, t, 2, "坡长"), "");

  EXPECT_EQ(cell(model, breakTable(), 0, "长短链"), "长链 20.000");
  EXPECT_EQ(cell(model, breakTable(), 1, "长短链"), "短链 30.500");
}

// What a typed text of each kind shows back in the editor.
std::pair<std::string, std::string> typedFor(std::string_view heading) {
  if (heading == "名称")
    return {" 新名 ", "新名"};
  if (heading.find("桩号") != std::string_view::npos)
    return {"K1+234.5", "1234.5"};
  if (heading == "转角")
    return {"-123.25", "123.25 左"};
  return {"123.25", "123.25"};
}

// Every typed cell of the worked route takes a text into its own field; a
// distance places the point, so its X and Y are the distance's.
TEST(RouteColumns, EveryTypedCellTakesItsText) {
  route::RouteDefinition d = test::threeJdRoute();
  d.breaks = {{"DL1", 2500, 2480}};
  d.gradePoints = {{"SJD0", 1000, 100, 0}, {"SJD1", 3000, 120, 20000}, {"SJD2", 6000, 90, 0}};
  const auto moves = [](const RouteColumn& column, const RouteColumn& other) {
    return column.heading == "交点间距" && (other.heading == "X" || other.heading == "Y");
  };
  for (const RouteTable* table : kTables)
    test::expectEveryTypedCellTakesItsText(*table, d, typedFor, moves);
}

TEST(RouteColumns, RefusedTextsChangeNothing) {
  const RouteModel model(test::threeJdRoute());
  const RouteTable& t = jdTable();
  const auto refusal = [&](const char* heading, std::size_t row, const char* typed) {
    return std::get<CellRefusal>(t.columns[*columnOf(t, heading)].apply(model, row, typed));
  };
  EXPECT_EQ(refusal("X", 1, "12,5"), (CellRefusal{CellFault::NotANumber, "12,5"}));
  EXPECT_EQ(refusal("桩号", 0, "K1+2345").fault, CellFault::NotAChainage);
  EXPECT_EQ(refusal("名称", 4, "E\tP").fault, CellFault::ControlCharacter);
  EXPECT_EQ(refusal("ls2", 2, "1e10").fault, CellFault::BeyondRange);
}

// A blank ls2 is equal to Ls again.
TEST(RouteColumns, BlankSecondTransitionFollowsTheFirst) {
  RouteModel model(test::threeJdRoute());
  const RouteColumn& ls2 = jdTable().columns[*columnOf(jdTable(), "ls2")];
  ASSERT_EQ(model.definition().jds[1].ls2, 80);
  model.edit(std::get<RouteChange>(ls2.apply(model, 2, " \u3000")));
  EXPECT_EQ(model.definition().jds[1].ls2, std::nullopt);
  EXPECT_EQ(ls2.text(model, 2), "");
}

TEST(RouteColumns, ChecksGoToTheirRows) {
  const route::RouteDefinition d = test::threeJdRoute();
  using route::CheckKind;
  EXPECT_EQ(jdRowOfCheck({CheckKind::RadiusNotPositive, 2, -1, -1, 0, "JD3: ..."}, d), 3u);
  EXPECT_EQ(jdRowOfCheck({CheckKind::NoRoute, -1, -1, -1, 0, "BP: ..."}, d), 0u);
  EXPECT_EQ(jdRowOfCheck({CheckKind::NoRoute, -1, -1, -1, 0, "EP: ..."}, d), 4u);
  EXPECT_EQ(jdRowOfCheck({CheckKind::BreakOutOfOrder, -1, 0, -1, 0, "DL1: ..."}, d), std::nullopt);
  EXPECT_EQ(breakRowOfCheck({CheckKind::BreakOutOfOrder, -1, 0, -1, 0, "DL1: ..."}, d),
            std::nullopt);
  route::RouteDefinition withBreak = d;
  withBreak.breaks = {{"DL1", 1, 1}};
  EXPECT_EQ(breakRowOfCheck({CheckKind::BreakOutOfOrder, -1, 0, -1, 0, "DL1: ..."}, withBreak), 0u);
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The cross section's tables and edit rules without a window: falls read as
// the design tables write them, choices, hand-worked cells of the example
// route, pasted and copied rows, checks on their rows.
#include "route/route_file.h"
#include "session/route_columns.h"
#include "session/section_edits.h"
#include "session/section_words.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

using section::Axis;
using section::PartKind;
using section::Side;

std::string cell(const RouteModel& model, const RouteTable& table, std::size_t row,
                 std::string_view heading) {
  return table.columns[*columnOf(table, heading)].text(model, row);
}

struct FallCase {
  const char* text;
  std::optional<double> fall; // none: refused
};

// "2%" as a design table prints a normal crown falls away from the centre
// line; a plain number is signed as printed. The station table's falls are
// signed as printed, per cent sign or not.
TEST(SectionEdits, FallsReadAsTheDesignTablesWriteThem) {
  const FallCase templateCases[] = {
      {"2%", -2}, {" 2 % ", -2}, {"-2%", -2},  {"1.5\xEF\xBC\x85", -1.5},
      {"-2", -2}, {"3", 3},      {"0%", -0.0}, {"", {}},
      {"%", {}},  {"2%%", {}},   {"two%", {}}, {"+2%", {}},
  };
  for (const FallCase& c : templateCases) {
    SCOPED_TRACE(c.text);
    const Taken<double> read = readTemplateFall(c.text);
    if (c.fall)
      EXPECT_EQ(std::get<double>(read), *c.fall);
    else
      EXPECT_EQ(std::get<CellRefusal>(read), (CellRefusal{CellFault::NotANumber, c.text}));
  }
  const FallCase signedCases[] = {{"-6%", -6}, {"6%", 6}, {"-6", -6}, {"6 ％", 6}, {"6x", {}}};
  for (const FallCase& c : signedCases) {
    SCOPED_TRACE(c.text);
    const Taken<double> read = readSignedFall(c.text);
    if (c.fall)
      EXPECT_EQ(std::get<double>(read), *c.fall);
    else
      EXPECT_EQ(std::get<CellRefusal>(read).fault, CellFault::NotANumber);
  }
}

TEST(SectionEdits, ChoicesReadByAnyOfTheirWords) {
  EXPECT_EQ(std::get<Axis>(readAxis(" 内边线 ")), Axis::InnerEdge);
  EXPECT_EQ(std::get<Axis>(readAxis("绕外边线")), Axis::OuterEdge);
  EXPECT_EQ(std::get<Axis>(readAxis("中")), Axis::Centre);
  EXPECT_EQ(std::get<PartKind>(readPartKind("车道")), PartKind::Lane);
  EXPECT_EQ(std::get<Side>(readSide("右侧")), Side::Right);
  EXPECT_EQ(std::get<section::WideningShape>(readShape("高次抛物线")),
            section::WideningShape::HighOrder);
  EXPECT_EQ(std::get<CellRefusal>(readAxis("内侧")), (CellRefusal{CellFault::NotAChoice, "内侧"}));
  EXPECT_EQ(std::get<CellRefusal>(readSide("左\t")).fault, CellFault::NotAChoice);
}

// The example route's template: lanes 3.75 m and hard shoulders 0.75 m at
// -2 %, soil shoulders 0.75 m at -3 %: the outer edges 3.75, 4.5 and 5.25 m
// out, 0.075, 0.09 and 0.09 + 0.0225 = 0.1125 below on a straight. JD4
// (R 650, Ls 110, to the left) turns about its inner edge to 6 %: the outer
// edge travels 3.75 (2 + 2) % = 0.15 in the first step and (3.75 + 3.75)
// (6 - 2) % = 0.3 in the second, 0.45 m over the 110 m runoff, 1/244.4.
// JD3 (R 1500, no transitions) has a typed runoff of 50 m before ZY and
// after YZ.
TEST(SectionTables, TheExampleRoutesCellsWorkedByHand) {
  const RouteModel model(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const RouteTable& t = templateTable();
  ASSERT_EQ(t.rows(model), 6u);
  EXPECT_EQ(cell(model, t, 0, "侧"), "左");
  EXPECT_EQ(cell(model, t, 3, "侧"), "右");
  EXPECT_EQ(cell(model, t, 2, "类型"), "土路肩");
  EXPECT_EQ(cell(model, t, 2, "横坡%"), "-3.00");
  const char* const edges[] = {"3.750", "4.500", "5.250"};
  // 0.09 + 0.0225 is a hair below 0.1125 in binary.
  const char* const rises[] = {"-0.075", "-0.090", "-0.112"};
  for (std::size_t row = 0; row < 6; ++row) {
    EXPECT_EQ(cell(model, t, row, "外缘距中线"), edges[row % 3]) << row;
    EXPECT_EQ(cell(model, t, row, "外缘高差"), rises[row % 3]) << row;
  }

  const RouteTable& c = curveSectionTable();
  ASSERT_EQ(c.rows(model), 6u);
  const std::pair<const char*, const char*> jd4[] = {
      {"曲线", "JD4"},
      {"转向", "左"},
      {"R", "650"},
      {"Ls", "110"},
      {"超高%", "6.00"},
      {"过渡段长", ""},
      {"旋转轴", "绕内边线"},
      {"加宽", "0.600"},
      {"加宽方式", "高次"},
      {"超高起点", "K3+906.384"},
      {"全超高起点", "K4+016.384"},
      {"全超高终点", "K4+303.446"},
      {"超高终点", "K4+413.446"},
      {"渐变率", "1/244"},
  };
  for (const auto& [heading, text] : jd4)
    EXPECT_EQ(cell(model, c, 3, heading), text) << heading;
  const route::MainPoints jd3 = model.route().jd(2).mainPoints;
  EXPECT_EQ(cell(model, c, 2, "过渡段长"), "50.000");
  EXPECT_EQ(cell(model, c, 2, "超高起点"),
            route::stationText(model.route().stationAt(jd3.hy - 50)));
  EXPECT_EQ(cell(model, c, 2, "超高终点"),
            route::stationText(model.route().stationAt(jd3.yh + 50)));
}

// A row of the station table at K0+200 on the example route's straight
// (design 132.5 + 200 * 15.7 / 1350 = 134.826): an empty fall is the normal
// crown, and with the right side at -4 % and widened 0.5 m its edge lies
// 5.75 m out and 5 * 4 % + 0.75 * 4 % = 0.23 below (the soil shoulder takes
// the lanes' steeper fall).
TEST(SectionTables, StationRowsShowTheirEdges) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  d.section.stations = {{200, std::nullopt, -4, 0, 0.5}, {300, std::nullopt, -4, 0, 0.5}};
  const RouteModel model(d);
  const RouteTable& t = wideningTable();
  const double h = 132.5 + 200 * 15.7 / 1350;
  const auto metres = [](double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return std::string(text);
  };
  const std::pair<const char*, std::string> row[] = {
      {"桩号", "K0+200.000"},
      {"左横坡%", "路拱"},
      {"右横坡%", "-4.00"},
      {"右加宽", "0.500"},
      {"左宽", "5.250"},
      {"右宽", "5.750"},
      {"左边缘高程", metres(h - 0.1125)},
      {"右边缘高程", metres(h - 0.23)},
  };
  for (const auto& [heading, text] : row)
    EXPECT_EQ(cell(model, t, 0, heading), text) << heading;
}

// Every typed cell of the three tables takes a text into its own field and
// no other; the editor's own text changes nothing.
TEST(SectionTables, EveryTypedCellTakesItsText) {
  route::RouteDefinition d = test::threeJdRoute();
  d.section.road.left = {{"行车道", PartKind::Lane, 3.5, -2}};
  d.section.road.right = {{"行车道", PartKind::Lane, 3.5, -2},
                          {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
  d.jds[1].section = {6, 40.0, Axis::InnerEdge, 0.8, section::WideningShape::Linear};
  d.section.stations = {{1500, std::nullopt, -2, 0, 0}, {1600, 3, -3, 0.25, 0}};
  const std::pair<std::string_view, std::pair<const char*, const char*>> typed[] = {
      {"名称", {" 新名 ", "新名"}},   {"类型", {"硬路肩", "硬路肩"}},
      {"宽度", {"1.25", "1.25"}},     {"横坡%", {"1.5%", "-1.5"}},
      {"超高%", {"7%", "7"}},         {"过渡段长", {"", ""}},
      {"旋转轴", {"外", "绕外边线"}}, {"加宽", {"1.1", "1.1"}},
      {"加宽方式", {"高次", "高次"}}, {"桩号", {"K1+234.5", "1234.5"}},
      {"左横坡%", {"-5%", "-5"}},     {"右横坡%", {"路拱", ""}},
      {"左加宽", {"0.3", "0.3"}},     {"右加宽", {"0.45", "0.45"}},
  };
  for (const RouteTable* table : {&templateTable(), &curveSectionTable(), &wideningTable()}) {
    RouteModel model(d);
    for (std::size_t row = 0; row < table->rows(model); ++row)
      for (const RouteColumn& column : table->columns) {
        if (!isEditable(column, model, row))
          continue;
        SCOPED_TRACE(std::string(column.heading) + " row " + std::to_string(row));
        const auto others = [&] {
          std::vector<std::string> texts;
          for (const RouteColumn& other : table->columns)
            if (&other != &column && isEditable(other, model, row))
              texts.push_back(editTextOf(other, model, row));
          return texts;
        };
        const std::vector<std::string> before = others();
        model.edit(std::get<RouteChange>(column.apply(model, row, editTextOf(column, model, row))));
        EXPECT_EQ(model.definition(), d);
        const auto found =
            std::ranges::find(typed, column.heading, [](auto& t) { return t.first; });
        ASSERT_NE(found, std::end(typed));
        model.edit(std::get<RouteChange>(column.apply(model, row, found->second.first)));
        EXPECT_EQ(editTextOf(column, model, row), found->second.second);
        EXPECT_EQ(others(), before);
        model.replace(d);
      }
  }
}

// Parts, curves and station rows copied paste back the same; a pasted curve
// finds the first JD of its name after the one before; a row that cannot be
// read refuses them all.
TEST(SectionEdits, PastedRowsAreReadOrRefusedWhole) {
  route::RouteDefinition d = test::threeJdRoute();
  d.jds[2].name = "JD1"; // two JDs named JD1
  d.section.road.left = {{"行车道", PartKind::Lane, 3.75, -2},
                         {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
  d.section.road.right = {{"", PartKind::HardShoulder, 1.5, 2.5}};
  d.jds[0].section = {4, std::nullopt, Axis::Centre, 0, section::WideningShape::Linear};
  d.jds[2].section = {6, 30.5, Axis::OuterEdge, 0.7, section::WideningShape::HighOrder};
  d.section.stations = {{1200, std::nullopt, -2, 0, 0}, {1250.5, 4, -4, 0.1, 0.2}};

  const auto parts =
      std::get<std::vector<PastedPart>>(pastedParts(copiedParts(d.section, {0, 1, 2})));
  route::RouteDefinition none = d;
  none.section.road = {};
  RouteModel model(none);
  model.edit(addParts(none.section, parts));
  EXPECT_EQ(model.definition().section.road, d.section.road);

  const auto curves = std::get<std::vector<PastedCurve>>(pastedCurves(copiedCurves(d, {0, 2})));
  route::RouteDefinition plain = d;
  for (route::Jd& jd : plain.jds)
    jd.section = {};
  model.replace(plain);
  model.edit(std::get<RouteChange>(setCurves(plain, curves)));
  EXPECT_EQ(model.definition().jds, d.jds);
  EXPECT_EQ(std::get<std::size_t>(setCurves(plain, {curves[1], curves[0], curves[1]})), 2u);

  const auto rows = std::get<std::vector<route::SectionStation>>(
      pastedWideningRows(copiedWideningRows(d.section, {0, 1})));
  EXPECT_EQ(rows, d.section.stations);

  // A heading line is skipped; cells left off take their defaults.
  EXPECT_EQ(std::get<std::vector<route::SectionStation>>(
                pastedWideningRows("桩号\t左横坡\t右横坡\nK1+100\t-2%\n")),
            (std::vector<route::SectionStation>{{1100, -2, std::nullopt, 0, 0}}));
  EXPECT_EQ(
      std::get<std::vector<PastedCurve>>(pastedCurves("JD2\t5%\n"))[0].settings,
      (section::CurveSettings{5, std::nullopt, Axis::Centre, 0, section::WideningShape::Linear}));
  EXPECT_EQ(std::get<PasteRefusal>(pastedParts("左\tA\t行车道\t3.5\t2%\n右\tB\t中央带\t1\t2%\n")),
            (PasteRefusal{1, 2, {CellFault::NotAChoice, "中央带"}, {}}));
  EXPECT_EQ(std::get<PasteRefusal>(pastedCurves("JD1\t4\t\t\tx\n")),
            (PasteRefusal{0, 4, {CellFault::NotANumber, "x"}, {}}));
  EXPECT_EQ(std::get<PasteRefusal>(pastedParts("左\tA\t行车道\t3.5\n")),
            (PasteRefusal{0, 4, {CellFault::Missing, ""}, {}}));
}

TEST(SectionEdits, ButtonsChangeTheRowsTheyName) {
  route::RouteDefinition d = test::threeJdRoute();
  RouteModel model(d);
  model.edit(appendPart(model.definition().section, Side::Right));
  model.edit(appendPart(model.definition().section, Side::Right));
  model.edit(appendPart(model.definition().section, Side::Left));
  const section::Part lane{"行车道", PartKind::Lane, 3.5, -2};
  EXPECT_EQ(model.definition().section.road.right, (std::vector<section::Part>{lane, lane}));
  model.edit(eraseParts(model.definition().section, {0, 2}));
  EXPECT_TRUE(model.definition().section.road.left.empty());
  EXPECT_EQ(model.definition().section.road.right.size(), 1u);

  model.edit(appendWideningRow(model.definition()));
  model.edit(appendWideningRow(model.definition()));
  EXPECT_EQ(model.definition().section.stations,
            (std::vector<route::SectionStation>{{1000, std::nullopt, std::nullopt, 0, 0},
                                                {1020, std::nullopt, std::nullopt, 0, 0}}));
  model.edit(eraseWideningRows(model.definition().section, {0}));
  EXPECT_EQ(model.definition().section.stations.front().chainage, 1020);
  model.edit(setTableAxis(model.definition().section, Axis::OuterEdge));
  EXPECT_EQ(model.definition().section.tableAxis, Axis::OuterEdge);
}

// Each check goes to the row of the table it concerns, named in words.
TEST(SectionTables, ChecksGoToTheirRows) {
  route::RouteDefinition d = test::threeJdRoute();
  d.section.road.left = {{"行车道", PartKind::Lane, 3.5, -2}};
  d.section.road.right = {{"行车道", PartKind::Lane, 3.5, -2},
                          {"硬路肩", PartKind::HardShoulder, 0.5, -1}};
  d.jds[1].section.superelevation = -3;
  d.section.stations = {{1500, {}, {}, 0, 0}, {1400, {}, {}, 0, 0}};
  const RouteModel model(d);
  const auto& checks = model.sections().checks();
  ASSERT_EQ(checks.size(), 3u);
  const struct {
    SectionTable table;
    std::size_t row;
    const char* chinese;
    const char* english;
  } expected[] = {
      {SectionTable::Template, 2,
       "右侧第2部分（硬路肩）：横坡与行车道路拱相差 1.000%，不在行车道平面内，按土路肩计",
       "right part 2 (硬路肩): its fall differs from the lanes' crown by 1.000 %: not in "
       "their plane, taken as a soil shoulder"},
      {SectionTable::Curves, 1, "JD2：超高不可用（须为不小于 0 的数），不设超高",
       "JD2: the superelevation is not a number >= 0: none"},
      {SectionTable::Stations, 1, "超高加宽表第2行 K1+400.000：不在前一行 K1+500.000 之后，未用",
       "station row 2 K1+400.000: it does not lie beyond the row before, K1+500.000, left out"},
  };
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const SectionRow at = sectionRowOf(checks[i], d);
    EXPECT_EQ(at.table, expected[i].table) << i;
    EXPECT_EQ(at.row, expected[i].row) << i;
    EXPECT_EQ(sectionCheckText(checks[i], model.route(), Words::Chinese), expected[i].chinese);
    EXPECT_EQ(sectionCheckText(checks[i], model.route(), Words::English), expected[i].english);
  }
}

} // namespace
} // namespace quenlor

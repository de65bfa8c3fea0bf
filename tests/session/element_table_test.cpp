// SPDX-License-Identifier: GPL-3.0-or-later
// The element table of the route panel as data: the worked ramp's cells
// against an integration of its own, every typed cell taking a text, the
// checks on their rows, and the rows a spreadsheet pastes.
#include "session/element_columns.h"
#include "session/element_edits.h"
#include "support/route_table.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quenlor {
namespace {

using route::ElementKind;
using route::kNoRadius;
using route::Turn;

std::string cell(const RouteModel& model, std::size_t row, std::string_view heading) {
  return test::cell(model, elementsTable(), row, heading);
}

// The ramp of tests/support/worked_route.h (BP, seven elements, EP). Each
// start by Simpson's rule on the heading, 20,000 panels an element, apart
// from the engine: C1 starts at X 3456907.779 Y 512419.275 along 30° + 40 /
// (2·60) rad = 49°05′54.9″; EP at X 3456764.012 Y 512592.141 along
// 30° + 2.15 rad = 153°11′09.3″, at K1+600.
TEST(ElementColumns, TheRampsTableShowsItsChainIntegratedApart) {
  const RouteModel model(test::workedRamp());
  ASSERT_EQ(elementsTable().rows(model), 9u);
  const struct {
    std::size_t row;
    const char *heading, *text;
  } cells[] = {
      {0, "名称", "BP"},
      {0, "起点桩号", "K1+200.000"},
      {0, "起点X", "3456789.123"},
      {0, "起点方位角", "30°00′00.0″"},
      {0, "类型", ""},
      {3, "名称", "C1"},
      {3, "类型", "圆曲线"},
      {3, "起点半径", "60"},
      {3, "长度", "60"},
      {3, "转向", "右"},
      {3, "起点桩号", "K1+340.000"},
      {3, "起点X", "3456907.779"},
      {3, "起点Y", "512419.275"},
      {3, "起点方位角", "49°05′54.9″"},
      {3, "已知X", ""},
      {3, "差距", ""},
      {4, "类型", "缓和曲线"},
      {4, "终点半径", "150"},
      {6, "终点半径", ""}, // none: out onto the straight
      {8, "名称", "EP"},
      {8, "起点桩号", "K1+600.000"},
      {8, "起点X", "3456764.012"},
      {8, "起点Y", "512592.141"},
      {8, "起点方位角", "153°11′09.3″"},
      {8, "长度", ""},
  };
  for (const auto& c : cells)
    EXPECT_EQ(cell(model, c.row, c.heading), c.text) << c.heading << " row " << c.row;
}

// A start a field table gives 0.3 m north and 0.4 m east of the chained one
// (integrated: X 3456919.989242 Y 512475.495876, where A2 starts) is 0.5 m
// off: shown on its row, and the check goes to that row.
TEST(ElementColumns, AGivenStartShowsItsGapToTheChain) {
  route::RouteDefinition d = test::workedRamp();
  d.elements[3].x = 3456919.989242 + 0.3;
  d.elements[3].y = 512475.495876 + 0.4;
  const RouteModel model(d);
  EXPECT_EQ(cell(model, 4, "已知X"), "3456920.289242");
  EXPECT_EQ(cell(model, 4, "差距"), "0.500");
  ASSERT_EQ(model.route().checks().size(), 1u);
  EXPECT_EQ(elementRowOfCheck(model.route().checks()[0], d), 4u);
  EXPECT_EQ(elementRowOfCheck({route::CheckKind::NoRoute, -1, -1, -1, 0, "BP: ..."}, d), 0u);
  EXPECT_EQ(elementRowOfCheck({route::CheckKind::RowsNotUsed, -1, -1, -1, 3, "the route ..."}, d),
            8u);
}

// What a typed text of each kind shows back in the editor.
std::pair<std::string, std::string> typedFor(std::string_view heading) {
  const std::pair<std::string_view, std::pair<std::string, std::string>> texts[] = {
      {"名称", {" 新名 ", "新名"}},
      {"类型", {" 圆弧", "圆曲线"}},
      {"转向", {"左偏", "左"}},
      {"起点桩号", {"K1+234.5", "1234.5"}},
      {"起点方位角", {"30.152055", "30.152055"}},
      {"起点半径", {" ∞ ", ""}},
  };
  for (const auto& [h, typed] : texts)
    if (h == heading)
      return typed;
  return {"123.25", "123.25"};
}

// Every typed cell takes a text into its own field (support/route_table.h).
TEST(ElementColumns, EveryTypedCellTakesItsText) {
  route::RouteDefinition d = test::workedRamp();
  d.elements[2].x = 3456907.5;
  d.elements[2].y = 512419.5;
  test::expectEveryTypedCellTakesItsText(
      elementsTable(), d, typedFor, [](const RouteColumn&, const RouteColumn&) { return false; });
}

TEST(ElementColumns, RefusedTextsSayWhy) {
  const RouteModel model(test::workedRamp());
  const RouteTable& t = elementsTable();
  const auto refusal = [&](const char* heading, std::size_t row, const char* typed) {
    return std::get<CellRefusal>(t.columns[*columnOf(t, heading)].apply(model, row, typed)).fault;
  };
  EXPECT_EQ(refusal("类型", 2, "回旋"), CellFault::NotAnElementKind);
  EXPECT_EQ(refusal("转向", 2, "R"), CellFault::NotATurn);
  EXPECT_EQ(refusal("起点方位角", 0, "30.6"), CellFault::NotAnAzimuth);
  EXPECT_EQ(refusal("长度", 2, "40m"), CellFault::NotANumber);
  EXPECT_EQ(refusal("终点半径", 2, "1e10"), CellFault::BeyondRange);
}

// A spreadsheet's rows by their headings in any order (names the file's
// columns, 起点X as the start given), or in the element table file's order
// without a heading line; what copying gives, pasting reads back.
TEST(ElementEdits, PastedRowsByTheirHeadingsOrTheFilesOrder) {
  const auto rows = [](std::string_view text) {
    return std::get<std::vector<route::ElementRow>>(pastedElements(text));
  };
  const std::vector<route::ElementRow> byHeading =
      rows("长度\t类型\t转向\t起点半径\t终点半径\t起点X\t备注\r\n"
           "40\t缓和曲线\t右\t\t60\t3456875.7\tx\r\n"
           "\r\n"
           "60\t圆曲线\t右\t60\t60\t\t\r\n");
  ASSERT_EQ(byHeading.size(), 2u);
  EXPECT_EQ(byHeading[0], (route::ElementRow{"", ElementKind::Clothoid, kNoRadius, 60, 40,
                                             Turn::Right, 3456875.7, std::nullopt}));
  EXPECT_EQ(byHeading[1].kind, ElementKind::Arc);
  const std::vector<route::ElementRow> inFileOrder =
      rows("1\t直线\tK1+200.000\t3456789.123\t512345.678\t30\t\t\t100\t\tL1\n"
           "2\t缓和曲线\tK1+300.000\t\t\t30\t\t60\t40\t右\tA1\n");
  ASSERT_EQ(inFileOrder.size(), 2u);
  EXPECT_EQ(inFileOrder[0], (route::ElementRow{"L1", ElementKind::Straight, kNoRadius, kNoRadius,
                                               100, Turn::None, 3456789.123, 512345.678}));
  EXPECT_EQ(inFileOrder[1].endRadius, 60);
  EXPECT_EQ(inFileOrder[1].name, "A1");

  const std::vector<route::ElementRow> ramp = test::workedRamp().elements;
  EXPECT_EQ(rows(copiedElements(ramp)), ramp);

  const auto refusal = [](std::string_view text) {
    return std::get<ElementPasteRefusal>(pastedElements(text));
  };
  EXPECT_EQ(refusal("类型\t长度\n直线\t100\n弧线\t50\n"),
            (ElementPasteRefusal{2, 0, "类型", {CellFault::NotAnElementKind, "弧线"}}));
  EXPECT_EQ(refusal("1\t直线\tK1+200\t\t\t30\t\t\t100m"),
            (ElementPasteRefusal{0, 8, "长度", {CellFault::NotANumber, "100m"}}));
  EXPECT_EQ(refusal("1\t直线\tK1+200"),
            (ElementPasteRefusal{0, 8, "长度", {CellFault::Missing, {}}}));
}

// A new route is started as either method; with rows it keeps its own.
TEST(ElementEdits, ANewRouteStartsAsEitherMethod) {
  RouteModel model;
  model.edit(startAs(route::Method::Elements));
  EXPECT_TRUE(model.route().byElements());
  model.edit(insertElements(0, {newElement(), newElement()}));
  EXPECT_EQ(model.route().length(), 2 * kNewElementLength);
  model.edit(swapElements(model.definition(), 0, 1));
  model.edit(eraseElements({0}));
  EXPECT_EQ(model.definition().elements.size(), 1u);
  model.edit(startAs(route::Method::Jds));
  EXPECT_FALSE(model.route().byElements());
  EXPECT_TRUE(std::ranges::any_of(model.route().checks(), [](const route::Check& c) {
    return c.kind == route::CheckKind::RowsNotUsed && c.amount == 1;
  }));
}

} // namespace
} // namespace quenlor

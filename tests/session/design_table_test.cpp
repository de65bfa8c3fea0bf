// SPDX-License-Identifier: GPL-3.0-or-later
// A design institute's JD table pasted as it is printed: its columns read by
// their headings, its BP, JD and EP rows, what it leaves unread, and what it
// refuses.
#include "session/design_table.h"

#include "route/route.h"

#include <gtest/gtest.h>

#include <numbers>

namespace quenlor {
namespace {

using F = TableField;

F fieldOf(std::string_view heading) { return headingFields({{heading}}).at(0); }

// The words the tables below read again are not repeated here.
TEST(DesignTable, HeadingsAreReadInChineseAndEnglishWithOrWithoutUnits) {
  const struct {
    const char* heading;
    F field;
  } cases[] = {
      {"名称", F::Name},
      {"X(m)", F::North},
      {"Ｘ（ｍ）", F::North}, // full-width
      {"北坐标", F::North},
      {"东坐标(m)", F::East},
      {"Easting", F::East},
      {"半径R(m)", F::Radius},
      {"缓和曲线长度", F::Transition},
      {"Ls", F::Transition},
      {"Ls1", F::FirstTransition},
      {"第一缓和曲线长", F::FirstTransition},
      {"Ls2 (m)", F::SecondTransition},
      {"第二缓和曲线长度", F::SecondTransition},
      {"缓和曲线参数A", F::Parameter},
      {"A1", F::FirstParameter},
      {"JD桩号", F::Chainage}, // the chainage outranks the name
      {"转角值(°′″)", F::Deflection},
      {"α", F::Deflection},
      {"右偏角", F::RightDeflection},
      {"转角(左)", F::LeftDeflection},
      {"切线长T", F::Computed},
      {"T1", F::Computed},
      {"曲线长度(m)", F::Computed},
      {"外距E", F::Computed},
      {"校正值J", F::Computed},
      {"第一缓和曲线起点", F::Computed},
      {"第一缓和曲线终点或圆曲线起点", F::Computed},
      {"曲线中点", F::Computed},
      {"ZH", F::Computed},
      {"交点间距", F::Spacing},
      {"直线长度(m)", F::Straight},
      {"计算方位角", F::Computed},
      {"E", F::Computed}, // no X beside it: the external distance
      {"备注", F::Unknown},
      {"序号", F::Unknown},
      {"", F::Unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fieldOf(c.heading), c.field) << c.heading;
}

// The heading as merged cells copy it: the upper line's text, then blanks
// over the columns it spans.
TEST(DesignTable, AHeadingOfTwoLinesIsReadColumnByColumn) {
  const std::vector<std::vector<std::string_view>> heading = {
      {"交点号", "交点坐标", "", "交点桩号", "转角值", "", "曲线要素值(m)", "", "", "", ""},
      {"", "X(N)", "Y(E)", "", "左转", "右转", "半径", "缓和曲线长度", "切线长度", "曲线长度",
       "外距"},
  };
  EXPECT_EQ(headingFields(heading),
            (std::vector<F>{F::Name, F::North, F::East, F::Chainage, F::LeftDeflection,
                            F::RightDeflection, F::Radius, F::Transition, F::Computed, F::Computed,
                            F::Computed}));
  // E is Y beside N and under 坐标, the external distance under 曲线要素.
  EXPECT_EQ(headingFields({{"N", "E", "R", "E"}}),
            (std::vector<F>{F::North, F::East, F::Radius, F::Computed}));
  EXPECT_EQ(headingFields({{"坐标", "", "曲线要素", ""}, {"N", "E", "R", "E"}}),
            (std::vector<F>{F::North, F::East, F::Radius, F::Computed}));
}

PastedTable tableOf(std::string_view text) {
  auto pasted = pastedTable(text);
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    ADD_FAILURE() << "refused at line " << refused->line << ", column " << refused->column;
  return std::get<PastedTable>(pasted);
}

// As an institute's sheet copies: a title, the heading, the column numbers,
// BP, the JDs with their given chainages and deflections, EP.
TEST(DesignTable, AnInstitutesTablePastesAsItIsPrinted) {
  const PastedTable t =
      tableOf("直线、曲线及转角表\n"
              "交点号\tX\tY\t交点桩号\t转角\tR\tLs1\tLs2\tT\tL\tE\t备注\r\n"
              "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\r\n"
              "BP\t3456789.123\t512345.678\tK0+000.000\t\t\t\t\t\t\t\t起点\r\n"
              "JD1\t3457291.707\t512993.605\tK0+819.999\t41°29′59.9″ 左\t1200\t150\t150\t529.1\t"
              "1019.2\t81.4\t\r\n"
              "JD2\t3457487.448\t514126.824\tK1+957.673\t右 12-30-00\t800\t120\t100\t\t\t\t\r\n"
              "JD3\t3458236.661\t514727.057\t\t\t1500\t\t\t\t\t\t\r\n"
              "EP\t3461148.944\t517194.712\tK7+012.430\t\t\t\t\t\t\t\t终点\r\n");
  ASSERT_TRUE(t.start);
  EXPECT_EQ(*t.start, (route::StartPoint{"BP", 3456789.123, 512345.678, 0}));
  ASSERT_EQ(t.jds.size(), 3u);
  EXPECT_EQ(t.jds[0],
            (route::Jd{"JD1", 3457291.707, 512993.605, 1200, 150, 150, 819.999, -41.29599}));
  EXPECT_EQ(t.jds[1], (route::Jd{"JD2", 3457487.448, 514126.824, 800, 120, 100, 1957.673, 12.3}));
  EXPECT_EQ(t.jds[2], (route::Jd{"JD3", 3458236.661, 514727.057, 1500, 0, std::nullopt}));
  ASSERT_TRUE(t.end);
  EXPECT_EQ(*t.end, (route::EndPoint{"EP", 3461148.944, 517194.712, 7012.43}));
  EXPECT_EQ(t.computed, (std::vector<std::string>{"T", "L", "E"}));
  EXPECT_EQ(t.unknown, (std::vector<std::string>{"备注"}));
}

TEST(DesignTable, TransitionsComeFromTheirParameterWhereNoLengthIsGiven) {
  const PastedTable t = tableOf("JD\tN\tE\tRc\tA1\tA2\n"
                                "P1\t100\t200\t900\t300\t\n"
                                "P2\t100\t200\t900\t300\t270\n");
  EXPECT_EQ(t.jds[0].ls1, 100);
  EXPECT_EQ(t.jds[0].ls2, std::nullopt);
  EXPECT_EQ(t.jds[1].ls2, 81);
}

struct RefusedCase {
  const char* text;
  PasteRefusal refusal;
};

TEST(DesignTable, WhatCannotBeReadIsNamedByItsLineColumnAndHeading) {
  const RefusedCase cases[] = {
      {"X\tY\tX\n1\t2\t3\n", {0, 2, {CellFault::TwoColumns, "X"}, ""}},
      {"名称\tX\t半径\n", {0, 0, {CellFault::NoColumn, "Y"}, ""}},
      {"名称\tX\tY\tR\t转角\nA\t1\t2\t300\t12°70′ 右\n",
       {1, 4, {CellFault::NotAnAngle, "12°70′ 右"}, "转角"}},
      {"名称\tX\tY\tR\t转角\nA\t1\t2\t300\t-12.3 左\n",
       {1, 4, {CellFault::TwoSides, "-12.3 左"}, "转角"}},
      {"名称\tX\tY\tR\t左转\t右转\nA\t1\t2\t300\t12\t13\n",
       {1, 5, {CellFault::TwoSides, "13"}, "右转"}},
      {"名称\tX\tY\tR\tT\nA\t1\t2\t\t99\n", {1, 3, {CellFault::Missing, ""}, "R"}},
      {"名称\tX\tY\tR\t交点桩号\nA\t1\t2\t3\tK1+2345\n",
       {1, 4, {CellFault::NotAChainage, "K1+2345"}, "交点桩号"}},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto pasted = pastedTable(c.text);
    ASSERT_TRUE(std::holds_alternative<PasteRefusal>(pasted));
    EXPECT_EQ(std::get<PasteRefusal>(pasted), c.refusal);
  }
}

// EP without X and Y, after a JD of 90° to one side, R 500, no transitions,
// 1000 m north of BP: T2 = 500, the curve ends (YZ) at 500 + 250π =
// 1285.398 m. EP stands east (or west) of the JD: by its chainage K1+500 at
// 1500 - 1285.398 + 500 = 714.602 m, by a spacing of 600 m or a straight of
// 100 m at 600 m, by nothing (or behind the curve's end) 20 m beyond YZ.
TEST(DesignTable, EpWithoutCoordinatesStandsAlongTheLastDeflection) {
  constexpr double kByChainage = 1500 - (500 + 250 * std::numbers::pi) + 500;
  const struct {
    const char* deflection;
    const char* ep; // the EP row; nullptr: none
    EndGiven given;
    bool placed, fits;
    double east; // of EP
  } cases[] = {
      {"90 右", "EP\t\t\t\t\tK1+500\t\t", EndGiven::Chainage, true, true, kByChainage},
      {"90 左", "终点\t\t\t\t\tK1+500\t\t", EndGiven::Chainage, true, true, -kByChainage},
      {"90 右", "EP\t\t\t\t\tK1+500\t600\t", EndGiven::Spacing, true, true, 600},
      {"90 右", "EP\t\t\t\t\t\t\t100", EndGiven::Straight, true, true, 600},
      {"90 右", "EP\t\t\t\t\t\t\t", EndGiven::Nothing, true, true, 520},
      {"90 右", nullptr, EndGiven::Nothing, true, true, 520},
      {"90 右", "EP\t\t\t\t\tK1+200\t\t", EndGiven::Chainage, true, false, 520},
      {"90 右", "EP\t\t\t\t\t-100\t\t", EndGiven::Chainage, true, false, 520},
      {"90 右", "EP\t\t\t\t\t\t\t-5", EndGiven::Straight, true, false, 520},
      {"", "EP\t\t\t\t\tK1+500\t\t", EndGiven::Chainage, false, true, 0},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("交点号\tX\tY\t转角\tR\t交点桩号\t交点间距\t直线长\n"
                                         "BP\t0\t0\t\t\tK0+000\n"
                                         "JD1\t1000\t0\t") +
                             c.deflection + "\t500\n" + (c.ep ? c.ep : "");
    SCOPED_TRACE(text);
    const PastedTable table = tableOf(text);
    const auto placement = placedEnd({}, 0, table);
    ASSERT_TRUE(placement);
    EXPECT_EQ(table.endGiven, c.given);
    EXPECT_EQ(placement->placed, c.placed);
    EXPECT_EQ(placement->fits, c.fits);
    if (!c.placed)
      continue;
    route::Route r;
    pasteTable({}, 0, table)(r);
    EXPECT_NEAR(r.endPoint().x, 1000, 1e-6);
    EXPECT_NEAR(r.endPoint().y, c.east, 1e-6);
  }
}

// An institute's 竖曲线表 as it copies: two heading lines, the computed
// figures beside the given ones; and the grade table as the window copies it.
TEST(DesignTable, GradePointsPasteByTheirHeadings) {
  const auto pasted =
      pastedGradePoints("变坡点\t\t\t竖曲线\t\t\t坡度及坡长\t\t备注\n"
                        "编号\t桩号\t高程(m)\t半径R(m)\t切线长T(m)\t外距E(m)\t坡度(%)\t坡长(m)\t\n"
                        "SJD0\tK0+000\t132.500\t\t\t\t1.170\t1350\t\n"
                        "SJD1\tK1+350.000\t148.200\t12000\t97.160\t0.393\t-1.374\t1550\t凸\n"
                        "\tK2+900\t126.8\t6000\t\t\t\t\t\n");
  ASSERT_TRUE(std::holds_alternative<PastedGrades>(pasted));
  const PastedGrades& t = std::get<PastedGrades>(pasted);
  EXPECT_EQ(t.points,
            (std::vector<route::GradePointRow>{
                {"SJD0", 0, 132.5, 0}, {"SJD1", 1350, 148.2, 12000}, {"", 2900, 126.8, 6000}}));
  EXPECT_EQ(t.computed, (std::vector<std::string>{"切线长T(m)", "外距E(m)", "坡度(%)", "坡长(m)"}));
  EXPECT_EQ(t.unknown, (std::vector<std::string>{"备注"}));
  EXPECT_EQ(std::get<PastedGrades>(pastedGradePoints("变坡点号\t变坡点桩号\t设计高程\t坡长\n"
                                                     "A\t100\t5\t300\n"))
                .points,
            (std::vector<route::GradePointRow>{{"A", 100, 5, 0}}));
  // Without a heading: name chainage elevation Rv.
  const auto plain = pastedGradePoints("SJD1\t1350\t148.2\t12000\nSJD2\tK2+900\t126.8\n");
  ASSERT_TRUE(std::holds_alternative<PastedGrades>(plain));
  EXPECT_EQ(
      std::get<PastedGrades>(plain).points,
      (std::vector<route::GradePointRow>{{"SJD1", 1350, 148.2, 12000}, {"SJD2", 2900, 126.8, 0}}));
  // Each row needs its elevation; the heading its chainage.
  EXPECT_EQ(std::get<PasteRefusal>(pastedGradePoints("桩号\t高程\nK1+000\t\n")),
            (PasteRefusal{1, 1, {CellFault::Missing, ""}, "高程"}));
  EXPECT_EQ(std::get<PasteRefusal>(pastedGradePoints("名称\t高程\tR\nA\t1\t2\n")),
            (PasteRefusal{0, 0, {CellFault::NoColumn, "桩号"}, ""}));
}

// Chain breaks as institutes' 断链表 print them: "behind = ahead" in one
// cell, or the two chainages in their columns; English headings; the
// break table's own columns without a heading.
TEST(DesignTable, ChainBreaksPasteByTheirHeadings) {
  using B = route::ChainBreak;
  const struct {
    const char* text;
    std::vector<B> breaks;
    std::vector<std::string> computed, unknown;
  } cases[] = {
      {"序号\t断链桩号\t断链值(m)\t备注\n"
       "1\tK3+100.000 = K3+080.500\t长链 19.5\t\n"
       "2\tK5+000＝K5+010\t短链 10\t\n",
       {{"", 3100, 3080.5}, {"", 5000, 5010}},
       {"断链值(m)"},
       {"序号", "备注"}},
      {"断链编号\t等号前桩号\t等号后桩号\t长链(m)\t短链(m)\nDL1\tK3+100\tK3+080.5\t19.5\t\n",
       {{"DL1", 3100, 3080.5}},
       {"长链(m)", "短链(m)"},
       {}},
      {"Name\tBehind (m)\tAhead (m)\tNote\nB1\t3100\t3080.5\t\n",
       {{"B1", 3100, 3080.5}},
       {},
       {"Note"}},
      {"DL2\tK1+000\tK1+010\n", {{"DL2", 1000, 1010}}, {}, {}},
      // A row whose only figures are its chainages written as one equation.
      {"名称\t断链桩号\nDL3\tK1+000 = K1+020\n", {{"DL3", 1000, 1020}}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto pasted = pastedBreaks(c.text);
    ASSERT_TRUE(std::holds_alternative<PastedBreaks>(pasted));
    EXPECT_EQ(std::get<PastedBreaks>(pasted), (PastedBreaks{c.breaks, c.computed, c.unknown}));
  }
  // Each row needs the chainage ahead, in its column or its cell; the
  // heading the chainage behind.
  EXPECT_EQ(std::get<PasteRefusal>(pastedBreaks("断链桩号\t备注\nK3+100\t\n")),
            (PasteRefusal{1, 0, {CellFault::Missing, ""}, "断链桩号"}));
  EXPECT_EQ(std::get<PasteRefusal>(pastedBreaks("名称\t断后桩号\nA\t100\n")),
            (PasteRefusal{0, 0, {CellFault::NoColumn, "断链桩号"}, ""}));
}

} // namespace
} // namespace quenlor

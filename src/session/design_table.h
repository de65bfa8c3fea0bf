// SPDX-License-Identifier: GPL-3.0-or-later
// A design's JD table (直线、曲线及转角表) pasted from a spreadsheet, read by
// its headings as the design institute prints it: what each column holds,
// the rows as BP, JDs and EP, and the columns left unread.
//
// Heading. The lines before the first that holds a number are the heading
// (a line of column numbers 1 2 3 … under it is skipped, and so is a title
// standing alone in its line). A heading of two or three lines, as merged
// cells copy, is read column by column: an upper line's text is carried
// right over the blanks after it, and a column is what its lowest text says,
// the texts above it deciding only where that says nothing known. A text is
// read in Chinese or English, any case, full-width or not, its units left
// off ("半径(m)", "R/m", "T（m）", "转角(°′″)"):
//   交点号 交点 名称 点号 编号 JD PI name       the point's name
//   X N 北 北坐标 Northing                    X (north)
//   Y 东 东坐标 Easting; E beside X or under 坐标   Y (east)
//   半径 R                                    R
//   缓和曲线长 Ls Lh                          the transitions (a second such column: ls2)
//   第一缓和曲线长 Ls1 Lh1 / 第二… Ls2 Lh2      the first / the second transition
//   缓和曲线参数 A A1 A2                      a transition as A²/R, where no length is given
//   交点桩号 桩号 里程 K                       the chainage: typed at BP, given to be checked
//                                            at a JD and at EP
//   转角 偏角 α                               the deflection: 左/右 (L/R) or a sign, right +
//   左转 左偏 / 右转 右偏                      the deflection to that side
//   交点间距 间距 spacing                      EP's distance from the last JD, where
//                                            EP has no X and Y (elsewhere not read)
//   直线长 直线段长 straight                   EP's distance from the last curve's end,
//                                            likewise
//   T L E J, 切线长 曲线长 外距 校正值, main points (ZH … YZ, 起点 中点 终点),
//   方位角                                    computed here: not read, named
// Anything else is not read and is named. Without a heading the columns are
// name X Y R [Ls [ls2]], as the table copies.
//
// Rows. A blank line is skipped. A first row named BP (QD, 起点) gives BP
// and a last row named EP (ZD, 终点) gives EP: their X and Y, and BP's
// chainage; the other rows are JDs, each needing X, Y and R (an empty Ls
// is 0, an empty ls2 equal to Ls). Angles are read as surveyors write them
// (geometry/angle_text.h: 25°30′15.2″, 25-30-15.2, packed 25.30152).
// The first cell that cannot be read refuses them all, named by its line,
// column and heading.
//
// EP without X and Y. Institutes' tables often give the last JD with its
// 转角 and EP only by its chainage (终点桩号), or by the spacing or the
// straight to it, or leave EP out. EP then stands along the outgoing straight
// the last JD's 转角 gives (route.h: placed points), as far from that JD as
// the table says: the spacing; the straight plus the curve's T2; or the
// chainage less the curve's end (HZ, YZ) plus T2. A table that gives none
// of them, or one that would put EP behind the curve's end, has EP placed
// kLineBeyondCurve beyond the curve's end, and the notice says so. A table
// from BP without an EP row whose last JD has its 转角 is a whole route
// whose EP is placed so. Without the last JD's 转角 nothing places EP.
#pragma once

#include "route/definition.h"
#include "session/route_edits.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenlor {

// What a column of a design table holds.
enum class TableField {
  Name,
  North,
  East,
  Radius,
  Transition, // both, or the first of two such columns
  FirstTransition,
  SecondTransition,
  Parameter, // A, as Transition
  FirstParameter,
  SecondParameter,
  Chainage,
  Deflection, // signed or with its side
  LeftDeflection,
  RightDeflection,
  Spacing,   // 交点间距: EP's distance from the last JD
  Straight,  // 直线长: EP's distance from the last curve's end
  Elevation, // of a grade point
  Behind,    // of a chain break, or "behind = ahead"
  Ahead,
  Computed, // computed here: not read
  Unknown,  // not read
};

// What each column of a heading holds: one heading line or several, each a
// line's cells (the upper ones carried right over their blanks).
std::vector<TableField> headingFields(const std::vector<std::vector<std::string_view>>& lines);

// The rows of a table: a JD's and EP's chainage and a JD's deflection as the
// table gives them, checks of the route (route/definition.h).
// What a table gives of EP where its EP row has no X and Y (the spacing is
// then EP's distance), or where it has no EP row (Nothing).
enum class EndGiven { Coordinates, Spacing, Straight, Chainage, Nothing };

struct PastedTable {
  std::optional<route::StartPoint> start; // a BP row
  std::vector<route::Jd> jds;             // a name left empty where no column gives one
  std::optional<route::EndPoint> end;     // an EP row
  EndGiven endGiven = EndGiven::Coordinates;
  double endStraight = 0;            // where the table gives EP by its straight
  std::vector<std::string> computed; // the headings not read: computed here
  std::vector<std::string> unknown;  // the headings not read: not known

  bool operator==(const PastedTable&) const = default;
};

// The table in a pasted text: one line a row ("\n" or "\r\n"), cells
// separated by tabs.
std::variant<PastedTable, PasteRefusal> pastedTable(std::string_view text);

// Where a pasted table's JDs go: before the JD at `before` (at the end for
// jdCount()); at the start where the table gives BP, at the end where it
// gives EP, in place of every JD where it gives both.
std::size_t pastePlace(const route::RouteDefinition& definition, std::size_t before,
                       const PastedTable& table);

// The straight EP is placed on beyond the last curve's end where the table
// gives nothing else: one stake interval, enough to stake the whole curve.
inline constexpr double kLineBeyondCurve = 20; // metres

// How EP of a table without its X and Y is placed: from the last JD (its
// name), how far along the straight its 转角 turns to. `placed` false: the
// last JD has no 转角 or is left out of the route, nothing places EP, and
// the table is not pasted. `fits` false: what the table gives would put EP
// behind the curve's end; it stands kLineBeyondCurve beyond it instead.
struct EndPlacement {
  EndGiven given = EndGiven::Nothing;
  bool placed = false, fits = true;
  std::string jd;
  double distance = 0; // metres
};
// None where the table gives EP by its X and Y, or gives no EP.
std::optional<EndPlacement> placedEnd(const route::RouteDefinition& definition, std::size_t before,
                                      const PastedTable& table);
// What the notice says of it, in the window's words (text/catalogue.h).
std::string endPlacedText(const EndPlacement& placement, const PastedTable& table);

// The change a pasted table makes: BP and EP where it gives them (EP placed
// as placedEnd says), and its JDs at their place (pastePlace), each without a
// name given the next JD name.
RouteChange pasteTable(const route::RouteDefinition& definition, std::size_t before,
                       const PastedTable& table);

// The grade points' table (变坡点表, 竖曲线表) pasted the same way: a heading
// read by its words (变坡点 编号 名称 SJD PVI: the name; 桩号 里程 K: the
// chainage; 高程 标高 设计高程 H Z: the elevation; 竖曲线半径 半径 R Rv:
// the vertical radius, empty 0 for none; 坡度 坡长 切线长 外距 T E and the
// like: computed here, not read), lines of merged cells, titles and column
// numbers as above. Without a heading the columns are name chainage
// elevation Rv, as the grade table copies. Each row needs its chainage and
// elevation.
struct PastedGrades {
  std::vector<route::GradePointRow> points; // a name left empty where no column gives one
  std::vector<std::string> computed;        // the headings not read: computed here
  std::vector<std::string> unknown;         // the headings not read: not known

  bool operator==(const PastedGrades&) const = default;
};
std::variant<PastedGrades, PasteRefusal> pastedGradePoints(std::string_view text);

// The change pasted grade points make: before the one at `before` (at the
// end for their count), each without a name given the next SJD name.
RouteChange pasteGradePoints(const route::RouteDefinition& definition, std::size_t before,
                             std::vector<route::GradePointRow> points);

// The chain breaks' table (断链表) pasted the same way: a heading read by
// its words (断链 编号 名称 DL name: the name; 断前 等号前 断链前 behind
// back: the chainage behind; 断后 等号后 断链后 ahead: the chainage ahead;
// 断链桩号 桩号 里程 chainage station: the chainage behind, or both written
// "K3+100.000 = K3+080.500"; 长链 短链 断链值 断链长度 long short value:
// computed here, not read), lines of merged cells, titles and column numbers
// as above. Without a heading the columns are name behind ahead, as the
// break table shows them. Each row needs both chainages.
struct PastedBreaks {
  std::vector<route::ChainBreak> breaks; // a name left empty where no column gives one
  std::vector<std::string> computed;     // the headings not read: computed here
  std::vector<std::string> unknown;      // the headings not read: not known

  bool operator==(const PastedBreaks&) const = default;
};
std::variant<PastedBreaks, PasteRefusal> pastedBreaks(std::string_view text);

// The change pasted chain breaks make: before the one at `before` (at the end
// for their count), each without a name given the next DL name.
RouteChange pasteBreaks(const route::RouteDefinition& definition, std::size_t before,
                        std::vector<route::ChainBreak> breaks);

} // namespace quenlor

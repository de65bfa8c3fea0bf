// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of a route's element table (线元表) through the panel, as rules
// that need no window (route_edits.h for the cells, changes and blanks): how
// its cells are read, the row a new element takes, the rows a spreadsheet
// pastes and the text copying gives back, and starting a new route as
// either method.
#pragma once

#include "session/route_edits.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenlor {

// An element's kind as a cell takes it: 直线, 圆曲线 (or 圆弧), 缓和曲线 (or
// 缓和, 回旋线).
Taken<route::ElementKind> readCellElementKind(std::string_view text);
std::string_view elementKindText(route::ElementKind kind);

// A turning side: 左 or 右 (左偏, 右偏), blank for none.
Taken<route::Turn> readCellTurn(std::string_view text);
std::string_view turnText(route::Turn turn);

// A radius: a number as readCellNumber takes it, blank (or ∞) for none.
Taken<double> readCellRadius(std::string_view text);
std::string radiusText(double radius); // "" for none

// An azimuth in packed DMS, 0 to 360 (geometry/angle_text.h).
Taken<double> readCellAzimuth(std::string_view text);

// A new element to go before `index` (at the end for the number of rows): a
// straight of kNewElementLength, without a name; a surveyor then types it.
inline constexpr double kNewElementLength = 100;
route::ElementRow newElement();

// The changes of the table's buttons; indices ascending, each once.
RouteChange insertElements(std::size_t before, std::vector<route::ElementRow> elements);
RouteChange eraseElements(std::vector<std::size_t> elements);
RouteChange swapElements(const route::RouteDefinition& definition, std::size_t a, std::size_t b);
// A route with no rows of either kind given by the other method.
RouteChange startAs(route::Method method);

// Why pasted element rows were refused: the line and cell, counted from 0,
// the column's heading, and why.
struct ElementPasteRefusal {
  std::size_t line = 0, column = 0;
  std::string_view heading;
  CellRefusal cell;

  bool operator==(const ElementPasteRefusal&) const = default;
};

// Element rows copied from a spreadsheet: one line a row, cells separated by
// tabs. Where the first line names columns (any of 名称 类型 起点半径 终点半径
// 长度 转向 起点X 起点Y 已知X 已知Y, in any order; 序号, 起点桩号 and
// 起点方位角 are read past), the cells are taken by those names, 起点X and
// 起点Y as the start given; without one, in the element table file's order
// (route_file.h: 序号 类型 起点桩号 起点X 起点Y 起点方位角 起点半径 终点半径 长度
// 转向 名称). 类型 and 长度 are needed; blank lines are skipped; the first row
// that cannot be read refuses them all.
std::variant<std::vector<route::ElementRow>, ElementPasteRefusal>
pastedElements(std::string_view text);

// The elements under a line of their headings, in the layout pastedElements
// reads, numbers exact.
std::string copiedElements(const std::vector<route::ElementRow>& elements);

} // namespace quenlor

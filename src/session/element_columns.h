// SPDX-License-Identifier: GPL-3.0-or-later
// The element table (线元表) of a route by elements, as a column list of the
// route panel (route_columns.h): BP, one row an element in route order, EP.
//
// Typed: the name on every row; on an element's row its 类型 (直线, 圆曲线,
// 缓和曲线), 起点半径 and 终点半径 (blank: none, a straight's end), 长度, 转向
// (左, 右, blank) and the start a field table gives (已知X, 已知Y: a check,
// blank for none); on BP's the route's start: 起点桩号, 起点X, 起点Y and
// 起点方位角 (packed DMS, 30.152055). Computed: each element's start
// chainage, X, Y and azimuth, as the chain puts them (EP's row: where the
// last element ends), and the gap from a given start to the chained one, to
// the millimetre.
//
// Azimuths show as DMS to a tenth of a second; the editor of BP's starts
// from the packed text in full (geometry/angle_text.h: packedAzimuthText).
// Radii and lengths show as typed.
#pragma once

#include "session/route_columns.h"

namespace quenlor {

const RouteTable& elementsTable();

// The rows: BP first, EP last.
std::optional<std::size_t> elementOfRow(const route::RouteDefinition& definition, std::size_t row);
inline std::size_t rowOfElement(std::size_t element) { return element + 1; }

// The row of the element table a check concerns: its element's, BP's, or
// (a check of the whole route) EP's; none for a chain break's.
std::optional<std::size_t> elementRowOfCheck(const route::Check& check,
                                             const route::RouteDefinition& definition);

} // namespace quenlor

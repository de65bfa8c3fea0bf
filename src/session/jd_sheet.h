// SPDX-License-Identifier: GPL-3.0-or-later
// The JD table as design institutes print it (直线、曲线及转角表): one row a
// point of a route by JDs, BP, each JD and EP in order, its columns in
// groups under a second line of headings:
//
//   交点号 | 交点坐标: X, Y | 交点桩号 | 转角值: 左转, 右转 |
//   曲线要素值: R, Ls1, Ls2, A1, A2, T1, T2, L, E, J |
//   曲线主点桩号: ZH, HY(ZY), QZ, YH(YZ), HZ |
//   直线长度及方向: 直线段长, 交点间距, 计算方位角
//
// The deflection stands in the column of its side. A = sqrt(R Ls) for each
// transition; J = T1 + T2 - L, what the chainage gains at the JD by going
// round instead of through it. The main points in the institutes' columns:
// the first transition's start, its end or the arc's start, the curve's
// middle, the second transition's start or the arc's end, its end; so a
// curve without transitions fills the second, third and fourth (ZY, QZ, YZ),
// an angle point none. The straight on a point's row is the one leaving it
// for the next point in the route: its length from HZ (BP) to the next ZH
// (EP), the distance between the two points and its azimuth.
//
// A JD left out of the route (route.h) shows its name and coordinates and
// nothing computed; the straight runs past it from the row before.
#pragma once

#include "numeric/strict_number.h"
#include "route/route.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

struct JdSheetRow {
  std::string name;
  PlanePoint point;
  std::optional<Station> station;    // none for a JD left out
  std::optional<double> deflection;  // a JD's, radians, right positive
  std::optional<route::Curve> curve; // where the JD has one
  // In the institutes' five columns (above); none where a column is empty.
  std::array<std::optional<Station>, 5> mainPoints;
  struct Straight {
    double length, between, azimuth; // metres, metres, radians
  };
  std::optional<Straight> ahead;
};

// The rows of a route by JDs with its geometry; none for any other route.
std::vector<JdSheetRow> jdSheetRows(const route::Route& route);

// The columns of the sheet, each with the group it stands in ("" for a
// column on its own, whose heading spans both lines), its heading and the
// text of its cell at a precision: lengths to the millimetre, angles to the
// second, chainages as K1+234.567 (angles packed, lengths in full at full
// precision).
struct JdSheetColumn {
  std::string_view group;
  std::string_view heading;
  std::string (*cell)(const JdSheetRow& row, Precision precision);
};
const std::vector<JdSheetColumn>& jdSheetColumns();

// The sheet's title: 直线、曲线及转角表.
std::string_view jdSheetTitle();

} // namespace quenlor

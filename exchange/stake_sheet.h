// SPDX-License-Identifier: GPL-3.0-or-later
// The stake-out table as files: a stake sheet in CSV or XLSX with a header
// block naming the route, the station, the backsight, the date and the
// precision, and the stakes as a point list for a total station. The columns
// are the table's own (chainage/stake_table.h: stakeColumns), the rows made
// one at a time as they are written.
//
// The header block, the same lines in every sheet:
//   线路,示例路线
//   测站,T1,3456700.000,512400.000       name, X, Y; empty cells where not known
//   测站高程,152.360
//   仪器高,1.520
//   后视,T2,3456900.000,512200.000
//   定向方位角,315°00′00″                  from the station to the backsight
//   定向距离,282.843
//   日期,2024-05-01
//   精度,毫米，整秒                         or 全精度
//
// CSV: UTF-8 with a byte-order mark (spreadsheets need it for Chinese),
// lines ending in CRLF, cells with a comma, a quote or a line break quoted:
// the header block, an empty line, the headings, one line a stake. The side
// stakes' columns only where the table sets them off the centre.
//
// XLSX (libxlsxwriter): one sheet, the same header block in its first rows
// (coordinates, elevations and the distance as numbers), the headings in
// bold and frozen, then the rows: lengths as numbers at full precision shown
// as 0.000 (Field) or with every digit (Full), chainages, main points and
// angles as text (DMS 251°37′50″, or packed DMS at full precision), every
// column after the main point right-aligned. Each column as wide as its
// widest text; written in constant-memory mode, row by row; printed as A4
// landscape, all columns fitted to the page's width, the headings repeated
// on every page.
//
// The route's own sheets, in XLSX as the stake sheet, a title in their first
// row and a shorter header block (the route, the date, the precision):
// - the JD table (直线、曲线及转角表, session/jd_sheet.h) of a route by JDs:
//   the headings in two rows, a group's heading merged across its columns
//   and a column on its own merged down both; printed as the stake sheet,
//   the grid too;
// - the coordinate table (逐桩坐标表, stake_table.h: coordinateColumns) of
//   the stake table's stakes, one a row.
//
// Point list: one line a point, "name,X,Y,Z" (N,E) or "name,Y,X,Z" (E,N),
// lengths at the precision asked; the centre stake named by its chainage
// (K1+234.567, the second occurrence after a long chain break K1+234.567(2)),
// its side stakes by the same with L or R after it (K1+234.567L); Z the
// design elevation where the table has one, else empty. Side stakes at no
// offset (on the centre) and rows without a point are left out.
#pragma once

#include "chainage/stake_table.h"
#include "files/save_file.h"
#include "session/set_up.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quenlor {
class Form;
class RouteModel;
struct TableAnswer;
namespace route {
class Route;
}
} // namespace quenlor

namespace quenlor::exchange {

struct SheetHeader {
  std::string route;  // the route's name, or what the table stands on
  StationSetUp setUp; // the station, its backsight and heights
  std::string date;   // 2024-05-01
  Precision precision = Precision::Field;
};

// The header for a table set out from the set-up in use (session/set_up.h:
// the route's station in use, else the boxes'), on the route when one is
// given (its name, or 路线 without one), else on the curve of the boxes (交点
// and the JD's name in Text7).
SheetHeader sheetHeaderOf(const Form& form, const RouteModel* route, Precision precision,
                          std::string date);

// A cell of the header block: its text at the sheet's precision, and the
// number it shows where it is one (a spreadsheet holds it in full).
struct HeaderCell {
  std::string text;
  std::optional<double> number;
};
struct HeaderLine {
  std::string caption;
  std::vector<HeaderCell> cells;
};
std::vector<HeaderLine> headerLines(const SheetHeader& header);

// The header of a route's own sheets, which set out nothing: the route's
// name (路线 without one), the date and the precision.
SheetHeader routeSheetHeader(const RouteModel& route, Precision precision, std::string date);
std::vector<HeaderLine> routeHeaderLines(const SheetHeader& header);

// "毫米，整秒" or "全精度".
std::string precisionText(Precision precision);

enum class CoordinateOrder { NorthEast, EastNorth };

// Each writes the whole file; false when the stream fails.
bool writeStakeCsv(std::ostream& out, const TableAnswer& table, const SheetHeader& header);
bool writePointList(std::ostream& out, const TableAnswer& table, CoordinateOrder order,
                    Precision precision);

// A table with no rows writes nothing and says so.
Expected<Done> saveStakeCsv(const std::string& path, const TableAnswer& table,
                            const SheetHeader& header);
Expected<Done> saveStakeXlsx(const std::string& path, const TableAnswer& table,
                             const SheetHeader& header);
// A route by elements, or one without geometry, has no JD table.
Expected<Done> saveJdSheetXlsx(const std::string& path, const route::Route& route,
                               const SheetHeader& header);
Expected<Done> saveCoordinateXlsx(const std::string& path, const TableAnswer& table,
                                  const SheetHeader& header);
Expected<Done> savePointList(const std::string& path, const TableAnswer& table,
                             CoordinateOrder order, Precision precision);

// The name of a stake in a point list: its chainage and occurrence, and L or
// R for a side stake ("" for the centre).
std::string pointName(const StakeRow& row, std::string_view side);

} // namespace quenlor::exchange

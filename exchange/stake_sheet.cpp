// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/stake_sheet.h"

#include "form/form.h"
#include "session/field_tools.h"
#include "session/route_model.h"
#include "text/csv.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace quenlor::exchange {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

void csvLine(std::ostream& out, std::initializer_list<std::string_view> cells) {
  out << quenlor::csvLine(cells);
}

HeaderCell lengthCell(const std::optional<double>& v, Precision precision) {
  return v ? HeaderCell{lengthText(*v, precision), v} : HeaderCell{};
}

// A named point: its name, X and Y.
std::vector<HeaderCell> pointCells(const std::string& name, const std::optional<PlanePoint>& p,
                                   Precision precision) {
  return {{name, std::nullopt},
          lengthCell(p ? std::optional(p->x) : std::nullopt, precision),
          lengthCell(p ? std::optional(p->y) : std::nullopt, precision)};
}

Expected<Done> noRows(const TableAnswer& table) {
  return Failure{"there is no stake table to write" +
                 (table.note.empty() ? std::string() : ": " + table.note)};
}

} // namespace

std::string precisionText(Precision precision) {
  return precision == Precision::Field ? "毫米，整秒" : "全精度";
}

namespace {

// A route's name on its sheets.
std::string routeName(const RouteModel& route) {
  return route.definition().name.empty() ? "路线" : route.definition().name;
}

} // namespace

SheetHeader routeSheetHeader(const RouteModel& route, Precision precision, std::string date) {
  return {routeName(route), {}, std::move(date), precision};
}

std::vector<HeaderLine> routeHeaderLines(const SheetHeader& header) {
  return {{"线路", {{header.route, std::nullopt}}},
          {"日期", {{header.date, std::nullopt}}},
          {"精度", {{precisionText(header.precision), std::nullopt}}}};
}

SheetHeader sheetHeaderOf(const Form& form, const RouteModel* route, Precision precision,
                          std::string date) {
  SheetHeader h;
  if (route)
    h.route = routeName(*route);
  else
    h.route = "交点 " + form.text(Box::Text7);
  h.setUp = setUpOf(form, route ? &route->definition() : nullptr);
  h.date = std::move(date);
  h.precision = precision;
  return h;
}

std::vector<HeaderLine> headerLines(const SheetHeader& header) {
  const Precision p = header.precision;
  const StationSetUp& s = header.setUp;
  const auto orientation = s.orientation();
  return {
      {"线路", {{header.route, std::nullopt}}},
      {"测站", pointCells(s.name, s.station, p)},
      {"测站高程", {lengthCell(s.elevation, p)}},
      {"仪器高", {lengthCell(s.instrumentHeight, p)}},
      {"后视", pointCells(s.backsightName, s.backsight, p)},
      {"定向方位角",
       {{orientation ? angleText(orientation->azimuthDms, p) : std::string(), std::nullopt}}},
      {"定向距离",
       {lengthCell(orientation ? std::optional(orientation->distance) : std::nullopt, p)}},
      {"日期", {{header.date, std::nullopt}}},
      {"精度", {{precisionText(p), std::nullopt}}},
  };
}

std::string pointName(const StakeRow& row, std::string_view side) {
  std::string name = row.label;
  std::erase(name, ' ');
  return name + std::string(side);
}

bool writeStakeCsv(std::ostream& out, const TableAnswer& table, const SheetHeader& header) {
  const Precision p = header.precision;
  out << kByteOrderMark;
  for (const HeaderLine& line : headerLines(header)) {
    out << csvCell(line.caption);
    for (const HeaderCell& cell : line.cells)
      out << ',' << csvCell(cell.text);
    out << kLineEnd;
  }
  out << kLineEnd;
  const std::vector<StakeColumn>& columns = table.columns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    out << (c ? "," : "");
    out << csvCell(columns[c].heading);
  }
  out << kLineEnd;
  for (std::size_t i = 0; i < table.size() && out; ++i) {
    const StakeRow row = table.row(i);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      out << (c ? "," : "");
      out << csvCell(columns[c].cell(row, p));
    }
    out << kLineEnd;
  }
  return bool(out);
}

bool writePointList(std::ostream& out, const TableAnswer& table, CoordinateOrder order,
                    Precision precision) {
  const bool northFirst = order == CoordinateOrder::NorthEast;
  const auto line = [&](const StakeRow& row, std::string_view side, const PlanePoint& at,
                        const std::optional<double>& z) {
    csvLine(out, {pointName(row, side), lengthText(northFirst ? at.x : at.y, precision),
                  lengthText(northFirst ? at.y : at.x, precision),
                  z ? lengthText(*z, precision) : std::string()});
  };
  for (std::size_t i = 0; i < table.size() && out; ++i) {
    const StakeRow row = table.row(i);
    if (!row.centre)
      continue;
    const PlanePoint centre = row.centre->point;
    line(row, "", centre, row.design);
    const auto offCentre = [&](const std::optional<PlanePoint>& p) {
      return p && std::hypot(p->x - centre.x, p->y - centre.y) >= kSideOnCentre;
    };
    if (offCentre(row.left))
      line(row, "L", *row.left, row.leftDesign);
    if (offCentre(row.right))
      line(row, "R", *row.right, row.rightDesign);
  }
  return bool(out);
}

Expected<Done> saveStakeCsv(const std::string& path, const TableAnswer& table,
                            const SheetHeader& header) {
  if (table.size() == 0)
    return noRows(table);
  return saveStream(path, [&](std::ostream& out) { return writeStakeCsv(out, table, header); });
}

Expected<Done> savePointList(const std::string& path, const TableAnswer& table,
                             CoordinateOrder order, Precision precision) {
  if (table.size() == 0)
    return noRows(table);
  return saveStream(
      path, [&](std::ostream& out) { return writePointList(out, table, order, precision); });
}

} // namespace quenlor::exchange

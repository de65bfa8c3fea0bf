// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/stake_sheet.h"

#include "form/form.h"
#include "session/curve_of_boxes.h"
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

std::string coordinate(const std::optional<PlanePoint>& p, bool north, Precision precision) {
  return p ? lengthText(north ? p->x : p->y, precision) : std::string();
}

std::optional<PlanePoint> pointOfBoxes(const Form& form, Box x, Box y) {
  const PlanePoint p{form.number(x), form.number(y)};
  if (form.text(x).empty() || form.text(y).empty() || !isFinite(p))
    return std::nullopt;
  return p;
}

Expected<Done> noRows(const TableAnswer& table) {
  return Failure{"there is no stake table to write" +
                 (table.note.empty() ? std::string() : ": " + table.note)};
}

} // namespace

std::string precisionText(Precision precision) {
  return precision == Precision::Field ? "毫米，整秒" : "全精度";
}

SheetHeader sheetHeaderOf(const Form& form, const RouteModel* route, Precision precision,
                          std::string date) {
  SheetHeader h;
  if (route)
    h.route = route->definition().name.empty() ? "路线" : route->definition().name;
  else
    h.route = "交点 " + form.text(Box::Text7);
  h.station = stationOfBoxes(form);
  h.backsight = pointOfBoxes(form, Box::Text39, Box::Text1);
  h.date = std::move(date);
  h.precision = precision;
  return h;
}

std::string pointName(const StakeRow& row, std::string_view side) {
  std::string name = row.label;
  std::erase(name, ' ');
  return name + std::string(side);
}

bool writeStakeCsv(std::ostream& out, const TableAnswer& table, const SheetHeader& header) {
  const Precision p = header.precision;
  out << kByteOrderMark;
  csvLine(out, {"线路", header.route});
  csvLine(out, {"测站", coordinate(header.station, true, p), coordinate(header.station, false, p)});
  csvLine(out,
          {"后视", coordinate(header.backsight, true, p), coordinate(header.backsight, false, p)});
  csvLine(out, {"日期", header.date});
  csvLine(out, {"精度", precisionText(p)});
  out << kLineEnd;
  const std::vector<StakeColumn>& columns = stakeColumns(table.hasDesign());
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

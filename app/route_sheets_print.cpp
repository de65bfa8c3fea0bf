// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_sheets_print.h"

#include "app/drawing/paper_table.h"
#include "app/fonts.h"
#include "app/said.h"
#include "app/stake_sheet_print.h"
#include "session/field_tools.h"
#include "session/jd_sheet.h"
#include "text/catalogue.h"

namespace quenlor {
namespace {

constexpr double kJdPoints = 8, kCoordinatePoints = 8.5;
constexpr int kCoordinateBands = 3;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QFont sheetFont(double points) {
  QFont font = controlFont();
  font.setPointSizeF(points);
  return font;
}

// The route, the date and the precision on one line.
std::vector<QString> headerOf(const exchange::SheetHeader& header) {
  QString text;
  for (const exchange::HeaderLine& line : exchange::routeHeaderLines(header))
    text += (text.isEmpty() ? QString() : QStringLiteral("      ")) + headerText(line);
  return {text};
}

PaperTable jdTable(const route::Route& route, const exchange::SheetHeader& header) {
  PaperTable table{qs(jdSheetTitle()), headerOf(header), {}, {}, 1};
  const std::vector<JdSheetColumn>& columns = jdSheetColumns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    table.columns.push_back({qs(columns[c].group), qs(columns[c].heading), c == 0,
                             columns[c].group == columns.back().group});
  for (const JdSheetRow& row : jdSheetRows(route)) {
    std::vector<QString>& cells = table.rows.emplace_back();
    for (const JdSheetColumn& column : columns)
      cells.push_back(qs(column.cell(row, header.precision)));
  }
  return table;
}

// The chainage and the main point read from the left.
constexpr std::size_t kLeftColumns = 2;

PaperTable coordinateTable(const TableAnswer& stakes, const exchange::SheetHeader& header) {
  PaperTable table{qs(coordinateSheetTitle()), headerOf(header), {}, {}, kCoordinateBands};
  const std::vector<StakeColumn>& columns = coordinateColumns(stakes.hasDesign());
  for (std::size_t c = 0; c < columns.size(); ++c)
    table.columns.push_back({{}, qs(columns[c].heading), c < kLeftColumns, false});
  table.rows.reserve(stakes.size());
  for (std::size_t i = 0; i < stakes.size(); ++i) {
    const StakeRow row = stakes.row(i);
    std::vector<QString>& cells = table.rows.emplace_back();
    for (const StakeColumn& column : columns)
      cells.push_back(qs(column.cell(row, header.precision)));
  }
  return table;
}

} // namespace

int paintJdSheet(QPagedPaintDevice& device, const route::Route& route,
                 const exchange::SheetHeader& header) {
  const PaperTable table = jdTable(route, header);
  if (table.rows.empty())
    return 0;
  return printTable(device, QPageLayout::Landscape, table, sheetFont(kJdPoints));
}

int paintCoordinateSheet(QPagedPaintDevice& device, const TableAnswer& table,
                         const exchange::SheetHeader& header) {
  if (table.size() == 0)
    return 0;
  return printTable(device, QPageLayout::Portrait, coordinateTable(table, header),
                    sheetFont(kCoordinatePoints));
}

QString saveJdSheetPdf(const QString& path, const route::Route& route,
                       const exchange::SheetHeader& header) {
  if (jdSheetRows(route).empty())
    return QString::fromStdString(chinese(Say::JdSheetWithoutJds));
  return savePdfPages(path, qs(jdSheetTitle()) + QStringLiteral(" ") + qs(header.route),
                      [&](QPagedPaintDevice& pdf) { return paintJdSheet(pdf, route, header); });
}

QString saveCoordinateSheetPdf(const QString& path, const TableAnswer& table,
                               const exchange::SheetHeader& header) {
  if (table.size() == 0)
    return said(Say::WindowNoStakeTable);
  return savePdfPages(
      path, qs(coordinateSheetTitle()) + QStringLiteral(" ") + qs(header.route),
      [&](QPagedPaintDevice& pdf) { return paintCoordinateSheet(pdf, table, header); });
}

} // namespace quenlor

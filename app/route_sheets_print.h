// SPDX-License-Identifier: GPL-3.0-or-later
// The route's own sheets on paper, ruled as design institutes print them
// (drawing/paper_table.h), each page headed by the sheet's title, the route,
// the date and the precision, and numbered at its foot:
//   - the JD table (直线、曲线及转角表, session/jd_sheet.h), A4 landscape in
//     its two rows of headings, the straight between two points drawn
//     between their rows;
//   - the coordinate table (逐桩坐标表) of the stake table's stakes, A4
//     portrait: chainage, main point, X, Y, the tangent's azimuth and the
//     design elevation where the table has it, in as many bands side by
//     side as fit (up to three).
#pragma once

#include "exchange/stake_sheet.h"

#include <QString>

class QPagedPaintDevice;

namespace quenlor {

struct TableAnswer;
namespace route {
class Route;
}

// Each paints its sheet and gives the number of pages, 0 when nothing could
// be painted (a route with no JD table, a table with no rows).
int paintJdSheet(QPagedPaintDevice& device, const route::Route& route,
                 const exchange::SheetHeader& header);
int paintCoordinateSheet(QPagedPaintDevice& device, const TableAnswer& table,
                         const exchange::SheetHeader& header);

// Each writes its sheet to a PDF file; the notice for the window.
QString saveJdSheetPdf(const QString& path, const route::Route& route,
                       const exchange::SheetHeader& header);
QString saveCoordinateSheetPdf(const QString& path, const TableAnswer& table,
                               const exchange::SheetHeader& header);

} // namespace quenlor

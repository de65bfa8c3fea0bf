// SPDX-License-Identifier: GPL-3.0-or-later
// The stake-out sheet on paper, for the crew: A4 portrait, a header on every
// page (route, station, backsight, date, precision), the column headings
// repeated on every page and "第 N 页 / 共 M 页" at its foot. One line a
// point: the centre stake, then its left and right stakes (where they stand
// off the centre), each with its X, Y, design elevation and the setting-out
// azimuth and distance from the station, at the precision on show.
#pragma once

#include "exchange/stake_sheet.h"

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace quenlor {

struct TableAnswer;

// Paints the sheet on a PDF writer or a printer (set to A4 portrait here);
// gives the number of pages, 0 when nothing could be painted.
int paintStakeSheet(QPagedPaintDevice& device, const TableAnswer& table,
                    const exchange::SheetHeader& header);

// A line of a sheet's header block as a page prints it: its caption, then
// its cells ("—" for one not known).
QString headerText(const exchange::HeaderLine& line);

// Writes the pages `paint` paints (answering with their number, 0 when it
// could not) to a PDF file titled `title`, replacing it at once; the notice
// for the window: what was written, or why not.
QString savePdfPages(const QString& path, const QString& title,
                     const std::function<int(QPagedPaintDevice&)>& paint);

// Writes the sheet to a PDF file, replacing it at once; the notice for the
// window: what was written, or why not.
QString saveStakeSheetPdf(const QString& path, const TableAnswer& table,
                          const exchange::SheetHeader& header);

// Asks where the sheet goes (a printer, or a PDF file) with the standard
// print dialog and prints it; the notice for the window, empty when the
// user cancelled.
QString printStakeSheet(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The window's ways out of the program and into it, each asking for the file
// with the standard file dialog and answering with the text for the notice
// line (empty when the user cancelled). The files are written by the
// exchange library (exchange/*.h) through the one save path
// (files/save_file.h): a failure leaves the old file and says why in
// Chinese ("未能保存：磁盘空间不足（FILE）").
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace quenlor {

class RouteModel;
namespace route {
struct RouteDefinition;
}
struct TableAnswer;
namespace exchange {
struct SheetHeader;
}

// The route as LandXML 1.2.
QString exportLandXml(QWidget* parent, const RouteModel& route);
// The route's element table (线元表) as a route file of element rows
// (route/element_table.h: chainedElements), to the path given or one the
// dialog asks for; a route whose table cannot be chained is refused, the
// notice says where.
QString exportElements(QWidget* parent, const RouteModel& route);
QString saveElementTable(const RouteModel& route, const QString& path);
// A LandXML file read: its alignments by name, and the one taken.
struct LandXmlRead {
  QString path;
  QStringList alignments;
  int chosen = 0;
};
using RouteAcceptor = std::function<std::optional<QString>(route::RouteDefinition)>;
// Reads the route of a LandXML file and hands it to `accept`, which answers
// with its own notice, or nothing when it did not take the route (the user
// cancelled: then nothing is said); a file that cannot be read hands nothing
// over and the notice says why. What was taken is told in `read`.
QString importLandXml(QWidget* parent, const RouteAcceptor& accept, LandXmlRead* read);
// The same from a file already chosen, and one alignment of it by name
// (empty: the first).
QString importLandXmlFile(const QString& path, const std::string& alignment,
                          const RouteAcceptor& accept, LandXmlRead* read);
// The plan of the route as DXF, with the stakes of the table when given.
QString exportDxf(QWidget* parent, const RouteModel& route, const TableAnswer* stakes = nullptr);

// The stake-out table as a CSV or XLSX stake sheet.
QString exportStakeCsv(QWidget* parent, const TableAnswer& table,
                       const exchange::SheetHeader& header);
QString exportStakeXlsx(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header);
// The route's JD table (直线、曲线及转角表) as XLSX or PDF, at field
// precision, dated today.
QString exportJdSheetXlsx(QWidget* parent, const RouteModel& route);
QString exportJdSheetPdf(QWidget* parent, const RouteModel& route);
// The stake table's stakes as a coordinate table (逐桩坐标表), XLSX or PDF.
QString exportCoordinateXlsx(QWidget* parent, const TableAnswer& table,
                             const exchange::SheetHeader& header);
QString exportCoordinatePdf(QWidget* parent, const TableAnswer& table,
                            const exchange::SheetHeader& header);
// The stakes as a total station's point list (全站仪坐标): the file dialog's
// type says the order, name X Y Z or name Y X Z; at the sheet's precision.
QString exportPointList(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header);

} // namespace quenlor

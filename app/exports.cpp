// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exports.h"

#include "app/captions.h"
#include "app/route_sheets_print.h"
#include "app/said.h"
#include "exchange/dxf.h"
#include "exchange/landxml.h"
#include "exchange/stake_sheet.h"
#include "exchange/stamp.h"
#include "route/element_table.h"
#include "route/route_file.h"
#include "session/field_tools.h"
#include "session/route_model.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace quenlor {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The file to write, with the filter's suffix when none was typed.
QString fileToSave(QWidget* parent, const QString& caption, const QString& filter,
                   const QString& suffix) {
  QString path = QFileDialog::getSaveFileName(parent, caption, QString(), filter);
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += suffix;
  return path;
}

QString outcome(const Expected<Done>& saved, const QString& path) {
  return saved ? said(Say::WindowSaved, {path}) : said(Say::WindowNotSaved, {qs(saved.notice())});
}

template <class Save>
QString saveAs(QWidget* parent, const QString& caption, const QString& filter,
               const QString& suffix, Save save) {
  const QString path = fileToSave(parent, caption, filter, suffix);
  return path.isEmpty() ? QString() : outcome(save(QFile::encodeName(path).toStdString()), path);
}

} // namespace

QString exportPointList(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header) {
  const QString northFirst = caption(captions::kPointsNorthFirst);
  const QString eastFirst = caption(captions::kPointsEastFirst);
  QString chosen;
  QString path =
      QFileDialog::getSaveFileName(parent, caption(captions::kExportPointsTitle), QString(),
                                   northFirst + QStringLiteral(";;") + eastFirst, &chosen);
  if (path.isEmpty())
    return {};
  if (QFileInfo(path).suffix().isEmpty())
    path += QStringLiteral(".csv");
  const auto order = chosen == eastFirst ? exchange::CoordinateOrder::EastNorth
                                         : exchange::CoordinateOrder::NorthEast;
  return outcome(exchange::savePointList(QFile::encodeName(path).toStdString(), table, order,
                                         header.precision),
                 path);
}

QString exportLandXml(QWidget* parent, const RouteModel& route) {
  return saveAs(parent, caption(captions::kExportLandXmlTitle), QStringLiteral("LandXML (*.xml)"),
                QStringLiteral(".xml"), [&](const std::string& path) {
                  return exchange::saveLandXml(path, route, exchange::nowStamp());
                });
}

QString saveElementTable(const RouteModel& route, const QString& path) {
  const auto elements = route::chainedElements(route.route());
  if (!elements)
    return said(Say::WindowElementsNotExported, {qs(elements.notice())});
  return outcome(route::saveRouteFile(QFile::encodeName(path).toStdString(), *elements), path);
}

QString exportElements(QWidget* parent, const RouteModel& route) {
  const QString path = fileToSave(parent, caption(captions::kExportElementsTitle),
                                  caption(captions::kElementsFilter), QStringLiteral(".csv"));
  return path.isEmpty() ? QString() : saveElementTable(route, path);
}

QString importLandXml(QWidget* parent, const RouteAcceptor& accept, LandXmlRead* seen) {
  const QString path =
      QFileDialog::getOpenFileName(parent, caption(captions::kImportLandXmlTitle), QString(),
                                   QStringLiteral("LandXML (*.xml *.landxml)"));
  return path.isEmpty() ? QString() : importLandXmlFile(path, {}, accept, seen);
}

QString importLandXmlFile(const QString& path, const std::string& alignment,
                          const RouteAcceptor& accept, LandXmlRead* seen) {
  exchange::LandXmlImport read =
      exchange::openLandXml(QFile::encodeName(path).toStdString(), alignment);
  if (!read.route)
    return said(Say::WindowNotImported, {path, qs(read.notice)});
  QStringList names;
  for (const std::string& name : read.alignments)
    names.append(qs(name));
  const LandXmlRead was{path, names, static_cast<int>(read.chosen)};
  const QString summary = qs(exchange::importSummaryZh(read));
  const std::string ignored = exchange::ignoredSummaryZh(read);
  const auto kept = accept(std::move(*read.route));
  if (!kept)
    return {};
  if (seen)
    *seen = was;
  return said(Say::WindowImported, {path, summary}) +
         (ignored.empty() ? QString() : said(Say::Then) + qs(ignored)) + *kept;
}

QString exportDxf(QWidget* parent, const RouteModel& route, const TableAnswer* stakes) {
  return saveAs(parent, caption(captions::kExportDxfTitle), QStringLiteral("DXF (*.dxf)"),
                QStringLiteral(".dxf"), [&](const std::string& path) {
                  return exchange::saveRouteDxf(path, route, stakes);
                });
}

QString exportStakeCsv(QWidget* parent, const TableAnswer& table,
                       const exchange::SheetHeader& header) {
  return saveAs(parent, caption(captions::kExportStakeCsvTitle), QStringLiteral("CSV (*.csv)"),
                QStringLiteral(".csv"), [&](const std::string& path) {
                  return exchange::saveStakeCsv(path, table, header);
                });
}

QString exportStakeXlsx(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header) {
  return saveAs(parent, caption(captions::kExportStakeXlsxTitle), QStringLiteral("Excel (*.xlsx)"),
                QStringLiteral(".xlsx"), [&](const std::string& path) {
                  return exchange::saveStakeXlsx(path, table, header);
                });
}

namespace {

exchange::SheetHeader routeHeader(const RouteModel& route) {
  return exchange::routeSheetHeader(route, Precision::Field, exchange::nowStamp().date);
}

// A PDF the dialog asks for, written by `save` (which gives the notice).
template <class Save> QString savePdf(QWidget* parent, const QString& caption, Save save) {
  const QString path =
      fileToSave(parent, caption, QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"));
  return path.isEmpty() ? QString() : save(path);
}

} // namespace

QString exportJdSheetXlsx(QWidget* parent, const RouteModel& route) {
  return saveAs(parent, caption(captions::kExportJdXlsxTitle), QStringLiteral("Excel (*.xlsx)"),
                QStringLiteral(".xlsx"), [&](const std::string& path) {
                  return exchange::saveJdSheetXlsx(path, route.route(), routeHeader(route));
                });
}

QString exportJdSheetPdf(QWidget* parent, const RouteModel& route) {
  return savePdf(parent, caption(captions::kExportJdPdfTitle), [&](const QString& path) {
    return saveJdSheetPdf(path, route.route(), routeHeader(route));
  });
}

QString exportCoordinateXlsx(QWidget* parent, const TableAnswer& table,
                             const exchange::SheetHeader& header) {
  return saveAs(
      parent, caption(captions::kExportCoordinateXlsxTitle), QStringLiteral("Excel (*.xlsx)"),
      QStringLiteral(".xlsx"),
      [&](const std::string& path) { return exchange::saveCoordinateXlsx(path, table, header); });
}

QString exportCoordinatePdf(QWidget* parent, const TableAnswer& table,
                            const exchange::SheetHeader& header) {
  return savePdf(parent, caption(captions::kExportCoordinatePdfTitle),
                 [&](const QString& path) { return saveCoordinateSheetPdf(path, table, header); });
}

} // namespace quenlor

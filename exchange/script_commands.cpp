// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/script_commands.h"

#include "exchange/dxf.h"
#include "exchange/landxml.h"
#include "exchange/stake_sheet.h"
#include "route/element_table.h"
#include "route/route_file.h"
#include "session/route_model.h"
#include "session/script.h"

#include <ostream>
#include <vector>

namespace quenlor::exchange {
namespace {

using Reason = std::optional<std::string>;

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    const auto space = text.find(' ');
    if (space != 0)
      out.push_back(text.substr(0, space));
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  }
  return out;
}

TableAnswer lastTable(const ScriptSession& s) {
  if (!s.lastTable)
    return {};
  FieldQueries q;
  q.table = s.lastTable;
  return answerFieldTools(s.form, s.route, q).table;
}

Reason done(const Expected<Done>& saved, const std::string& path, std::ostream& out) {
  if (!saved)
    return saved.error();
  out << "wrote " << path << '\n';
  return std::nullopt;
}

Reason exportTable(ScriptSession& s, std::string_view kind, const std::string& path,
                   std::string_view option, std::ostream& out) {
  if (!s.lastTable)
    return "'export " + std::string(kind) + "' needs a table: ask for one with 'table' first";
  const TableAnswer table = lastTable(s);
  const Precision precision = option == "full" ? Precision::Full : Precision::Field;
  if (kind == "coordinates") {
    if (!option.empty() && option != "full")
      return "'export coordinates' takes full after the file, not '" + std::string(option) + "'";
    const SheetHeader header = s.route ? routeSheetHeader(*s.route, precision, nowStamp().date)
                                       : sheetHeaderOf(s.form, nullptr, precision, nowStamp().date);
    return done(saveCoordinateXlsx(path, table, header), path, out);
  }
  if (kind == "points") {
    if (!option.empty() && option != "xy" && option != "yx")
      return "'export points' takes xy or yx after the file, not '" + std::string(option) + "'";
    const CoordinateOrder order =
        option == "yx" ? CoordinateOrder::EastNorth : CoordinateOrder::NorthEast;
    return done(savePointList(path, table, order, Precision::Field), path, out);
  }
  if (!option.empty() && option != "full")
    return "'export " + std::string(kind) + "' takes full after the file, not '" +
           std::string(option) + "'";
  const SheetHeader header = sheetHeaderOf(s.form, s.route.get(), precision, nowStamp().date);
  return done(kind == "csv" ? saveStakeCsv(path, table, header)
                            : saveStakeXlsx(path, table, header),
              path, out);
}

Reason exportCommand(ScriptSession& s, std::optional<std::string_view> rest, std::ostream& out,
                     std::ostream&) {
  const auto w = words(rest.value_or(""));
  if (w.size() < 2 || w.size() > 3)
    return "'export' needs what and a file: export "
           "landxml|elements|csv|xlsx|coordinates|jdtable|dxf|points FILE";
  const std::string_view kind = w[0], option = w.size() == 3 ? w[2] : "";
  const std::string path(w[1]);
  if (kind == "csv" || kind == "xlsx" || kind == "points" || kind == "coordinates")
    return exportTable(s, kind, path, option, out);
  if (kind == "jdtable") {
    if (!option.empty() && option != "full")
      return "'export jdtable' takes full after the file, not '" + std::string(option) + "'";
    if (!s.route)
      return "'export jdtable' needs a route: load one with 'route FILE'";
    const Precision precision = option == "full" ? Precision::Full : Precision::Field;
    return done(saveJdSheetXlsx(path, s.route->route(),
                                routeSheetHeader(*s.route, precision, nowStamp().date)),
                path, out);
  }
  if (!option.empty())
    return "'export " + std::string(kind) + "' takes nothing after the file";
  if (kind == "landxml") {
    if (!s.route)
      return "'export landxml' needs a route: load one with 'route FILE'";
    return done(saveLandXml(path, *s.route, nowStamp()), path, out);
  }
  if (kind == "elements") {
    if (!s.route)
      return "'export elements' needs a route: load one with 'route FILE'";
    const auto elements = route::chainedElements(s.route->route());
    if (!elements)
      return "cannot write the element table: " + elements.error();
    return done(route::saveRouteFile(path, *elements), path, out);
  }
  if (kind == "dxf") {
    const TableAnswer table = lastTable(s);
    const TableAnswer* stakes = table.size() ? &table : nullptr;
    return done(s.route ? saveRouteDxf(path, *s.route, stakes) : saveCurveDxf(path, s.form, stakes),
                path, out);
  }
  return "'export' writes landxml, elements, csv, xlsx, coordinates, jdtable, dxf or points, "
         "not '" +
         std::string(kind) + "'";
}

// import landxml FILE [NAME]: the alignment named (the rest of the line, so
// that a name may hold spaces), or the first.
Reason importCommand(ScriptSession& s, std::optional<std::string_view> rest, std::ostream& out,
                     std::ostream& err) {
  const auto w = words(rest.value_or(""));
  if (w.size() < 2 || w[0] != "landxml")
    return "'import' reads a LandXML file: import landxml FILE [NAME]";
  const std::string path(w[1]);
  std::string name;
  if (w.size() > 2) {
    const std::string_view line = *rest;
    name = std::string(line.substr(std::size_t(w[2].data() - line.data())));
    name.erase(name.find_last_not_of(' ') + 1);
  }
  LandXmlImport read = openLandXml(path, name);
  if (!read.route)
    return "cannot import " + path + ": " + read.message;
  if (const std::string ignored = ignoredSummary(read); !ignored.empty())
    err << path << ": " << ignored << '\n';
  const std::string summary = importSummary(read);
  s.route = std::make_shared<const RouteModel>(std::move(*read.route));
  out << "imported " << path << ": " << summary << '\n';
  return std::nullopt;
}

} // namespace

void addExchangeCommands(ScriptSession& session) {
  session.extensions["export"] = exportCommand;
  session.extensions["import"] = importCommand;
}

} // namespace quenlor::exchange

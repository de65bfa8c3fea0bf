// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"

#include "files/read_file.h"
#include "files/save_file.h"
#include "route/plane.h"
#include "text/csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>

namespace quenlor::route {
namespace {

constexpr std::string_view kFormatName = "quenlor-route";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kFirstVersion = 1; // without the end row
constexpr std::string_view kEndKind = "end";

// ---- The tables of the file.
//
// The file holds tables one after another: each starts with its header row,
// which names its columns ("kind" first), and holds the rows of its kinds
// after it, up to the next header or the end row. The route table comes
// first; version 1 has no other. A header names its table's columns in their
// order; it may leave off the trailing columns a table gained after its first
// version (a file written before them), but no others.

enum class Use { Empty, Required, Optional };

// A kind of row and the use of each column after the kind: Q required, O
// optional, - empty.
struct Layout {
  std::string_view kind;
  std::string_view uses;

  Use use(int column) const {
    const char letter = column - 1 < int(uses.size()) ? uses[column - 1] : '-';
    return letter == 'Q' ? Use::Required : letter == 'O' ? Use::Optional : Use::Empty;
  }
};

struct Table {
  std::span<const std::string_view> columns;
  std::size_t least; // the columns every header of the table names
  std::span<const Layout> kinds;
};

enum Column { Kind, Name, X, Y, Chainage, R, Ls, Ls2, Ahead, Elevation, Rv, kColumns };
constexpr std::array<std::string_view, kColumns> kRouteColumns = {
    "kind", "name", "X", "Y", "chainage", "R", "Ls", "ls2", "ahead", "elevation", "Rv"};
constexpr std::array<Layout, 5> kRouteKinds = {{
    //         name X Y ch R Ls ls2 ahead elev Rv
    {"BP", "OQQQ------"},
    {"JD", "OQQ-QQO---"},
    {"EP", "OQQ-------"},
    {"break", "O--Q---Q--"},
    {"PVI", "O--Q-OO-QQ"},
}};
constexpr Table kRouteTable{kRouteColumns, kColumns, kRouteKinds};

// The stations kept with the route, each with its backsight; "in use" 1 on
// the one the stake table sets out from.
enum StationColumn {
  StationX = X,
  StationY = Y,
  StationElevation,
  InstrumentHeight,
  Backsight,
  BacksightX,
  BacksightY,
  InUse,
  kStationColumns
};
constexpr std::array<std::string_view, kStationColumns> kStationColumnNames = {
    "kind",   "name",      "X",           "Y",           "elevation",
    "height", "backsight", "backsight X", "backsight Y", "in use"};
constexpr std::array<Layout, 1> kStationKinds = {{
    //              name X Y elev height backsight bX bY in-use
    {"station", "OQQOOOQQO"},
}};
constexpr Table kStationTable{kStationColumnNames, kStationColumns, kStationKinds};
constexpr std::string_view kInUse = "1";

// Every table, the route table first.
constexpr std::array<const Table*, 2> kTables = {&kRouteTable, &kStationTable};

// The end row's count stands in the second cell.
constexpr Column kCountColumn = Name;

// ---- Reading: errors end the read with one message.

struct ReadError {
  std::string message;
};

[[noreturn]] void fail(int line, std::string what) {
  throw ReadError{"line " + std::to_string(line) + ": " + std::move(what)};
}

// Columns are named by the header of their table, so not on the rows above
// the first one (table null).
[[noreturn]] void fail(int line, int column, std::string what, const Table* table) {
  std::string where = "line " + std::to_string(line) + ", column " + std::to_string(column + 1);
  if (table && column < int(table->columns.size()))
    where += " (" + std::string(table->columns[column]) + ")";
  throw ReadError{where + ": " + std::move(what)};
}

std::string hexByte(unsigned char c) {
  constexpr const char* kDigits = "0123456789abcdef";
  return std::string("0x") + kDigits[c >> 4] + kDigits[c & 15];
}

std::string notTextWords(const NotText& bad) {
  return bad.kind == NotText::Kind::Control
             ? "byte " + hexByte(bad.byte) + " is not text (a binary file?)"
             : "byte " + hexByte(bad.byte) + " is not UTF-8 text";
}

[[noreturn]] void fail(const CsvProblem& p, const Table* named) {
  using K = CsvProblem::Kind;
  switch (p.kind) {
  case K::StrayQuote:
    fail(p.line, p.column, "a quote in a cell that does not start with one", named);
  case K::TextAfterQuote: fail(p.line, p.column, "text after the closing quote of a cell", named);
  case K::EndsInQuote:
    fail(p.line, p.column, "the file ends inside a quoted cell (is it cut short?)", named);
  case K::LoneCarriageReturn:
    fail(p.line, p.column, "a carriage return without a line feed", named);
  case K::TooManyRows: fail(p.line, "more than " + std::to_string(kMostRouteFileRows) + " rows");
  case K::NotText:
    if (p.notText.byte == 0)
      throw ReadError{"a NUL character at line " + std::to_string(p.at.line) + ", column " +
                      std::to_string(p.at.column) + " (a binary file?)"};
    fail(p.line, p.column, notTextWords(p.notText), named);
  }
  fail(p.line, "unreadable");
}

// A cell's text as a message quotes it: at most 40 bytes, whole characters.
std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  const std::string_view shown = wholeCharacters(text, kShown);
  return "'" + std::string(shown) + (shown.size() < text.size() ? "...'" : "'");
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Beyond a double's range: too near 0 (1e-400) rather than too far from it.
// The wider long double tells them apart; past its range too, the
// exponent's sign does.
bool underflows(std::string_view text) {
  long double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc())
    return std::fabs(value) < 1;
  const auto exponent = text.find_first_of("eE");
  return exponent != std::string_view::npos && exponent + 1 < text.size() &&
         text[exponent + 1] == '-';
}

double numberCell(const CsvRow& row, int column, const Table& table) {
  const std::string_view text = trimmed(row.cell(column));
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool whole = end == text.data() + text.size();
  if (error == std::errc::result_out_of_range && whole && underflows(text))
    fail(row.line, column, quoted(text) + " is too small (nearer 0 than a number can be)", &table);
  if (error == std::errc::result_out_of_range && whole)
    fail(row.line, column, quoted(text) + " is beyond \u00b11e9", &table);
  if (error != std::errc() || !whole || !std::isfinite(value))
    fail(row.line, column, quoted(row.cell(column)) + " is not a number", &table);
  if (!isUsableValue(value))
    fail(row.line, column, quoted(text) + " is beyond \u00b11e9", &table);
  return value;
}

void checkNoMoreCells(const CsvRow& row, int from, const Table* named) {
  for (int column = from; column < static_cast<int>(row.cells.size()); ++column)
    if (!row.cells[column].empty())
      fail(row.line, column, "more cells than this row has", named);
}

std::string kindList(const Table& table) {
  std::string list;
  for (const Layout& layout : table.kinds)
    list += (list.empty() ? "" : ", ") + std::string(layout.kind);
  return list;
}

const Layout& layoutOf(const CsvRow& row, const Table& table) {
  for (const Layout& layout : table.kinds)
    if (row.cell(Kind) == layout.kind)
      return layout;
  fail(row.line, Kind, quoted(row.cell(Kind)) + " is not a kind of row (" + kindList(table) + ")",
       &table);
}

void checkLayout(const CsvRow& row, const Layout& layout, const Table& table) {
  const int columns = int(table.columns.size());
  for (int column = Name + 1; column < columns; ++column) {
    const bool empty = trimmed(row.cell(column)).empty();
    const std::string kind(layout.kind), name(table.columns[column]);
    if (layout.use(column) == Use::Required && empty)
      fail(row.line, column, "missing: a " + kind + " row needs " + name, &table);
    if (layout.use(column) == Use::Empty && !empty)
      fail(row.line, column, "a " + kind + " row has no " + name + "; leave the cell empty",
           &table);
  }
  checkNoMoreCells(row, columns, &table);
}

std::string headerText(const Table& table) {
  std::string text;
  for (std::string_view name : table.columns)
    text += (text.empty() ? "" : ",") + std::string(name);
  return text;
}

// The table a header row starts: the one whose columns it names, all or all
// but some trailing ones its table gained later; none for another row.
const Table* tableOf(const CsvRow& row) {
  for (const Table* table : kTables) {
    std::size_t named = 0;
    while (named < table->columns.size() && row.cell(int(named)) == table->columns[named])
      ++named;
    if (named >= table->least && named >= row.cells.size())
      return table;
  }
  return nullptr;
}

// About how many JD rows the text holds (lines that start with "JD,"), so
// that they are stored without moving them as they come.
std::size_t jdRowsIn(std::string_view text) {
  std::size_t rows = 0;
  for (std::size_t at = text.find("\nJD,"); at != std::string_view::npos;
       at = text.find("\nJD,", at + 1))
    ++rows;
  return rows;
}

std::string formatRowText() {
  return "'" + std::string(kFormatName) + "," + std::to_string(kRouteFileVersion) + "'";
}

// The records, in the order the layout allows.
class RouteReader {
public:
  explicit RouteReader(std::size_t rows) { route_.jds.reserve(rows); }

  void formatRow(const CsvRow& row) {
    if (row.cell(0) != kFormatName)
      fail(row.line, "not a Quenlor route file: it must start with " + formatRowText());
    const std::string_view version = row.cell(1);
    const bool number =
        !version.empty() && version.find_first_not_of("0123456789") == std::string_view::npos;
    if (version == "1" || version == "2")
      version_ = version[0] - '0';
    else
      fail(row.line, 1,
           number ? "route file version " + std::string(version) +
                        "; this program reads versions 1 and 2"
                  : quoted(version) + " is not a route file version",
           nullptr);
    route_.name = row.cell(2);
    checkNoMoreCells(row, 3, nullptr);
  }

  // The first header: the route table's.
  void headerRow(const CsvRow& row) {
    if (tableOf(row) != &kRouteTable) {
      for (int column = 0; column < kColumns; ++column)
        if (row.cell(column) != kRouteColumns[column])
          fail(row.line, column, "the header row must be '" + headerText(kRouteTable) + "'",
               &kRouteTable);
      checkNoMoreCells(row, kColumns, &kRouteTable);
    }
    startTable(kRouteTable, row.line);
  }

  void row(const CsvRow& row) {
    if (ended_)
      fail(row.line, "a row after the end row");
    if (version_ > kFirstVersion && row.cell(Kind) == kEndKind)
      endRow(row);
    else if (version_ > kFirstVersion && row.cell(Kind) == kRouteColumns[Kind])
      laterHeader(row);
    else
      record(row);
  }

  RouteDefinition finish(int line) {
    if (!haveStart_)
      fail(line, "the file ends without a BP row (is it cut short?)");
    if (!haveEnd_)
      fail(line, "the file ends without an EP row (is it cut short?)");
    if (version_ > kFirstVersion && !ended_)
      fail(line, "the file stops here without its end row: it is incomplete (cut short?)");
    return std::move(route_);
  }

private:
  void startTable(const Table& table, int line) {
    if (std::ranges::find(tablesSeen_, &table) != tablesSeen_.end())
      fail(line, "a second header of the table '" + headerText(table) + "'");
    tablesSeen_.push_back(&table);
    table_ = &table;
  }

  void laterHeader(const CsvRow& row) {
    const Table* table = tableOf(row);
    if (!table)
      fail(row.line, "a header row that names no table of a route file");
    startTable(*table, row.line);
  }

  double number(const CsvRow& row, int column) const { return numberCell(row, column, *table_); }

  void endRow(const CsvRow& row) {
    const std::string_view count = row.cell(kCountColumn);
    std::size_t counted = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), counted);
    if (count.empty() || error != std::errc() || end != count.data() + count.size())
      fail(row.line, kCountColumn, quoted(count) + " is not a count of rows", nullptr);
    checkNoMoreCells(row, kCountColumn + 1, nullptr);
    if (counted != records_)
      fail(row.line, "the end row counts " + std::to_string(counted) +
                         " records but the file has " + std::to_string(records_) +
                         ": it is incomplete (cut or joined?)");
    ended_ = true;
  }

  void record(const CsvRow& row) {
    const Layout& layout = layoutOf(row, *table_);
    checkLayout(row, layout, *table_);
    ++records_;
    if (table_ == &kStationTable)
      return station(row);
    const std::string_view kind = layout.kind;
    if (!haveStart_ && kind != "BP")
      fail(row.line, "the first row after the header must be the BP row");
    if ((kind == "BP" && haveStart_) || (kind == "EP" && haveEnd_))
      fail(row.line, "a second " + std::string(kind) + " row");
    if (kind == "JD" && haveEnd_)
      fail(row.line, "a JD row after the EP row");
    const std::string name(row.cell(Name));
    if (kind == "BP") {
      route_.start = {name, number(row, X), number(row, Y), number(row, Chainage)};
      haveStart_ = true;
    } else if (kind == "JD") {
      Jd jd{name, number(row, X), number(row, Y), number(row, R), number(row, Ls), std::nullopt};
      if (!trimmed(row.cell(Ls2)).empty())
        jd.ls2 = number(row, Ls2);
      route_.jds.push_back(std::move(jd));
    } else if (kind == "EP") {
      route_.end = {name, number(row, X), number(row, Y)};
      haveEnd_ = true;
    } else if (kind == "break") {
      route_.breaks.push_back({name, number(row, Chainage), number(row, Ahead)});
    } else {
      GradePointRow g{name, number(row, Chainage), number(row, Elevation), number(row, Rv)};
      if (!trimmed(row.cell(Ls)).empty() || !trimmed(row.cell(Ls2)).empty()) {
        g.tangentIn = number(row, Ls);
        g.tangentOut = number(row, Ls2);
      }
      route_.gradePoints.push_back(std::move(g));
    }
  }

  std::optional<double> optionalNumber(const CsvRow& row, int column) const {
    if (trimmed(row.cell(column)).empty())
      return std::nullopt;
    return number(row, column);
  }

  void station(const CsvRow& row) {
    StationRow s{std::string(row.cell(Name)),
                 number(row, StationX),
                 number(row, StationY),
                 optionalNumber(row, StationElevation),
                 optionalNumber(row, InstrumentHeight),
                 std::string(row.cell(Backsight)),
                 number(row, BacksightX),
                 number(row, BacksightY),
                 false};
    const std::string_view use = trimmed(row.cell(InUse));
    if (!use.empty() && use != kInUse)
      fail(row.line, InUse, quoted(use) + " is not 1 (in use) or empty", &kStationTable);
    s.inUse = !use.empty();
    if (s.inUse && std::ranges::any_of(route_.stations, &StationRow::inUse))
      fail(row.line, InUse, "a second station in use", &kStationTable);
    route_.stations.push_back(std::move(s));
  }

  RouteDefinition route_;
  const Table* table_ = nullptr; // the table of the rows being read
  std::vector<const Table*> tablesSeen_;
  int version_ = kRouteFileVersion;
  std::size_t records_ = 0;
  bool haveStart_ = false, haveEnd_ = false, ended_ = false;
};

// ---- Writing.

void appendNumber(std::string& out, double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

using Cells = std::array<std::optional<double>, kColumns>;

void appendRecord(std::string& out, std::string_view kind, std::string_view name,
                  const Cells& numbers) {
  out += kind;
  out += ',';
  out += csvCell(name);
  for (int column = X; column < kColumns; ++column) {
    out += ',';
    if (numbers[column])
      appendNumber(out, *numbers[column]);
  }
  out += "\r\n";
}

Cells cells(std::initializer_list<std::pair<Column, double>> values) {
  Cells all{};
  for (const auto& [column, value] : values)
    all[column] = value;
  return all;
}

} // namespace

Expected<RouteDefinition> readRouteText(std::string_view bytes) {
  if (bytes.size() > kMostRouteFileBytes)
    return Failure{"the file is larger than " + std::to_string(kMostRouteFileBytes >> 20) +
                   " MiB; it is not a route file"};
  if (bytes.starts_with(kByteOrderMark))
    bytes.remove_prefix(kByteOrderMark.size());
  try {
    CsvReader rows(bytes, kMostRouteFileRows);
    RouteReader reader(jdRowsIn(bytes));
    CsvRow row;
    int stage = 0; // format row, header row, records
    while (rows.next(row)) {
      if (row.blank())
        continue;
      if (stage == 0)
        reader.formatRow(row);
      else if (stage == 1)
        reader.headerRow(row);
      else
        reader.row(row);
      stage = std::min(stage + 1, 2);
    }
    if (rows.problem())
      fail(*rows.problem(), stage > 0 ? &kRouteTable : nullptr);
    if (stage == 0)
      fail(rows.line(), "the file is empty; a route file starts with " + formatRowText());
    if (stage == 1)
      fail(rows.line(), "the file ends before the header row (is it cut short?)");
    return reader.finish(rows.line());
  } catch (const ReadError& error) {
    return Failure{error.message};
  }
}

std::string routeText(const RouteDefinition& route) {
  std::string out(kByteOrderMark);
  out += kFormatName;
  out += ',' + std::to_string(kRouteFileVersion);
  if (!route.name.empty())
    out += ',' + csvCell(route.name);
  out += "\r\n";
  out += headerText(kRouteTable) + "\r\n";

  const StartPoint& bp = route.start;
  appendRecord(out, "BP", bp.name, cells({{X, bp.x}, {Y, bp.y}, {Chainage, bp.chainage}}));
  for (const Jd& jd : route.jds) {
    Cells numbers = cells({{X, jd.x}, {Y, jd.y}, {R, jd.radius}, {Ls, jd.ls1}});
    numbers[Ls2] = jd.ls2;
    appendRecord(out, "JD", jd.name, numbers);
  }
  appendRecord(out, "EP", route.end.name, cells({{X, route.end.x}, {Y, route.end.y}}));
  for (const ChainBreak& b : route.breaks)
    appendRecord(out, "break", b.name, cells({{Chainage, b.behind}, {Ahead, b.ahead}}));
  for (const GradePointRow& g : route.gradePoints) {
    Cells numbers =
        cells({{Chainage, g.chainage}, {Elevation, g.elevation}, {Rv, g.verticalRadius}});
    if (g.tangentIn != 0 || g.tangentOut != 0) {
      numbers[Ls] = g.tangentIn;
      numbers[Ls2] = g.tangentOut;
    }
    appendRecord(out, "PVI", g.name, numbers);
  }
  if (!route.stations.empty())
    out += headerText(kStationTable) + "\r\n";
  for (const StationRow& st : route.stations) {
    out += "station," + csvCell(st.name);
    for (const std::optional<double> v :
         {std::optional(st.x), std::optional(st.y), st.elevation, st.instrumentHeight}) {
      out += ',';
      if (v)
        appendNumber(out, *v);
    }
    out += ',' + csvCell(st.backsightName) + ',';
    appendNumber(out, st.backsightX);
    out += ',';
    appendNumber(out, st.backsightY);
    out += ',' + std::string(st.inUse ? kInUse : "") + "\r\n";
  }
  const std::size_t records =
      2 + route.jds.size() + route.breaks.size() + route.gradePoints.size() + route.stations.size();
  out += std::string(kEndKind) + ',' + std::to_string(records) + "\r\n";
  return out;
}

Expected<Done> checkWritable(const RouteDefinition& route) {
  const auto bad = [](const std::string& record, std::string why) {
    return Failure{record + ": " + std::move(why) + "; the route cannot be written"};
  };
  const auto check = [&](const std::string& record, const std::string& name,
                         std::initializer_list<double> numbers) -> std::optional<Failure> {
    if (const auto why = firstNotText(name))
      return bad(record, "its name: " + notTextWords(*why));
    for (double v : numbers)
      if (!isUsableValue(v))
        return bad(record, "a number is not finite or beyond \u00b11e9");
    return std::nullopt;
  };
  std::optional<Failure> failure = check("the route", route.name, {});
  const StartPoint& bp = route.start;
  if (!failure)
    failure = check("BP", bp.name, {bp.x, bp.y, bp.chainage});
  for (std::size_t i = 0; !failure && i < route.jds.size(); ++i) {
    const Jd& jd = route.jds[i];
    failure = check("JD #" + std::to_string(i + 1), jd.name,
                    {jd.x, jd.y, jd.radius, jd.ls1, jd.secondTransition()});
  }
  if (!failure)
    failure = check("EP", route.end.name, {route.end.x, route.end.y});
  for (std::size_t i = 0; !failure && i < route.breaks.size(); ++i) {
    const ChainBreak& b = route.breaks[i];
    failure = check("chain break #" + std::to_string(i + 1), b.name, {b.behind, b.ahead});
  }
  for (std::size_t i = 0; !failure && i < route.gradePoints.size(); ++i) {
    const GradePointRow& g = route.gradePoints[i];
    failure = check("grade point #" + std::to_string(i + 1), g.name,
                    {g.chainage, g.elevation, g.verticalRadius, g.tangentIn, g.tangentOut});
  }
  for (std::size_t i = 0; !failure && i < route.stations.size(); ++i) {
    const StationRow& st = route.stations[i];
    const std::string record = "station #" + std::to_string(i + 1);
    failure = check(record, st.name,
                    {st.x, st.y, st.elevation.value_or(0), st.instrumentHeight.value_or(0),
                     st.backsightX, st.backsightY});
    if (!failure)
      failure = check(record, st.backsightName, {});
  }
  if (failure)
    return *failure;
  return Done{};
}

Expected<RouteDefinition> openRouteFile(const std::string& path) {
  const auto read = readFile(path, kMostRouteFileBytes);
  if (!read)
    return read.failure();
  return readRouteText(read->bytes);
}

Expected<Done> saveRouteFile(const std::string& path, const RouteDefinition& route) {
  if (const Expected<Done> writable = checkWritable(route); !writable)
    return writable;
  return saveBytes(path, routeText(route));
}

} // namespace quenlor::route

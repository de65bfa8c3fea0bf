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
#include <utility>
#include <variant>

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

// The template (路幅): a row a part, each side's parts from the centre line
// outwards.
enum PartColumn { PartName = 1, PartSide, PartWidth, PartFall, kPartColumns };
constexpr std::array<std::string_view, kPartColumns> kPartColumnNames = {"kind", "name", "side",
                                                                         "width", "fall"};
constexpr std::array<Layout, 3> kPartKinds = {{
    //                     name side width fall
    {"lane", "OQQQ"},
    {"hard-shoulder", "OQQQ"},
    {"soil-shoulder", "OQQQ"},
}};
constexpr Table kPartTable{kPartColumnNames, kPartColumns, kPartKinds};

// Each curve's superelevation and widening, named by its JD.
enum CurveColumn {
  CurveName = 1,
  CurveSuperelevation,
  CurveRunoff,
  CurveAxis,
  CurveWidening,
  CurveShape,
  kCurveColumns
};
constexpr std::array<std::string_view, kCurveColumns> kCurveColumnNames = {
    "kind", "name", "superelevation", "runoff", "axis", "widening", "shape"};
constexpr std::array<Layout, 1> kCurveKinds = {{
    //             name i_h runoff axis b shape
    {"curve", "OQOOQO"},
}};
constexpr Table kCurveTable{kCurveColumnNames, kCurveColumns, kCurveKinds};

// The station table (超高加宽表), and the axis its falls turn the road about.
enum StationColumn {
  StationChainage = 1,
  StationLeftFall,
  StationRightFall,
  StationLeftWidening,
  StationRightWidening,
  StationAxis,
  kStationColumns
};
constexpr std::array<std::string_view, kStationColumns> kStationColumnNames = {
    "kind", "chainage", "left_fall", "right_fall", "left_widening", "right_widening", "axis"};
constexpr std::array<Layout, 2> kStationKinds = {{
    //               ch lf rf lw rw axis
    {"station", "QOOOO-"},
    {"axis", "-----Q"},
}};
constexpr Table kStationTable{kStationColumnNames, kStationColumns, kStationKinds};

// Every table, the route table first.
constexpr std::array<const Table*, 4> kTables = {&kRouteTable, &kPartTable, &kCurveTable,
                                                 &kStationTable};

// The words of the text cells, each with its value.
template <class T> struct Word {
  std::string_view text;
  T value;
};
constexpr std::array<Word<section::Side>, 2> kSideWords = {{
    {"left", section::Side::Left},
    {"right", section::Side::Right},
}};
constexpr std::array<Word<section::PartKind>, 3> kPartKindWords = {{
    {"lane", section::PartKind::Lane},
    {"hard-shoulder", section::PartKind::HardShoulder},
    {"soil-shoulder", section::PartKind::SoilShoulder},
}};
constexpr std::array<Word<section::Axis>, 3> kAxisWords = {{
    {"centre", section::Axis::Centre},
    {"inner-edge", section::Axis::InnerEdge},
    {"outer-edge", section::Axis::OuterEdge},
}};
constexpr std::array<Word<section::WideningShape>, 2> kShapeWords = {{
    {"linear", section::WideningShape::Linear},
    {"high-order", section::WideningShape::HighOrder},
}};

template <class T, std::size_t N>
std::string_view wordOf(const std::array<Word<T>, N>& words, T value) {
  for (const Word<T>& w : words)
    if (w.value == value)
      return w.text;
  return words.front().text;
}

// The end row's count stands in the second cell.
constexpr Column kCountColumn = Name;

// The curves a curve row may name: the JDs, or the arcs of a route by
// elements, in route order.
template <class Definition> struct NamedCurve {
  const std::string* name;
  decltype(&std::declval<Definition&>().jds.front().section) settings;
};
template <class Definition> std::vector<NamedCurve<Definition>> curvesOf(Definition& route) {
  std::vector<NamedCurve<Definition>> curves;
  if (route.method == Method::Elements) {
    for (auto& row : route.elements)
      if (row.kind == ElementKind::Arc)
        curves.push_back({&row.name, &row.section});
  } else {
    for (auto& jd : route.jds)
      curves.push_back({&jd.name, &jd.section});
  }
  return curves;
}

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
  for (int column = Kind + 1; column < columns; ++column) {
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
    matchCurves();
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
    if (table_ == &kPartTable)
      partRecord(row, layout);
    else if (table_ == &kCurveTable)
      curveRecord(row);
    else if (table_ == &kStationTable)
      stationRecord(row, layout);
    else
      routeRecord(row, layout);
  }

  // A text cell: one of its words.
  template <class T, std::size_t N>
  T word(const CsvRow& row, int column, const std::array<Word<T>, N>& words,
         std::string_view what) const {
    const std::string_view text = trimmed(row.cell(column));
    for (const Word<T>& w : words)
      if (text == w.text)
        return w.value;
    std::string list;
    for (const Word<T>& w : words)
      list += (list.empty() ? "" : ", ") + std::string(w.text);
    fail(row.line, column, quoted(text) + " is not " + std::string(what) + " (" + list + ")",
         table_);
  }

  // An optional cell: its number, or none where it is empty.
  std::optional<double> optionalNumber(const CsvRow& row, int column) const {
    if (trimmed(row.cell(column)).empty())
      return std::nullopt;
    return number(row, column);
  }

  void partRecord(const CsvRow& row, const Layout& layout) {
    section::Part part;
    part.name = row.cell(PartName);
    for (const auto& w : kPartKindWords)
      if (w.text == layout.kind)
        part.kind = w.value;
    part.width = number(row, PartWidth);
    part.fall = number(row, PartFall);
    section::Template& road = route_.section.road;
    (word(row, PartSide, kSideWords, "a side") == section::Side::Left ? road.left : road.right)
        .push_back(std::move(part));
  }

  // Named now, matched with its JD once every JD is read.
  void curveRecord(const CsvRow& row) {
    section::CurveSettings s;
    s.superelevation = number(row, CurveSuperelevation);
    s.runoff = optionalNumber(row, CurveRunoff);
    if (!trimmed(row.cell(CurveAxis)).empty())
      s.axis = word(row, CurveAxis, kAxisWords, "an axis of rotation");
    s.widening = number(row, CurveWidening);
    if (!trimmed(row.cell(CurveShape)).empty())
      s.shape = word(row, CurveShape, kShapeWords, "a shape of widening");
    curves_.push_back({row.line, std::string(row.cell(CurveName)), s});
  }

  void stationRecord(const CsvRow& row, const Layout& layout) {
    if (layout.kind == "axis") {
      if (haveTableAxis_)
        fail(row.line, "a second axis row");
      route_.section.tableAxis = word(row, StationAxis, kAxisWords, "an axis of rotation");
      haveTableAxis_ = true;
      return;
    }
    route_.section.stations.push_back({number(row, StationChainage),
                                       optionalNumber(row, StationLeftFall),
                                       optionalNumber(row, StationRightFall),
                                       optionalNumber(row, StationLeftWidening).value_or(0),
                                       optionalNumber(row, StationRightWidening).value_or(0)});
  }

  // Each curve row's JD (arc): the first of its name after the one of the
  // row before, so that rows in route order find curves that share a name.
  void matchCurves() {
    const std::vector<NamedCurve<RouteDefinition>> curves = curvesOf(route_);
    const char* what = route_.method == Method::Elements ? "arc" : "JD";
    std::size_t next = 0;
    for (const PendingCurve& c : curves_) {
      const auto found = std::find_if(curves.begin() + std::ptrdiff_t(next), curves.end(),
                                      [&](const auto& curve) { return *curve.name == c.name; });
      if (found == curves.end())
        fail(c.line, CurveName,
             quoted(c.name) + (next == 0 ? " names no " + std::string(what) + " of the route"
                                         : " names no " + std::string(what) + " after " +
                                               quoted(*curves[next - 1].name) +
                                               " (the curve rows stand in " + "route order)"),
             &kCurveTable);
      *found->settings = c.settings;
      next = std::size_t(found - curves.begin()) + 1;
    }
  }

  void routeRecord(const CsvRow& row, const Layout& layout) {
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

  struct PendingCurve {
    int line;
    std::string name;
    section::CurveSettings settings;
  };

  RouteDefinition route_;
  std::vector<PendingCurve> curves_;
  bool haveTableAxis_ = false;
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

// A row of a later table: its kind, then each cell, text or number (none:
// empty).
using Cell = std::variant<std::monostate, std::string_view, double>;
void appendRow(std::string& out, std::initializer_list<Cell> row) {
  bool first = true;
  for (const Cell& cell : row) {
    if (!first)
      out += ',';
    first = false;
    if (const auto* text = std::get_if<std::string_view>(&cell))
      out += csvCell(*text);
    else if (const auto* value = std::get_if<double>(&cell))
      appendNumber(out, *value);
  }
  out += "\r\n";
}

Cell optionalCell(const std::optional<double>& value) { return value ? Cell(*value) : Cell(); }

// The cross section's tables, each with its header where it has rows; the
// records written are counted.
std::size_t appendSectionTables(std::string& out, const RouteDefinition& route) {
  std::size_t records = 0;
  const CrossSection& section = route.section;
  if (!section.road.empty()) {
    out += headerText(kPartTable) + "\r\n";
    for (const auto side : {section::Side::Left, section::Side::Right})
      for (const section::Part& p :
           side == section::Side::Left ? section.road.left : section.road.right) {
        appendRow(out, {wordOf(kPartKindWords, p.kind), std::string_view(p.name),
                        wordOf(kSideWords, side), p.width, p.fall});
        ++records;
      }
  }
  bool curveHeader = false;
  const auto curveRow = [&](const NamedCurve<const RouteDefinition>& curve) {
    if (!curveHeader)
      out += headerText(kCurveTable) + "\r\n";
    curveHeader = true;
    const section::CurveSettings& c = *curve.settings;
    appendRow(out,
              {"curve", std::string_view(*curve.name), c.superelevation, optionalCell(c.runoff),
               wordOf(kAxisWords, c.axis), c.widening, wordOf(kShapeWords, c.shape)});
    ++records;
  };
  // A curve of the same name before one with settings, after the last
  // row's, gets a row too: the reader takes the first of a name.
  const std::vector<NamedCurve<const RouteDefinition>> curves = curvesOf(route);
  std::size_t next = 0; // the curve after the last row's
  for (std::size_t i = 0; i < curves.size(); ++i) {
    if (*curves[i].settings == section::CurveSettings{})
      continue;
    for (; next < i; ++next)
      if (*curves[next].name == *curves[i].name)
        curveRow(curves[next]);
    curveRow(curves[i]);
    next = i + 1;
  }
  const bool axisRow = section.tableAxis != section::Axis::Centre;
  if (axisRow || !section.stations.empty()) {
    out += headerText(kStationTable) + "\r\n";
    if (axisRow) {
      appendRow(out, {"axis", {}, {}, {}, {}, {}, wordOf(kAxisWords, section.tableAxis)});
      ++records;
    }
    for (const SectionStation& r : section.stations) {
      appendRow(out, {"station",
                      r.chainage,
                      optionalCell(r.leftFall),
                      optionalCell(r.rightFall),
                      r.leftWidening,
                      r.rightWidening,
                      {}});
      ++records;
    }
  }
  return records;
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
  std::size_t records = 2 + route.jds.size() + route.breaks.size() + route.gradePoints.size();
  records += appendSectionTables(out, route);
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
  const section::Template& road = route.section.road;
  for (const auto side : {section::Side::Left, section::Side::Right}) {
    const auto& parts = side == section::Side::Left ? road.left : road.right;
    for (std::size_t i = 0; !failure && i < parts.size(); ++i)
      failure = check(std::string(wordOf(kSideWords, side)) + " part #" + std::to_string(i + 1),
                      parts[i].name, {parts[i].width, parts[i].fall});
  }
  const auto curves = curvesOf(route);
  for (std::size_t i = 0; !failure && i < curves.size(); ++i) {
    const section::CurveSettings& c = *curves[i].settings;
    failure = check("the superelevation of curve #" + std::to_string(i + 1), {},
                    {c.superelevation, c.runoff.value_or(0), c.widening});
  }
  for (std::size_t i = 0; !failure && i < route.section.stations.size(); ++i) {
    const SectionStation& r = route.section.stations[i];
    failure = check("station row #" + std::to_string(i + 1), {},
                    {r.chainage, r.leftFall.value_or(0), r.rightFall.value_or(0), r.leftWidening,
                     r.rightWidening});
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

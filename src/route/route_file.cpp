// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"

#include "files/read_file.h"
#include "files/save_file.h"
#include "geometry/angle_text.h"
#include "route/plane.h"
#include "route/route.h"
#include "text/csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
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

// A kind of row and the use of each column but the kind's own, in order:
// Q required, O optional, - empty.
struct Layout {
  std::string_view kind;
  std::string_view uses;

  Use use(int column, int kindColumn) const {
    const int at = column < kindColumn ? column : column - 1;
    const char letter = at < int(uses.size()) ? uses[std::size_t(at)] : '-';
    return letter == 'Q' ? Use::Required : letter == 'O' ? Use::Optional : Use::Empty;
  }
};

struct Table {
  std::span<const std::string_view> columns;
  std::size_t least; // the columns every header of the table names
  std::span<const Layout> kinds;
  int kindColumn = 0; // the column that names each row's kind
};

enum Column {
  Kind,
  Name,
  X,
  Y,
  Chainage,
  R,
  Ls,
  Ls2,
  Ahead,
  Elevation,
  Rv,
  Deflection,
  Distance,
  kColumns
};
// The columns of the route table's first version; deflection and distance
// came after.
constexpr std::size_t kFirstRouteColumns = Deflection;
constexpr std::array<std::string_view, kColumns> kRouteColumns = {
    "kind", "name",  "X",         "Y",  "chainage",   "R",       "Ls",
    "ls2",  "ahead", "elevation", "Rv", "deflection", "distance"};
// A JD's and EP's X and Y are needed unless the distance places them.
constexpr std::array<Layout, 5> kRouteKinds = {{
    //         name X Y ch R Ls ls2 ahead elev Rv defl dist
    {"BP", "OQQQ--------"},
    {"JD", "OOOOQQO---OO"},
    {"EP", "OOOO-------O"},
    {"break", "O--Q---Q----"},
    {"PVI", "O--Q-OO-QQ--"},
}};
constexpr Table kRouteTable{kRouteColumns, kFirstRouteColumns, kRouteKinds};

// The element table (线元表) of a route by elements: a field table a
// surveyor reads, whose kind of row is its 类型. Every cell but the length
// may be empty; the computed ones (起点桩号, and 起点方位角 after the first
// row) are written for the reader and not read.
enum ElementColumn {
  Number,
  Type,
  StartChainage,
  StartX,
  StartY,
  StartAzimuth,
  StartRadius,
  EndRadius,
  Length,
  Side,
  ElementName,
  kElementColumns
};
constexpr std::array<std::string_view, kElementColumns> kElementColumnNames = {
    "序号",     "类型",     "起点桩号", "起点X", "起点Y", "起点方位角",
    "起点半径", "终点半径", "长度",     "转向",  "名称"};
// In the order of ElementKind.
constexpr std::array<Layout, 3> kElementKinds = {{
    //                 no ch X Y az R0 R1 L side name
    {"直线", "OOOOOOOQOO"},
    {"圆曲线", "OOOOOOOQOO"},
    {"缓和曲线", "OOOOOOOQOO"},
}};
constexpr Table kElementTable{kElementColumnNames, kElementColumns, kElementKinds, Type};
constexpr std::string_view kLeft = "左", kRight = "右";

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
enum WideningColumn {
  WideningChainage = 1,
  WideningLeftFall,
  WideningRightFall,
  WideningLeft,
  WideningRight,
  WideningAxis,
  kWideningColumns
};
constexpr std::array<std::string_view, kWideningColumns> kWideningColumnNames = {
    "kind", "chainage", "left_fall", "right_fall", "left_widening", "right_widening", "axis"};
constexpr std::array<Layout, 2> kWideningKinds = {{
    //               ch lf rf lw rw axis
    {"station", "QOOOO-"},
    {"axis", "-----Q"},
}};
constexpr Table kWideningTable{kWideningColumnNames, kWideningColumns, kWideningKinds};

// Every table, the route table first.
constexpr std::array<const Table*, 6> kTables = {&kRouteTable, &kElementTable, &kStationTable,
                                                 &kPartTable,  &kCurveTable,   &kWideningTable};

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
  const int kind = table.kindColumn;
  for (const Layout& layout : table.kinds)
    if (row.cell(std::size_t(kind)) == layout.kind)
      return layout;
  fail(row.line, kind,
       quoted(row.cell(std::size_t(kind))) + " is not a kind of row (" + kindList(table) + ")",
       &table);
}

// A row of a table whose header named its first `columns` columns.
void checkLayout(const CsvRow& row, const Layout& layout, const Table& table, int columns) {
  for (int column = 0; column < columns; ++column) {
    if (column == table.kindColumn)
      continue;
    const bool empty = trimmed(row.cell(std::size_t(column))).empty();
    const Use use = layout.use(column, table.kindColumn);
    const std::string kind(layout.kind), name(table.columns[std::size_t(column)]);
    if (use == Use::Required && empty)
      fail(row.line, column, "missing: a " + kind + " row needs " + name, &table);
    if (use == Use::Empty && !empty)
      fail(row.line, column, "a " + kind + " row has no " + name + "; leave the cell empty",
           &table);
  }
  checkNoMoreCells(row, columns, nullptr); // beyond what the header names
}

// The header naming a table's first `columns` columns (all by default).
std::string headerText(const Table& table,
                       std::size_t columns = std::numeric_limits<std::size_t>::max()) {
  std::string text;
  for (std::string_view name : table.columns.first(std::min(columns, table.columns.size())))
    text += (text.empty() ? "" : ",") + std::string(name);
  return text;
}

// Whether a row stands where a header should: its first cell names the
// first column of a table.
bool startsHeader(const CsvRow& row) {
  return std::ranges::any_of(kTables,
                             [&](const Table* table) { return row.cell(0) == table->columns[0]; });
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
          fail(row.line, column,
               "the header row must be '" + headerText(kRouteTable, kRouteTable.least) + "'",
               &kRouteTable);
      checkNoMoreCells(row, kColumns, &kRouteTable);
    }
    startTable(kRouteTable, row);
  }

  void row(const CsvRow& row) {
    if (ended_)
      fail(row.line, "a row after the end row");
    if (version_ > kFirstVersion && row.cell(Kind) == kEndKind)
      endRow(row);
    else if (version_ > kFirstVersion && startsHeader(row))
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
    if (route_.method == Method::Elements)
      route_.end.x = route_.end.y = 0; // written where the elements end, not read
    matchCurves();
    return std::move(route_);
  }

private:
  void startTable(const Table& table, const CsvRow& header) {
    if (std::ranges::find(tablesSeen_, &table) != tablesSeen_.end())
      fail(header.line, "a second header of the table '" + headerText(table, table.least) + "'");
    tablesSeen_.push_back(&table);
    table_ = &table;
    tableColumns_ = int(std::min(header.cells.size(), table.columns.size()));
  }

  void laterHeader(const CsvRow& row) {
    const Table* table = tableOf(row);
    if (!table)
      fail(row.line, "a header row that names no table of a route file");
    startTable(*table, row);
    if (table == &kElementTable) {
      if (!route_.jds.empty())
        fail(row.line, "an element table after JD rows: a route file holds JD rows or element "
                       "rows, not both");
      route_.method = Method::Elements;
    }
  }

  double number(const CsvRow& row, int column) const { return numberCell(row, column, *table_); }
  std::optional<double> optional(const CsvRow& row, int column) const {
    if (trimmed(row.cell(column)).empty())
      return std::nullopt;
    return number(row, column);
  }

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
    // A JD's or EP's X and Y, unless its distance places it.
    const bool point = layout.kind == "JD" || layout.kind == "EP";
    if (point && trimmed(row.cell(Distance)).empty())
      for (const Column column : {X, Y})
        if (trimmed(row.cell(column)).empty())
          fail(row.line, column,
               "missing: a " + std::string(layout.kind) + " row needs " +
                   std::string(kRouteColumns[column]),
               table_);
    checkLayout(row, layout, *table_, tableColumns_);
    ++records_;
    if (table_ == &kStationTable)
      return station(row);
    if (table_ == &kElementTable)
      return elementRecord(row, ElementKind(&layout - kElementKinds.data()));
    if (table_ == &kPartTable)
      partRecord(row, layout);
    else if (table_ == &kCurveTable)
      curveRecord(row);
    else if (table_ == &kWideningTable)
      wideningRecord(row, layout);
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

  void wideningRecord(const CsvRow& row, const Layout& layout) {
    if (layout.kind == "axis") {
      if (haveTableAxis_)
        fail(row.line, "a second axis row");
      route_.section.tableAxis = word(row, WideningAxis, kAxisWords, "an axis of rotation");
      haveTableAxis_ = true;
      return;
    }
    route_.section.stations.push_back(
        {number(row, WideningChainage), optionalNumber(row, WideningLeftFall),
         optionalNumber(row, WideningRightFall), optionalNumber(row, WideningLeft).value_or(0),
         optionalNumber(row, WideningRight).value_or(0)});
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
      Jd jd{name,
            optional(row, X).value_or(0),
            optional(row, Y).value_or(0),
            number(row, R),
            number(row, Ls),
            optional(row, Ls2)};
      jd.chainage = optional(row, Chainage);
      jd.deflection = optional(row, Deflection);
      jd.distance = optional(row, Distance);
      route_.jds.push_back(std::move(jd));
    } else if (kind == "EP") {
      route_.end = {name, optional(row, X).value_or(0), optional(row, Y).value_or(0),
                    optional(row, Chainage), optional(row, Distance)};
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

  // A row of the element table; the first row's azimuth is BP's.
  void elementRecord(const CsvRow& row, ElementKind kind) {
    const auto given = [&](int column) { return !trimmed(row.cell(std::size_t(column))).empty(); };
    if (given(StartChainage) && !parseStation(row.cell(StartChainage)))
      fail(row.line, StartChainage, quoted(row.cell(StartChainage)) + " is not a chainage", table_);
    const bool first = route_.elements.empty();
    if (first && !given(StartAzimuth))
      fail(row.line, StartAzimuth,
           "missing: the first element row needs 起点方位角, the azimuth the route starts along",
           table_);
    if (given(StartAzimuth)) {
      const auto azimuth = azimuthOfPacked(row.cell(StartAzimuth));
      if (!azimuth)
        fail(row.line, StartAzimuth,
             quoted(row.cell(StartAzimuth)) +
                 " is not an azimuth in ddd.mmss from 0 to 359.5959 (minutes and seconds below 60)",
             table_);
      if (first)
        route_.start.azimuth = *azimuth;
    }
    ElementRow e;
    e.name = row.cell(ElementName);
    e.kind = kind;
    e.startRadius = given(StartRadius) ? number(row, StartRadius) : kNoRadius;
    e.endRadius = given(EndRadius) ? number(row, EndRadius) : kNoRadius;
    e.length = number(row, Length);
    const std::string_view side = trimmed(row.cell(Side));
    if (side == kLeft)
      e.turn = Turn::Left;
    else if (side == kRight)
      e.turn = Turn::Right;
    else if (!side.empty())
      fail(row.line, Side, quoted(side) + " is not a turning side: 左 or 右", table_);
    if (given(StartX))
      e.x = number(row, StartX);
    if (given(StartY))
      e.y = number(row, StartY);
    route_.elements.push_back(std::move(e));
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
  int tableColumns_ = 0;         // the columns its header named
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
                  const Cells& numbers, int columns) {
  out += kind;
  out += ',';
  out += csvCell(name);
  for (int column = X; column < columns; ++column) {
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

std::string numberText(double value) {
  std::string text;
  appendNumber(text, value);
  return text;
}

std::string radiusText(double radius) { return radius == kNoRadius ? "" : numberText(radius); }

std::string optionalText(const std::optional<double>& value) {
  return value ? numberText(*value) : "";
}

std::string_view sideText(Turn turn) {
  return turn == Turn::Left ? kLeft : turn == Turn::Right ? kRight : std::string_view();
}

// EP of a route by elements: where its last element ends, or BP where that
// is no usable number.
PlanePoint elementEnd(const Route& route) {
  const PlanePoint end = route.endPoint();
  const StartPoint& bp = route.definition().start;
  return isUsableValue(end.x) && isUsableValue(end.y) ? end : PlanePoint{bp.x, bp.y};
}

// The element table: each row with its computed start chainage and azimuth
// (the first row's azimuth BP's as given).
void appendElementTable(std::string& out, const Route& route) {
  out += headerText(kElementTable) + "\r\n";
  const RouteDefinition& d = route.definition();
  for (std::size_t k = 0; k < d.elements.size(); ++k) {
    const ElementRow& e = d.elements[k];
    const Element made = route.element(k);
    const std::string station =
        route.hasGeometry() ? stationText(route.stationAt(made.start)) : std::string();
    const std::string azimuth = packedAzimuthText(k == 0 ? d.start.azimuth : made.azimuth);
    const std::array<std::string, kElementColumns> row = {
        std::to_string(k + 1),
        std::string(kElementKinds[std::size_t(e.kind)].kind),
        station,
        optionalText(e.x),
        optionalText(e.y),
        azimuth,
        radiusText(e.startRadius),
        radiusText(e.endRadius),
        numberText(e.length),
        std::string(sideText(e.turn)),
        csvCell(e.name)};
    for (std::size_t column = 0; column < row.size(); ++column)
      out += (column == 0 ? "" : ",") + row[column];
    out += "\r\n";
  }
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
    out += headerText(kWideningTable) + "\r\n";
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
  const bool byElements = route.method == Method::Elements;
  std::optional<Route> made; // a route by elements: its computed cells
  if (byElements)
    made.emplace(route);
  std::string out(kByteOrderMark);
  out += kFormatName;
  out += ',' + std::to_string(kRouteFileVersion);
  if (!route.name.empty())
    out += ',' + csvCell(route.name);
  out += "\r\n";
  // The later columns only where a record has them: a route without them
  // writes the bytes it always wrote.
  const auto placed = [](const auto& point) { return point.distance.has_value(); };
  const bool later =
      std::ranges::any_of(route.jds, placed) || placed(route.end) ||
      std::ranges::any_of(route.jds, [](const Jd& jd) { return bool(jd.deflection); });
  const int columns = later ? kColumns : int(kFirstRouteColumns);
  out += headerText(kRouteTable, std::size_t(columns)) + "\r\n";

  // A point placed by its distance has no X and Y of its own.
  const auto coordinates = [](Cells& numbers, const auto& point) {
    if (!point.distance) {
      numbers[X] = point.x;
      numbers[Y] = point.y;
    }
    numbers[Chainage] = point.chainage;
    numbers[Distance] = point.distance;
  };
  const StartPoint& bp = route.start;
  appendRecord(out, "BP", bp.name, cells({{X, bp.x}, {Y, bp.y}, {Chainage, bp.chainage}}), columns);
  for (const Jd& jd : byElements ? std::span<const Jd>() : std::span<const Jd>(route.jds)) {
    Cells numbers = cells({{R, jd.radius}, {Ls, jd.ls1}});
    coordinates(numbers, jd);
    numbers[Ls2] = jd.ls2;
    numbers[Deflection] = jd.deflection;
    appendRecord(out, "JD", jd.name, numbers, columns);
  }
  Cells end{};
  if (made) {
    const PlanePoint at = elementEnd(*made);
    end[X] = at.x;
    end[Y] = at.y;
  } else {
    coordinates(end, route.end);
  }
  appendRecord(out, "EP", route.end.name, end, columns);
  for (const ChainBreak& b : route.breaks)
    appendRecord(out, "break", b.name, cells({{Chainage, b.behind}, {Ahead, b.ahead}}), columns);
  for (const GradePointRow& g : route.gradePoints) {
    Cells numbers =
        cells({{Chainage, g.chainage}, {Elevation, g.elevation}, {Rv, g.verticalRadius}});
    if (g.tangentIn != 0 || g.tangentOut != 0) {
      numbers[Ls] = g.tangentIn;
      numbers[Ls2] = g.tangentOut;
    }
    appendRecord(out, "PVI", g.name, numbers, columns);
  }
  if (made)
    appendElementTable(out, *made);
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
  const std::size_t rows = byElements ? route.elements.size() : route.jds.size();
  std::size_t records =
      2 + rows + route.breaks.size() + route.gradePoints.size() + route.stations.size();
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
  const bool byElements = route.method == Method::Elements;
  for (std::size_t i = 0; !failure && !byElements && i < route.jds.size(); ++i) {
    const Jd& jd = route.jds[i];
    failure = check("JD #" + std::to_string(i + 1), jd.name,
                    {jd.x, jd.y, jd.radius, jd.ls1, jd.secondTransition(), jd.chainage.value_or(0),
                     jd.deflection.value_or(0), jd.distance.value_or(0)});
  }
  const EndPoint& ep = route.end;
  if (!failure && !byElements)
    failure = check("EP", ep.name, {ep.x, ep.y, ep.chainage.value_or(0), ep.distance.value_or(0)});
  if (!failure && byElements && !std::isfinite(bp.azimuth))
    failure = bad("BP", "its azimuth is not a number");
  if (!failure && byElements)
    failure = check("EP", ep.name, {});
  // An element's radius may be none (kNoRadius: an empty cell), its start
  // not given.
  const auto orZero = [](double radius) { return radius == kNoRadius ? 0 : radius; };
  for (std::size_t i = 0; !failure && byElements && i < route.elements.size(); ++i) {
    const ElementRow& e = route.elements[i];
    failure = check(
        "element #" + std::to_string(i + 1), e.name,
        {e.length, orZero(e.startRadius), orZero(e.endRadius), e.x.value_or(0), e.y.value_or(0)});
  }
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
  if (Expected<Done> writable = checkWritable(route); !writable)
    return writable;
  return saveBytes(path, routeText(route));
}

} // namespace quenlor::route

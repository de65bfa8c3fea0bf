// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_edits.h"

#include "numeric/chainage_text.h"
#include "route/plane.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quenlor {
namespace {

// A name's number has at most this many digits: it fits a long.
constexpr std::size_t kMostNameDigits = 8;
// A new grade point lies this far beyond the last one.
constexpr double kGradePointStep = 100;
// Pasted rows: name X Y R are needed, Ls and ls2 may follow.
constexpr std::size_t kLeastPastedCells = 4;
enum PastedCell : std::size_t { Name, X, Y, R, Ls, Ls2 };

// UTF-8, read one code point at a time. A byte that starts no valid
// sequence counts as a code point of its own that is neither blank nor
// control.
struct CodePoint {
  char32_t value;
  std::size_t length;
};
constexpr char32_t kNotDecoded = 0xFFFD;

CodePoint decodeAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80         ? 1
                             : lead >> 5 == 0x6  ? 2
                             : lead >> 4 == 0xE  ? 3
                             : lead >> 3 == 0x1E ? 4
                                                 : 0;
  if (length == 0 || at + length > text.size())
    return {kNotDecoded, 1};
  char32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (byte(i) >> 6 != 0x2)
      return {kNotDecoded, 1};
    value = value << 6 | (byte(i) & 0x3F);
  }
  return {value, length};
}

// Where the code point before `end` starts.
std::size_t startBefore(std::string_view text, std::size_t end) {
  std::size_t at = end - 1;
  while (at > 0 && end - at < 4 && (static_cast<unsigned char>(text[at]) >> 6) == 0x2)
    --at;
  return decodeAt(text, at).length == end - at ? at : end - 1;
}

// Unicode's blanks: the white-space controls, and the space separators.
bool isBlank(char32_t c) {
  return (c >= 0x9 && c <= 0xD) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// Unicode's control characters (category Cc).
bool isControl(char32_t c) { return c <= 0x1F || (c >= 0x7F && c <= 0x9F); }

std::string_view trimmed(std::string_view text) {
  std::size_t from = 0, to = text.size();
  while (from < to && isBlank(decodeAt(text, from).value))
    from += decodeAt(text, from).length;
  while (to > from && isBlank(decodeAt(text, startBefore(text, to)).value))
    to = startBefore(text, to);
  return text.substr(from, to - from);
}

CellRefusal refusal(CellFault fault, std::string_view text) { return {fault, std::string(text)}; }

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos)
      return parts;
    from = at + 1;
  }
}

// The cells of a pasted line, the line break's carriage return dropped.
std::vector<std::string_view> cellsOf(std::string_view line) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return split(line, '\t');
}

// The rows erased from a list, from the back so that the indices hold.
template <class Row> std::vector<Row> without(std::vector<Row> rows, const std::vector<int>& gone) {
  for (auto it = gone.rbegin(); it != gone.rend(); ++it)
    rows.erase(rows.begin() + *it);
  return rows;
}

} // namespace

Taken<double> readCellNumber(std::string_view text) {
  const std::string_view bytes = trimmed(text);
  double value = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
  if (bytes.empty() || error == std::errc::invalid_argument || end != bytes.data() + bytes.size())
    return refusal(CellFault::NotANumber, text);
  if (error == std::errc::result_out_of_range || !route::isUsableValue(value))
    return refusal(CellFault::BeyondRange, text);
  return value;
}

Taken<double> readCellChainage(std::string_view text) {
  const auto value = parseChainage(text);
  if (!value)
    return refusal(CellFault::NotAChainage, text);
  if (!route::isUsableValue(*value))
    return refusal(CellFault::BeyondRange, text);
  return *value;
}

bool isBlankCell(std::string_view text) { return trimmed(text).empty(); }

Taken<std::string> readCellName(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); at += decodeAt(text, at).length)
    if (isControl(decodeAt(text, at).value))
      return refusal(CellFault::ControlCharacter, text);
  return std::string(trimmed(text));
}

std::string exactText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

long numberAfter(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix)
    return 0;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits.size() > kMostNameDigits ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  long number = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return number;
}

route::Jd newJdAt(const route::RouteDefinition& d, std::size_t index) {
  const auto pointAt = [&](std::size_t i) {
    return i < d.jds.size() ? PlanePoint{d.jds[i].x, d.jds[i].y} : PlanePoint{d.end.x, d.end.y};
  };
  const PlanePoint before = index == 0 ? PlanePoint{d.start.x, d.start.y} : pointAt(index - 1);
  const PlanePoint after = pointAt(index);
  route::Jd jd;
  if (index > 0)
    jd = d.jds[index - 1];
  jd.name = nextName(d.jds, "JD");
  jd.x = (before.x + after.x) / 2;
  jd.y = (before.y + after.y) / 2;
  return jd;
}

route::ChainBreak newBreak(const route::Route& route) {
  const double at = std::round(route.stationAt(route.length() / 2).chainage);
  return {nextName(route.definition().breaks, "DL"), at, at};
}

route::GradePointRow newGradePoint(const route::RouteDefinition& d) {
  route::GradePointRow row{nextName(d.gradePoints, "SJD"), d.start.chainage, 0, 0};
  if (!d.gradePoints.empty()) {
    row.chainage = d.gradePoints.back().chainage + kGradePointStep;
    row.elevation = d.gradePoints.back().elevation;
  }
  return row;
}

RouteChange insertJds(std::size_t before, std::vector<route::Jd> jds) {
  return [before, jds = std::move(jds)](route::Route& r) {
    for (std::size_t i = 0; i < jds.size(); ++i)
      r.insertJd(before + i, jds[i]);
  };
}

RouteChange eraseJds(std::vector<std::size_t> jds) {
  return [jds = std::move(jds)](route::Route& r) {
    for (auto it = jds.rbegin(); it != jds.rend(); ++it)
      r.eraseJd(*it);
  };
}

RouteChange swapJds(const route::RouteDefinition& d, std::size_t a, std::size_t b) {
  return [a, b, first = d.jds.at(a), second = d.jds.at(b)](route::Route& r) {
    r.replaceJd(b, first);
    r.replaceJd(a, second);
  };
}

RouteChange appendBreak(const route::Route& route) {
  auto breaks = route.definition().breaks;
  breaks.push_back(newBreak(route));
  return [breaks = std::move(breaks)](route::Route& r) { r.setBreaks(breaks); };
}

RouteChange eraseBreaks(const route::RouteDefinition& d, const std::vector<int>& rows) {
  return [breaks = without(d.breaks, rows)](route::Route& r) { r.setBreaks(breaks); };
}

RouteChange appendGradePoint(const route::RouteDefinition& d) {
  auto points = d.gradePoints;
  points.push_back(newGradePoint(d));
  return [points = std::move(points)](route::Route& r) { r.setGradePoints(points); };
}

RouteChange eraseGradePoints(const route::RouteDefinition& d, const std::vector<int>& rows) {
  return [points = without(d.gradePoints, rows)](route::Route& r) { r.setGradePoints(points); };
}

route::StationRow newStation(const route::RouteDefinition& d) {
  route::StationRow row;
  row.name = nextName(d.stations, "T");
  row.x = d.start.x;
  row.y = d.start.y;
  const bool jd = !d.jds.empty();
  row.backsightName = jd ? d.jds.front().name : d.end.name;
  row.backsightX = jd ? d.jds.front().x : d.end.x;
  row.backsightY = jd ? d.jds.front().y : d.end.y;
  return row;
}

RouteChange appendStation(const route::RouteDefinition& d) {
  auto stations = d.stations;
  stations.push_back(newStation(d));
  return [stations = std::move(stations)](route::Route& r) { r.setStations(stations); };
}

RouteChange eraseStations(const route::RouteDefinition& d, const std::vector<int>& rows) {
  return [stations = without(d.stations, rows)](route::Route& r) { r.setStations(stations); };
}

RouteChange useStationAt(const route::RouteDefinition& d, std::optional<std::size_t> row) {
  auto stations = d.stations;
  for (std::size_t i = 0; i < stations.size(); ++i)
    stations[i].inUse = row == i;
  return [stations = std::move(stations)](route::Route& r) { r.setStations(stations); };
}

std::variant<std::vector<route::Jd>, PasteRefusal> pastedJds(std::string_view text) {
  std::vector<route::Jd> jds;
  bool first = true;
  const std::vector<std::string_view> lines = split(text, '\n');
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::vector<std::string_view> cells = cellsOf(lines[line]);
    if (std::all_of(cells.begin(), cells.end(), isBlankCell))
      continue;
    const bool heading = first && (cells.size() <= X ||
                                   std::holds_alternative<CellRefusal>(readCellNumber(cells[X])));
    first = false;
    if (heading)
      continue;
    const auto refuse = [&](std::size_t column, CellRefusal why) {
      return PasteRefusal{line, column, std::move(why)};
    };
    if (cells.size() < kLeastPastedCells)
      return refuse(cells.size(), {CellFault::Missing, {}});
    route::Jd jd;
    const auto name = readCellName(cells[Name]);
    if (const auto* why = std::get_if<CellRefusal>(&name))
      return refuse(Name, *why);
    jd.name = std::get<std::string>(name);
    double* const numbers[] = {&jd.x, &jd.y, &jd.radius, &jd.ls1};
    for (std::size_t column = X; column < std::min<std::size_t>(cells.size(), Ls2 + 1); ++column) {
      if (column >= Ls && isBlankCell(cells[column]))
        continue; // Ls 0, ls2 equal to Ls
      const auto value = readCellNumber(cells[column]);
      if (const auto* why = std::get_if<CellRefusal>(&value))
        return refuse(column, *why);
      if (column == Ls2)
        jd.ls2 = std::get<double>(value);
      else
        *numbers[column - X] = std::get<double>(value);
    }
    jds.push_back(std::move(jd));
  }
  return jds;
}

std::string copiedJds(const std::vector<route::Jd>& jds) {
  std::string text;
  for (const route::Jd& jd : jds)
    text += jd.name + '\t' + exactText(jd.x) + '\t' + exactText(jd.y) + '\t' +
            exactText(jd.radius) + '\t' + exactText(jd.ls1) + '\t' +
            (jd.ls2 ? exactText(*jd.ls2) : std::string()) + '\n';
  return text;
}

} // namespace quenlor

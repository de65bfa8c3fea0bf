// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_edits.h"

#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "route/plane.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quenlor {
namespace {

// A name's number has at most this many digits: it fits a long.
constexpr std::size_t kMostNameDigits = 8;
// A new grade point lies this far beyond the last one.
constexpr double kGradePointStep = 100;

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

// The rows erased from a list, from the back so that the indices hold.
template <class Row> std::vector<Row> without(std::vector<Row> rows, const std::vector<int>& gone) {
  for (auto it = gone.rbegin(); it != gone.rend(); ++it)
    rows.erase(rows.begin() + *it);
  return rows;
}

struct SideWord {
  std::string_view text;
  DeflectionSide side;
};
constexpr std::array<SideWord, 12> kSideWords = {{
    {"左转", DeflectionSide::Left},
    {"左偏", DeflectionSide::Left},
    {"右转", DeflectionSide::Right},
    {"右偏", DeflectionSide::Right},
    {"左", DeflectionSide::Left},
    {"右", DeflectionSide::Right},
    {"L", DeflectionSide::Left},
    {"R", DeflectionSide::Right},
    {"l", DeflectionSide::Left},
    {"r", DeflectionSide::Right},
    {"Z", DeflectionSide::Left},
    {"Y", DeflectionSide::Right},
}};

// The side a deflection's text names at its start or end, taken off it
// with the brackets around it.
DeflectionSide takeSide(std::string& text) {
  const auto strip = [&] {
    for (std::string_view bracket : {"(", ")", "（", "）", " ", "\u3000"}) {
      while (text.starts_with(bracket))
        text.erase(0, bracket.size());
      while (text.ends_with(bracket))
        text.erase(text.size() - bracket.size());
    }
  };
  strip();
  for (const SideWord& s : kSideWords) {
    if (text.starts_with(s.text)) {
      text.erase(0, s.text.size());
      strip();
      return s.side;
    }
    if (text.ends_with(s.text)) {
      text.erase(text.size() - s.text.size());
      strip();
      return s.side;
    }
  }
  return DeflectionSide::None;
}

} // namespace

Taken<double> readCellDeflection(std::string_view cell, DeflectionSide column) {
  std::string text(trimmed(cell));
  for (std::size_t at; (at = text.find("\u2212")) != std::string::npos;)
    text.replace(at, 3, "-"); // the minus sign tables print
  const DeflectionSide own = takeSide(text);
  const std::optional<double> packed = parsePackedAngle(text);
  if (!packed)
    return CellRefusal{CellFault::NotAnAngle, std::string(cell)};
  const bool negative = std::signbit(*packed);
  if ((own != DeflectionSide::None && column != DeflectionSide::None && own != column) ||
      (negative && (own != DeflectionSide::None || column != DeflectionSide::None)))
    return CellRefusal{CellFault::TwoSides, std::string(cell)};
  const DeflectionSide side = own != DeflectionSide::None ? own : column;
  return side == DeflectionSide::Left ? -std::fabs(*packed) : *packed;
}

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

route::Jd newJdAt(const route::Route& route, std::size_t index) {
  const route::RouteDefinition& d = route.definition();
  const auto pointAt = [&](std::size_t i) {
    return i < d.jds.size() ? route.jdPoint(i) : route.endPoint();
  };
  const PlanePoint before = index == 0 ? PlanePoint{d.start.x, d.start.y} : pointAt(index - 1);
  const PlanePoint after = pointAt(index);
  route::Jd jd;
  if (index > 0) {
    jd = d.jds[index - 1];
    jd.chainage.reset(); // the design's figures are the JD's own
    jd.deflection.reset();
    jd.distance.reset();
  }
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

std::string copiedJds(const std::vector<route::Jd>& jds) {
  std::string text;
  for (const route::Jd& jd : jds)
    text += jd.name + '\t' + exactText(jd.x) + '\t' + exactText(jd.y) + '\t' +
            exactText(jd.radius) + '\t' + exactText(jd.ls1) + '\t' +
            (jd.ls2 ? exactText(*jd.ls2) : std::string()) + '\n';
  return text;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/section_edits.h"

#include "text/split.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quenlor {
namespace {

using section::Axis;
using section::PartKind;
using section::Side;
using section::WideningShape;

// A new part where a side has none: a lane at the normal crown.
constexpr double kNewLaneWidth = 3.5;
constexpr double kNormalCrown = -2;
// A new station row lies this far beyond the last one.
constexpr double kStationStep = 20;

// The per cent signs a cell may end in: the ASCII one and the full-width one
// of Chinese input methods.
constexpr std::array<std::string_view, 2> kPercentSigns = {"%", "\xEF\xBC\x85"};

// The number before a per cent sign, and whether there was one.
struct PercentText {
  std::string_view number;
  bool percent = false;
};
PercentText splitPercent(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() &&
         (t.back() == ' ' || t.back() == '\t' || t.back() == '\r' || t.back() == '\n'))
    t.remove_suffix(1);
  for (std::string_view sign : kPercentSigns)
    if (t.ends_with(sign))
      return {t.substr(0, t.size() - sign.size()), true};
  return {text, false};
}

constexpr std::string_view kLeft[] = {"左", "左侧", "L", "left"};
constexpr std::string_view kRight[] = {"右", "右侧", "R", "right"};
constexpr ChoiceWords kSides[] = {kLeft, kRight};

constexpr std::string_view kLane[] = {"行车道", "车道", "路缘带", "lane"};
constexpr std::string_view kHard[] = {"硬路肩", "hard-shoulder"};
constexpr std::string_view kSoil[] = {"土路肩", "soil-shoulder"};
constexpr ChoiceWords kKinds[] = {kLane, kHard, kSoil};

constexpr std::string_view kCentre[] = {"绕中线", "中线", "中", "centre"};
constexpr std::string_view kInner[] = {"绕内边线", "内边线", "内边", "内", "inner-edge"};
constexpr std::string_view kOuter[] = {"绕外边线", "外边线", "外边", "外", "outer-edge"};
constexpr ChoiceWords kAxes[] = {kCentre, kInner, kOuter};

constexpr std::string_view kLinear[] = {"线性", "直线", "linear"};
constexpr std::string_view kHighOrder[] = {"高次", "高次抛物线", "high-order"};
constexpr ChoiceWords kShapes[] = {kLinear, kHighOrder};

template <class T> Taken<T> chosen(std::string_view text, std::span<const ChoiceWords> choices) {
  const Taken<std::size_t> read = readChoice(text, choices);
  if (const auto* refused = std::get_if<CellRefusal>(&read))
    return *refused;
  return static_cast<T>(std::get<std::size_t>(read));
}

std::vector<section::Part>& partsOf(section::Template& road, Side side) {
  return side == Side::Left ? road.left : road.right;
}
const std::vector<section::Part>& partsOf(const section::Template& road, Side side) {
  return side == Side::Left ? road.left : road.right;
}

// ---- Pasted text.

// The pasted lines with their cells, blank lines left out, and their
// numbers in the text (from 0).
struct PastedLine {
  std::size_t line;
  std::vector<std::string_view> cells;
};
std::vector<PastedLine> pastedLines(std::string_view text) {
  std::vector<PastedLine> lines;
  const std::vector<std::string_view> all = split(text, '\n');
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::string_view line = all[i];
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    std::vector<std::string_view> cells = split(line, '\t');
    if (!std::all_of(cells.begin(), cells.end(), isBlankCell))
      lines.push_back({i, std::move(cells)});
  }
  return lines;
}

// Reads the pasted rows one by one: `row` makes a row of a line's cells or
// refuses it; a first line whose cell `headingCell` does not read is a
// heading.
template <class Row, class Make>
std::variant<std::vector<Row>, PasteRefusal>
pastedRows(std::string_view text, std::size_t headingCell,
           Taken<double> (*headingRead)(std::string_view), Make row) {
  std::vector<Row> rows;
  const std::vector<PastedLine> lines = pastedLines(text);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const auto& cells = lines[k].cells;
    if (k == 0 && (cells.size() <= headingCell ||
                   std::holds_alternative<CellRefusal>(headingRead(cells[headingCell]))))
      continue;
    std::variant<Row, PasteRefusal> made = row(lines[k].line, cells);
    if (auto* refused = std::get_if<PasteRefusal>(&made))
      return *refused;
    rows.push_back(std::move(std::get<Row>(made)));
  }
  return rows;
}

// A line's cell as a reader takes it, or the refusal naming it.
struct CellsOf {
  std::size_t line;
  const std::vector<std::string_view>& cells;

  bool has(std::size_t column) const {
    return column < cells.size() && !isBlankCell(cells[column]);
  }
  template <class T>
  std::optional<PasteRefusal> read(std::size_t column, Taken<T> (*reader)(std::string_view),
                                   T& into) const {
    if (column >= cells.size())
      return PasteRefusal{line, column, {CellFault::Missing, {}}, {}};
    const Taken<T> value = reader(cells[column]);
    if (const auto* why = std::get_if<CellRefusal>(&value))
      return PasteRefusal{line, column, *why, {}};
    into = std::get<T>(value);
    return std::nullopt;
  }
};

Taken<std::string> readName(std::string_view text) { return readCellName(text); }

std::string copiedFall(const std::optional<double>& fall) {
  return fall ? exactText(*fall) : std::string();
}

} // namespace

Taken<double> readTemplateFall(std::string_view text) {
  const PercentText split = splitPercent(text);
  const Taken<double> value = readCellNumber(split.number);
  if (const auto* refused = std::get_if<CellRefusal>(&value))
    return CellRefusal{refused->fault, std::string(text)};
  const double fall = std::get<double>(value);
  return split.percent ? -std::fabs(fall) : fall;
}

Taken<double> readSignedFall(std::string_view text) {
  Taken<double> value = readCellNumber(splitPercent(text).number);
  if (const auto* refused = std::get_if<CellRefusal>(&value))
    return CellRefusal{refused->fault, std::string(text)};
  return value;
}

Taken<std::size_t> readChoice(std::string_view text, std::span<const ChoiceWords> choices) {
  const Taken<std::string> name = readCellName(text);
  if (const auto* word = std::get_if<std::string>(&name))
    for (std::size_t i = 0; i < choices.size(); ++i)
      if (std::ranges::find(choices[i], std::string_view(*word)) != choices[i].end())
        return i;
  return CellRefusal{CellFault::NotAChoice, std::string(text)};
}

std::string_view sideWord(Side side) { return kSides[std::size_t(side)].front(); }
std::string_view partKindWord(PartKind kind) { return kKinds[std::size_t(kind)].front(); }
std::string_view axisWord(Axis axis) { return kAxes[std::size_t(axis)].front(); }
std::string_view shapeWord(WideningShape shape) { return kShapes[std::size_t(shape)].front(); }
Taken<Side> readSide(std::string_view text) { return chosen<Side>(text, kSides); }
Taken<PartKind> readPartKind(std::string_view text) { return chosen<PartKind>(text, kKinds); }
Taken<Axis> readAxis(std::string_view text) { return chosen<Axis>(text, kAxes); }
Taken<WideningShape> readShape(std::string_view text) {
  return chosen<WideningShape>(text, kShapes);
}

std::size_t partRows(const route::CrossSection& s) {
  return s.road.left.size() + s.road.right.size();
}

PartRow partOfRow(const route::CrossSection& s, std::size_t row) {
  if (row < s.road.left.size())
    return {Side::Left, row};
  return {Side::Right, row - s.road.left.size()};
}

std::size_t rowOfPart(const route::CrossSection& s, Side side, std::size_t index) {
  return side == Side::Left ? index : s.road.left.size() + index;
}

section::Part newPart(const route::CrossSection& s, Side side) {
  const auto& parts = partsOf(s.road, side);
  if (!parts.empty())
    return parts.back();
  return {std::string(partKindWord(PartKind::Lane)), PartKind::Lane, kNewLaneWidth, kNormalCrown};
}

RouteChange setCrossSection(route::CrossSection section) {
  return [section = std::move(section)](route::Route& r) { r.setCrossSection(section); };
}

RouteChange appendPart(const route::CrossSection& s, Side side) {
  route::CrossSection changed = s;
  partsOf(changed.road, side).push_back(newPart(s, side));
  return setCrossSection(std::move(changed));
}

RouteChange eraseParts(const route::CrossSection& s, const std::vector<int>& rows) {
  route::CrossSection changed = s;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const PartRow at = partOfRow(s, std::size_t(*it));
    auto& parts = partsOf(changed.road, at.side);
    parts.erase(parts.begin() + std::ptrdiff_t(at.index));
  }
  return setCrossSection(std::move(changed));
}

RouteChange appendWideningRow(const route::RouteDefinition& d) {
  route::CrossSection changed = d.section;
  route::SectionStation row{d.start.chainage, std::nullopt, std::nullopt, 0, 0};
  if (!d.section.stations.empty()) {
    row = d.section.stations.back();
    row.chainage += kStationStep;
  }
  changed.stations.push_back(row);
  return setCrossSection(std::move(changed));
}

RouteChange eraseWideningRows(const route::CrossSection& s, const std::vector<int>& rows) {
  route::CrossSection changed = s;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    changed.stations.erase(changed.stations.begin() + *it);
  return setCrossSection(std::move(changed));
}

RouteChange setTableAxis(const route::CrossSection& s, Axis axis) {
  route::CrossSection changed = s;
  changed.tableAxis = axis;
  return setCrossSection(std::move(changed));
}

std::variant<std::vector<PastedPart>, PasteRefusal> pastedParts(std::string_view text) {
  enum : std::size_t { SideCell, NameCell, KindCell, WidthCell, FallCell };
  return pastedRows<PastedPart>(text, WidthCell, &readCellNumber,
                                [](std::size_t line, const std::vector<std::string_view>& cells)
                                    -> std::variant<PastedPart, PasteRefusal> {
                                  const CellsOf c{line, cells};
                                  PastedPart p{Side::Left, {}};
                                  if (auto why = c.read(SideCell, &readSide, p.side))
                                    return *why;
                                  if (auto why = c.read(NameCell, &readName, p.part.name))
                                    return *why;
                                  if (auto why = c.read(KindCell, &readPartKind, p.part.kind))
                                    return *why;
                                  if (auto why = c.read(WidthCell, &readCellNumber, p.part.width))
                                    return *why;
                                  if (auto why = c.read(FallCell, &readTemplateFall, p.part.fall))
                                    return *why;
                                  return p;
                                });
}

std::variant<std::vector<PastedCurve>, PasteRefusal> pastedCurves(std::string_view text) {
  enum : std::size_t { NameCell, SuperCell, RunoffCell, AxisCell, WideningCell, ShapeCell };
  return pastedRows<PastedCurve>(
      text, SuperCell, &readPercent,
      [](std::size_t line,
         const std::vector<std::string_view>& cells) -> std::variant<PastedCurve, PasteRefusal> {
        const CellsOf c{line, cells};
        PastedCurve p;
        section::CurveSettings& s = p.settings;
        if (auto why = c.read(NameCell, &readName, p.name))
          return *why;
        if (auto why = c.read(SuperCell, &readPercent, s.superelevation))
          return *why;
        double runoff = 0;
        if (c.has(RunoffCell)) {
          if (auto why = c.read(RunoffCell, &readCellNumber, runoff))
            return *why;
          s.runoff = runoff;
        }
        if (c.has(AxisCell))
          if (auto why = c.read(AxisCell, &readAxis, s.axis))
            return *why;
        if (c.has(WideningCell))
          if (auto why = c.read(WideningCell, &readCellNumber, s.widening))
            return *why;
        if (c.has(ShapeCell))
          if (auto why = c.read(ShapeCell, &readShape, s.shape))
            return *why;
        return p;
      });
}

std::variant<std::vector<route::SectionStation>, PasteRefusal>
pastedWideningRows(std::string_view text) {
  enum : std::size_t { ChainageCell, LeftFall, RightFall, LeftWidening, RightWidening };
  return pastedRows<route::SectionStation>(
      text, ChainageCell, &readCellChainage,
      [](std::size_t line, const std::vector<std::string_view>& cells)
          -> std::variant<route::SectionStation, PasteRefusal> {
        const CellsOf c{line, cells};
        route::SectionStation r;
        if (auto why = c.read(ChainageCell, &readCellChainage, r.chainage))
          return *why;
        for (const auto& [cell, fall] :
             {std::pair{LeftFall, &r.leftFall}, std::pair{RightFall, &r.rightFall}}) {
          double value = 0;
          if (!c.has(cell))
            continue;
          if (auto why = c.read(cell, &readSignedFall, value))
            return *why;
          *fall = value;
        }
        for (const auto& [cell, widening] :
             {std::pair{LeftWidening, &r.leftWidening}, std::pair{RightWidening, &r.rightWidening}})
          if (c.has(cell))
            if (auto why = c.read(cell, &readCellNumber, *widening))
              return *why;
        return r;
      });
}

RouteChange addParts(const route::CrossSection& s, const std::vector<PastedPart>& parts) {
  route::CrossSection changed = s;
  for (const PastedPart& p : parts)
    partsOf(changed.road, p.side).push_back(p.part);
  return setCrossSection(std::move(changed));
}

std::variant<RouteChange, std::size_t> setCurves(const route::RouteDefinition& d,
                                                 const std::vector<PastedCurve>& curves) {
  const bool elements = d.method == route::Method::Elements;
  const std::size_t count = elements ? d.elements.size() : d.jds.size();
  const auto named = [&](std::size_t k, const std::string& name) {
    return elements ? d.elements[k].kind == route::ElementKind::Arc && d.elements[k].name == name
                    : d.jds[k].name == name;
  };
  std::vector<std::pair<std::size_t, section::CurveSettings>> set;
  std::size_t next = 0;
  for (std::size_t i = 0; i < curves.size(); ++i) {
    while (next < count && !named(next, curves[i].name))
      ++next;
    if (next == count)
      return i;
    set.emplace_back(next++, curves[i].settings);
  }
  return RouteChange([set = std::move(set), elements](route::Route& r) {
    for (const auto& [k, settings] : set)
      if (elements)
        r.setArcSection(k, settings);
      else
        r.setCurveSection(k, settings);
  });
}

RouteChange insertWideningRows(const route::CrossSection& s, std::size_t before,
                               const std::vector<route::SectionStation>& rows) {
  route::CrossSection changed = s;
  const std::size_t at = std::min(before, changed.stations.size());
  changed.stations.insert(changed.stations.begin() + std::ptrdiff_t(at), rows.begin(), rows.end());
  return setCrossSection(std::move(changed));
}

std::string copiedParts(const route::CrossSection& s, const std::vector<int>& rows) {
  std::string text;
  for (const int row : rows) {
    const PartRow at = partOfRow(s, std::size_t(row));
    const section::Part& p = partsOf(s.road, at.side)[at.index];
    // The fall written plainly: a per cent sign would read as the design
    // tables' unsigned crown.
    text += std::string(sideWord(at.side)) + '\t' + p.name + '\t' +
            std::string(partKindWord(p.kind)) + '\t' + exactText(p.width) + '\t' +
            exactText(p.fall) + '\n';
  }
  return text;
}

std::string copiedCurves(const route::RouteDefinition& d, const std::vector<int>& rows) {
  const bool elements = d.method == route::Method::Elements;
  std::string text;
  for (const int row : rows) {
    const auto k = std::size_t(row);
    if (elements && d.elements[k].kind != route::ElementKind::Arc)
      continue;
    const std::string& name = elements ? d.elements[k].name : d.jds[k].name;
    const section::CurveSettings& s = elements ? d.elements[k].section : d.jds[k].section;
    text += name + '\t' + exactText(s.superelevation) + '\t' +
            (s.runoff ? exactText(*s.runoff) : std::string()) + '\t' +
            std::string(axisWord(s.axis)) + '\t' + exactText(s.widening) + '\t' +
            std::string(shapeWord(s.shape)) + '\n';
  }
  return text;
}

std::string copiedWideningRows(const route::CrossSection& s, const std::vector<int>& rows) {
  std::string text;
  for (const int row : rows) {
    const route::SectionStation& r = s.stations[std::size_t(row)];
    text += exactText(r.chainage) + '\t' + copiedFall(r.leftFall) + '\t' + copiedFall(r.rightFall) +
            '\t' + exactText(r.leftWidening) + '\t' + exactText(r.rightWidening) + '\n';
  }
  return text;
}

} // namespace quenlor

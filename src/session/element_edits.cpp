// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/element_edits.h"

#include "geometry/angle_text.h"
#include "text/split.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quenlor {
namespace {

using route::ElementKind;
using route::ElementRow;
using route::Turn;

constexpr std::string_view kNoRadiusMark = "∞";

// The words a cell may hold for a kind or a side, the first the one shown.
struct Word {
  std::string_view text;
  int value;
};
constexpr std::array<Word, 6> kKindWords = {{{"直线", int(ElementKind::Straight)},
                                             {"圆曲线", int(ElementKind::Arc)},
                                             {"缓和曲线", int(ElementKind::Clothoid)},
                                             {"圆弧", int(ElementKind::Arc)},
                                             {"缓和", int(ElementKind::Clothoid)},
                                             {"回旋线", int(ElementKind::Clothoid)}}};
constexpr std::array<Word, 4> kTurnWords = {{{"左", int(Turn::Left)},
                                             {"右", int(Turn::Right)},
                                             {"左偏", int(Turn::Left)},
                                             {"右偏", int(Turn::Right)}}};

// A cell's text without its blanks (route_edits.h), or why not.
std::optional<std::string> trimmedText(std::string_view text) {
  const Taken<std::string> name = readCellName(text);
  if (const auto* trimmed = std::get_if<std::string>(&name))
    return *trimmed;
  return std::nullopt;
}

template <std::size_t N>
std::optional<int> wordValue(const std::array<Word, N>& words, std::string_view text) {
  const auto word = trimmedText(text);
  for (const Word& w : words)
    if (word && *word == w.text)
      return w.value;
  return std::nullopt;
}

// The columns a pasted row may fill.
enum class Field { Ignored, Name, Kind, StartRadius, EndRadius, Length, Turn, GivenX, GivenY };
struct Heading {
  std::string_view text;
  Field field;
};
constexpr std::array<Heading, 13> kHeadings = {{
    {"名称", Field::Name},
    {"类型", Field::Kind},
    {"起点半径", Field::StartRadius},
    {"终点半径", Field::EndRadius},
    {"长度", Field::Length},
    {"转向", Field::Turn},
    {"起点X", Field::GivenX},
    {"起点Y", Field::GivenY},
    {"已知X", Field::GivenX},
    {"已知Y", Field::GivenY},
    {"序号", Field::Ignored},
    {"起点桩号", Field::Ignored},
    {"起点方位角", Field::Ignored},
}};
// The element table file's order (route_file.h), without a heading line.
constexpr std::array<std::string_view, 11> kFileOrder = {
    "序号",     "类型",     "起点桩号", "起点X", "起点Y", "起点方位角",
    "起点半径", "终点半径", "长度",     "转向",  "名称"};
// What copying writes, and pasting reads back by these names.
constexpr std::array<std::string_view, 8> kCopied = {"名称", "类型", "起点半径", "终点半径",
                                                     "长度", "转向", "已知X",    "已知Y"};

const Heading* headingOf(std::string_view cell) {
  const auto text = trimmedText(cell);
  for (const Heading& h : kHeadings)
    if (text && *text == h.text)
      return &h;
  return nullptr;
}

std::optional<Field> fieldOf(std::string_view cell) {
  const Heading* h = headingOf(cell);
  return h ? std::optional(h->field) : std::nullopt;
}

std::vector<std::string_view> cellsOf(std::string_view line) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return split(line, '\t');
}

// The columns of a pasted block, each by its heading as kHeadings spells it
// (empty for one it does not name): by its heading line where the first line
// names the columns of the kind and the length, else the file's order.
struct Columns {
  std::vector<std::string_view> headings;
  bool headed = false;
};

Columns columnsOf(const std::vector<std::string_view>& first) {
  Columns c;
  bool kind = false, length = false;
  for (std::string_view cell : first) {
    kind = kind || fieldOf(cell) == Field::Kind;
    length = length || fieldOf(cell) == Field::Length;
  }
  c.headed = kind && length;
  if (c.headed)
    for (std::string_view cell : first)
      c.headings.push_back(headingOf(cell) ? headingOf(cell)->text : std::string_view());
  else
    c.headings.assign(kFileOrder.begin(), kFileOrder.end());
  return c;
}

// One cell into its field of the row, or why not.
std::optional<CellRefusal> take(ElementRow& row, Field field, std::string_view cell) {
  const auto into = [&](auto read, auto set) -> std::optional<CellRefusal> {
    const auto value = read(cell);
    if (const auto* refused = std::get_if<CellRefusal>(&value))
      return *refused;
    set(std::get<0>(value));
    return std::nullopt;
  };
  const auto given = [&](std::optional<double>& at) -> std::optional<CellRefusal> {
    if (isBlankCell(cell)) {
      at.reset();
      return std::nullopt;
    }
    return into(readCellNumber, [&](double v) { at = v; });
  };
  switch (field) {
  case Field::Ignored: return std::nullopt;
  case Field::Name:
    return into(readCellName, [&](std::string name) { row.name = std::move(name); });
  case Field::Kind: return into(readCellElementKind, [&](ElementKind k) { row.kind = k; });
  case Field::StartRadius: return into(readCellRadius, [&](double r) { row.startRadius = r; });
  case Field::EndRadius: return into(readCellRadius, [&](double r) { row.endRadius = r; });
  case Field::Length: return into(readCellNumber, [&](double l) { row.length = l; });
  case Field::Turn: return into(readCellTurn, [&](Turn t) { row.turn = t; });
  case Field::GivenX: return given(row.x);
  case Field::GivenY: return given(row.y);
  }
  return std::nullopt;
}

std::string exactOrBlank(const std::optional<double>& value) {
  return value ? exactText(*value) : std::string();
}

} // namespace

Taken<ElementKind> readCellElementKind(std::string_view text) {
  if (const auto value = wordValue(kKindWords, text))
    return ElementKind(*value);
  return CellRefusal{CellFault::NotAnElementKind, std::string(text)};
}

std::string_view elementKindText(ElementKind kind) { return kKindWords[std::size_t(kind)].text; }

Taken<Turn> readCellTurn(std::string_view text) {
  if (isBlankCell(text))
    return Turn::None;
  if (const auto value = wordValue(kTurnWords, text))
    return Turn(*value);
  return CellRefusal{CellFault::NotATurn, std::string(text)};
}

std::string_view turnText(Turn turn) {
  return turn == Turn::Left ? kTurnWords[0].text : turn == Turn::Right ? kTurnWords[1].text : "";
}

Taken<double> readCellRadius(std::string_view text) {
  if (isBlankCell(text) || trimmedText(text) == std::string(kNoRadiusMark))
    return route::kNoRadius;
  return readCellNumber(text);
}

std::string radiusText(double radius) {
  return radius == route::kNoRadius ? std::string() : exactText(radius);
}

Taken<double> readCellAzimuth(std::string_view text) {
  if (const auto azimuth = azimuthOfPacked(text))
    return *azimuth;
  return CellRefusal{CellFault::NotAnAzimuth, std::string(text)};
}

ElementRow newElement() {
  ElementRow row;
  row.length = kNewElementLength;
  return row;
}

RouteChange insertElements(std::size_t before, std::vector<ElementRow> elements) {
  return [before, elements = std::move(elements)](route::Route& r) {
    for (std::size_t i = 0; i < elements.size(); ++i)
      r.insertElement(before + i, elements[i]);
  };
}

RouteChange eraseElements(std::vector<std::size_t> elements) {
  return [elements = std::move(elements)](route::Route& r) {
    for (auto it = elements.rbegin(); it != elements.rend(); ++it)
      r.eraseElement(*it);
  };
}

RouteChange swapElements(const route::RouteDefinition& d, std::size_t a, std::size_t b) {
  return [a, b, first = d.elements.at(a), second = d.elements.at(b)](route::Route& r) {
    r.replaceElement(b, first);
    r.replaceElement(a, second);
  };
}

RouteChange startAs(route::Method method) {
  return [method](route::Route& r) { r.setMethod(method); };
}

std::variant<std::vector<ElementRow>, ElementPasteRefusal> pastedElements(std::string_view text) {
  std::vector<ElementRow> rows;
  std::optional<Columns> columns;
  const std::vector<std::string_view> lines = split(text, '\n');
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::vector<std::string_view> cells = cellsOf(lines[line]);
    if (std::all_of(cells.begin(), cells.end(), isBlankCell))
      continue;
    if (!columns) {
      columns = columnsOf(cells);
      if (columns->headed)
        continue;
    }
    ElementRow row;
    for (std::size_t c = 0; c < columns->headings.size(); ++c) {
      const std::string_view heading = columns->headings[c];
      const Field field = fieldOf(heading).value_or(Field::Ignored);
      if (c >= cells.size()) {
        if (field == Field::Kind || field == Field::Length)
          return ElementPasteRefusal{line, c, heading, {CellFault::Missing, {}}};
        continue;
      }
      if (const auto refused = take(row, field, cells[c]))
        return ElementPasteRefusal{line, c, heading, *refused};
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string copiedElements(const std::vector<ElementRow>& elements) {
  std::string text;
  for (std::size_t c = 0; c < kCopied.size(); ++c)
    text += std::string(c == 0 ? "" : "\t") + std::string(kCopied[c]);
  text += '\n';
  for (const ElementRow& e : elements)
    text += e.name + '\t' + std::string(elementKindText(e.kind)) + '\t' +
            radiusText(e.startRadius) + '\t' + radiusText(e.endRadius) + '\t' +
            exactText(e.length) + '\t' + std::string(turnText(e.turn)) + '\t' + exactOrBlank(e.x) +
            '\t' + exactOrBlank(e.y) + '\n';
  return text;
}

} // namespace quenlor

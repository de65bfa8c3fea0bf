// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/design_table.h"

#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "text/catalogue.h"
#include "text/split.h"
#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quenlor {
namespace {

using Field = TableField;
using Cells = std::vector<std::string_view>;

// ---- Headings, read as words.

// A heading text's words: runs of Latin letters and digits (lower case),
// and runs of Chinese characters; everything else parts them.
struct Word {
  std::string text;
  bool chinese = false;
};

constexpr char32_t kFullWidthFirst = 0xFF01, kFullWidthLast = 0xFF5E, kFullWidthShift = 0xFEE0;

bool isChinese(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF); }
// α, δ and Δ name the deflection.
bool isGreek(char32_t c) { return c == 0x3B1 || c == 0x3B4 || c == 0x394; }

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

std::vector<Word> wordsOf(std::string_view text) {
  std::vector<Word> words;
  enum class Kind { Apart, Latin, Chinese } last = Kind::Apart;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    char32_t c = length ? codePointAt(text, at, length) : U' ';
    at += length ? length : 1;
    if (c >= kFullWidthFirst && c <= kFullWidthLast)
      c -= kFullWidthShift;
    if (c >= 'A' && c <= 'Z')
      c += 'a' - 'A';
    const bool latin = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || isGreek(c) ||
                       (c == '.' && last == Kind::Latin);
    const Kind kind = latin ? Kind::Latin : isChinese(c) ? Kind::Chinese : Kind::Apart;
    if (kind != Kind::Apart && kind != last)
      words.push_back({{}, kind == Kind::Chinese});
    if (kind != Kind::Apart)
      appendUtf8(words.back().text, c);
    last = kind;
  }
  return words;
}

// What a heading says about its column: a field, how sure (a more specific
// word outranks a more general one: 桩号 the JD's name, Ls1 Ls), the group a
// heading above it names, and whether it is the E that may be Y or 外距.
enum class Group { None, Coordinates, CurveElements };
struct Reading {
  std::optional<Field> field;
  int rank = 0;
  Group group = Group::None;
  bool eitherEast = false;
};

constexpr int kNameRank = 1, kPlainRank = 2, kSpecificRank = 3, kComputedRank = 4;

Reading reading(Field field) {
  switch (field) {
  case Field::Name: return {field, kNameRank};
  case Field::North:
  case Field::East:
  case Field::Radius:
  case Field::Transition:
  case Field::Parameter:
  case Field::Deflection: return {field, kPlainRank};
  case Field::Computed: return {field, kComputedRank};
  default: return {field, kSpecificRank};
  }
}

struct LatinWord {
  std::string_view word;
  Field field;
};
constexpr std::array<LatinWord, 54> kLatinWords = {{
    {"jd", Field::Name},
    {"jdno", Field::Name},
    {"no", Field::Name},
    {"no.", Field::Name},
    {"name", Field::Name},
    {"pi", Field::Name},
    {"ip", Field::Name},
    {"point", Field::Name},
    {"x", Field::North},
    {"n", Field::North},
    {"north", Field::North},
    {"northing", Field::North},
    {"y", Field::East},
    {"east", Field::East},
    {"easting", Field::East},
    {"r", Field::Radius},
    {"rc", Field::Radius},
    {"radius", Field::Radius},
    {"ls", Field::Transition},
    {"lh", Field::Transition},
    {"ls1", Field::FirstTransition},
    {"lh1", Field::FirstTransition},
    {"ls2", Field::SecondTransition},
    {"lh2", Field::SecondTransition},
    {"a", Field::Parameter},
    {"a1", Field::FirstParameter},
    {"a2", Field::SecondParameter},
    {"k", Field::Chainage},
    {"chainage", Field::Chainage},
    {"station", Field::Chainage},
    {"sta", Field::Chainage},
    {"\u03b1", Field::Deflection},
    {"\u03b4", Field::Deflection},
    {"\u0394", Field::Deflection},
    {"alpha", Field::Deflection},
    {"deflection", Field::Deflection},
    {"left", Field::LeftDeflection},
    {"right", Field::RightDeflection},
    {"spacing", Field::Spacing},
    {"straight", Field::Straight},
    {"t", Field::Computed},
    {"t1", Field::Computed},
    {"t2", Field::Computed},
    {"l", Field::Computed},
    {"ly", Field::Computed},
    {"j", Field::Computed},
    {"d", Field::Computed},
    {"zh", Field::Computed},
    {"hy", Field::Computed},
    {"qz", Field::Computed},
    {"yh", Field::Computed},
    {"hz", Field::Computed},
    {"zy", Field::Computed},
    {"yz", Field::Computed},
}};
// Units, and words that say nothing of the column.
constexpr std::array<std::string_view, 14> kSilentWords = {"m",
                                                           "mm",
                                                           "km",
                                                           "rad",
                                                           "dms",
                                                           "\u7c73",
                                                           "\u5ea6",
                                                           "\u5206",
                                                           "\u79d2",
                                                           "\u53f7",
                                                           "\u503c",
                                                           "\u5355\u4f4d",
                                                           "\u5ea6\u5206\u79d2",
                                                           "deg"};

bool contains(std::string_view text, std::initializer_list<std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](std::string_view p) { return text.find(p) != std::string_view::npos; });
}

// A Chinese word, by the words it holds: the first rule that fits.
Reading chineseReading(std::string_view w) {
  if (contains(w, {"方位"}))
    return reading(Field::Computed);
  if (contains(w, {"间距", "交点距离"}))
    return reading(Field::Spacing);
  if (contains(w, {"直线"}) && !contains(w, {"起点", "终点", "中点"}))
    return reading(Field::Straight);
  if (contains(w, {"起点", "终点", "中点", "主点", "直线", "距离"}))
    return reading(Field::Computed);
  if (contains(w, {"参数"}))
    return reading(contains(w, {"第一"})   ? Field::FirstParameter
                   : contains(w, {"第二"}) ? Field::SecondParameter
                                           : Field::Parameter);
  if (contains(w, {"缓和"}))
    return reading(contains(w, {"第一", "前"})   ? Field::FirstTransition
                   : contains(w, {"第二", "后"}) ? Field::SecondTransition
                                                 : Field::Transition);
  if (contains(w, {"半径"}))
    return reading(Field::Radius);
  if (contains(w, {"桩号", "里程"}))
    return reading(Field::Chainage);
  if (contains(w, {"左"}))
    return reading(Field::LeftDeflection);
  if (contains(w, {"右"}))
    return reading(Field::RightDeflection);
  if (contains(w, {"转角", "偏角"}))
    return reading(Field::Deflection);
  if (contains(w, {"切线", "曲线长", "外距", "外矢距", "校正", "切曲差"}))
    return reading(Field::Computed);
  if (contains(w, {"北"}))
    return reading(Field::North);
  if (contains(w, {"东"}))
    return reading(Field::East);
  if (contains(w, {"坐标"}))
    return {std::nullopt, 0, Group::Coordinates};
  if (contains(w, {"要素"}))
    return {std::nullopt, 0, Group::CurveElements};
  for (std::string_view name :
       {"交点号", "交点", "交点名", "交点名称", "交点编号", "点号", "点名", "名称", "编号"})
    if (w == name)
      return reading(Field::Name);
  return {};
}

Reading wordReading(const Word& w) {
  if (std::ranges::find(kSilentWords, w.text) != kSilentWords.end())
    return {};
  if (w.chinese)
    return chineseReading(w.text);
  if (w.text == "e")
    return {std::nullopt, kNameRank, Group::None, true};
  const auto it = std::ranges::find(kLatinWords, w.text, &LatinWord::word);
  return it == kLatinWords.end() ? Reading{} : reading(it->field);
}

// A heading text: its most specific word, and the groups it names.
Reading textReading(std::string_view text) {
  Reading best;
  for (const Word& w : wordsOf(text)) {
    const Reading r = wordReading(w);
    if (r.group != Group::None)
      best.group = r.group;
    if ((r.field || r.eitherEast) && r.rank > best.rank) {
      best.field = r.field;
      best.rank = r.rank;
      best.eitherEast = r.eitherEast;
    }
  }
  return best;
}

// ---- Lines of the pasted text.

Cells cellsOf(std::string_view line) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return split(line, '\t');
}

std::string_view cellAt(const Cells& cells, std::size_t column) {
  return column < cells.size() ? cells[column] : std::string_view();
}

std::size_t filledCells(const Cells& cells) {
  return std::size_t(std::count_if(cells.begin(), cells.end(),
                                   [](std::string_view c) { return !isBlankCell(c); }));
}

// The signs between a chain break's two chainages in one cell: = or a
// full-width ＝.
constexpr std::string_view kEqualSigns[] = {"=", "\uff1d"};

bool isChainage(std::string_view c) { return std::holds_alternative<double>(readCellChainage(c)); }

// "behind = ahead", both chainages.
bool isEquation(std::string_view c) {
  return std::ranges::any_of(kEqualSigns, [&](std::string_view sign) {
    const std::size_t at = c.find(sign);
    return at != std::string_view::npos && isChainage(c.substr(0, at)) &&
           isChainage(c.substr(at + sign.size()));
  });
}

// A row's line: a number, a chainage or a chain break's equation in a cell.
bool holdsNumber(const Cells& cells) {
  return std::any_of(cells.begin(), cells.end(), [](std::string_view c) {
    return std::holds_alternative<double>(readCellNumber(c)) || isChainage(c) || isEquation(c);
  });
}

// A line of column numbers 1, 2, 3, … (blanks between allowed), as tables
// print under their heading.
bool isColumnNumbers(const Cells& cells) {
  if (filledCells(cells) < 2)
    return false;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (isBlankCell(cells[c]))
      continue;
    const Taken<double> n = readCellNumber(cells[c]);
    if (!std::holds_alternative<double>(n) || std::get<double>(n) != double(c + 1))
      return false;
  }
  return true;
}

// ---- The layout of a table: the column of each field it reads.

enum Role {
  NameColumn,
  NorthColumn,
  EastColumn,
  RadiusColumn,
  FirstColumn,
  SecondColumn,
  FirstParameterColumn,
  SecondParameterColumn,
  ChainageColumn,
  DeflectionColumn,
  LeftColumn,
  RightColumn,
  SpacingColumn,
  StraightColumn,
  ElevationColumn, // of a grade point
  BehindColumn,    // of a chain break
  AheadColumn,
  kRoles
};

struct Layout {
  std::array<std::optional<std::size_t>, kRoles> at{};
  std::vector<std::string> headings; // of each column; empty without a heading
  std::vector<Field> fields;         // of each column of a heading
};

PasteRefusal headingRefusal(std::size_t line, std::size_t column, CellFault fault,
                            std::string text) {
  return {line, column, {fault, std::move(text)}, {}};
}

// Each field in at most one column; the transitions and their parameters
// in one or two.
std::variant<Layout, PasteRefusal> layoutOf(const std::vector<Field>& fields,
                                            std::vector<std::string> headings,
                                            std::size_t headingLine) {
  Layout layout;
  layout.headings = std::move(headings);
  layout.fields = fields;
  const auto place = [&](Role role, std::size_t column) -> std::optional<PasteRefusal> {
    if (layout.at[role])
      return headingRefusal(headingLine, column, CellFault::TwoColumns, layout.headings[column]);
    layout.at[role] = column;
    return std::nullopt;
  };
  for (std::size_t c = 0; c < fields.size(); ++c) {
    std::optional<PasteRefusal> twice;
    switch (fields[c]) {
    case Field::Name: twice = place(NameColumn, c); break;
    case Field::North: twice = place(NorthColumn, c); break;
    case Field::East: twice = place(EastColumn, c); break;
    case Field::Radius: twice = place(RadiusColumn, c); break;
    case Field::Transition:
      twice = place(layout.at[FirstColumn] ? SecondColumn : FirstColumn, c);
      break;
    case Field::FirstTransition: twice = place(FirstColumn, c); break;
    case Field::SecondTransition: twice = place(SecondColumn, c); break;
    case Field::Parameter:
      twice =
          place(layout.at[FirstParameterColumn] ? SecondParameterColumn : FirstParameterColumn, c);
      break;
    case Field::FirstParameter: twice = place(FirstParameterColumn, c); break;
    case Field::SecondParameter: twice = place(SecondParameterColumn, c); break;
    case Field::Chainage: twice = place(ChainageColumn, c); break;
    case Field::Deflection: twice = place(DeflectionColumn, c); break;
    case Field::LeftDeflection: twice = place(LeftColumn, c); break;
    case Field::RightDeflection: twice = place(RightColumn, c); break;
    case Field::Spacing: twice = place(SpacingColumn, c); break;
    case Field::Straight: twice = place(StraightColumn, c); break;
    case Field::Elevation:
    case Field::Behind:
    case Field::Ahead:
    case Field::Computed:
    case Field::Unknown: break;
    }
    if (twice)
      return *twice;
  }
  if (!layout.at[NorthColumn])
    return headingRefusal(headingLine, 0, CellFault::NoColumn, "X");
  if (!layout.at[EastColumn])
    return headingRefusal(headingLine, 0, CellFault::NoColumn, "Y");
  return layout;
}

// name X Y R [Ls [ls2]]: the columns of a table without a heading.
Layout fixedLayout() {
  Layout layout;
  const Role order[] = {NameColumn,   NorthColumn, EastColumn,
                        RadiusColumn, FirstColumn, SecondColumn};
  for (std::size_t c = 0; c < std::size(order); ++c)
    layout.at[order[c]] = c;
  layout.headings = {"名称", "X", "Y", "R", "Ls", "ls2"};
  return layout;
}

// ---- Rows.

bool namedAs(std::string_view name, std::initializer_list<std::string_view> names) {
  std::string plain;
  for (const Word& w : wordsOf(name))
    plain += w.text;
  return std::ranges::find(names, plain) != names.end();
}
bool isStartName(std::string_view name) {
  return namedAs(name, {"bp", "qd", "起点", "路线起点", "bp起点", "起点bp"});
}
bool isEndName(std::string_view name) {
  return namedAs(name, {"ep", "zd", "终点", "路线终点", "ep终点", "终点ep"});
}

class RowReader {
public:
  RowReader(const Layout& layout, std::size_t line, const Cells& cells)
      : layout_(layout), line_(line), cells_(cells) {}

  const std::optional<PasteRefusal>& refusal() const { return refusal_; }

  std::string_view cell(Role role) const {
    return layout_.at[role] ? cellAt(cells_, *layout_.at[role]) : std::string_view();
  }
  bool given(Role role) const { return !isBlankCell(cell(role)); }
  bool has(Role role) const { return layout_.at[role].has_value(); }
  void missing(Role role) { refuse(role, {CellFault::Missing, {}}); }

  std::string name() {
    if (!layout_.at[NameColumn])
      return {};
    return take(NameColumn, readCellName(cell(NameColumn))).value_or(std::string());
  }
  double required(Role role) {
    if (!given(role)) {
      refuse(role, {CellFault::Missing, {}});
      return 0;
    }
    return number(role).value_or(0);
  }
  std::optional<double> number(Role role) {
    return given(role) ? take(role, readCellNumber(cell(role))) : std::nullopt;
  }
  double requiredChainage(Role role) {
    if (!given(role)) {
      refuse(role, {CellFault::Missing, {}});
      return 0;
    }
    return chainage(role).value_or(0);
  }
  std::optional<double> chainage(Role role) {
    return given(role) ? take(role, readCellChainage(cell(role))) : std::nullopt;
  }
  // A chain break's chainages in one cell, "behind = ahead" (an = or a
  // full-width ＝), or the chainage behind alone.
  std::pair<std::optional<double>, std::optional<double>> equation(Role role) {
    const std::string_view text = cell(role);
    for (std::string_view sign : kEqualSigns)
      if (const std::size_t at = text.find(sign); at != std::string_view::npos)
        return {take(role, readCellChainage(text.substr(0, at))),
                take(role, readCellChainage(text.substr(at + sign.size())))};
    return {chainage(role), std::nullopt};
  }
  std::optional<double> deflection() {
    if (given(DeflectionColumn))
      return take(DeflectionColumn, readCellDeflection(cell(DeflectionColumn)));
    if (given(LeftColumn) && given(RightColumn)) {
      refuse(RightColumn, {CellFault::TwoSides, std::string(cell(RightColumn))});
      return std::nullopt;
    }
    if (given(LeftColumn))
      return take(LeftColumn, readCellDeflection(cell(LeftColumn), DeflectionSide::Left));
    if (given(RightColumn))
      return take(RightColumn, readCellDeflection(cell(RightColumn), DeflectionSide::Right));
    return std::nullopt;
  }

private:
  template <class T> std::optional<T> take(Role role, const Taken<T>& read) {
    if (const auto* why = std::get_if<CellRefusal>(&read)) {
      refuse(role, *why);
      return std::nullopt;
    }
    return std::get<T>(read);
  }
  void refuse(Role role, CellRefusal why) {
    if (refusal_)
      return;
    const std::size_t column = layout_.at[role].value_or(0);
    const std::string heading =
        column < layout_.headings.size() ? layout_.headings[column] : std::string();
    refusal_ = PasteRefusal{line_, column, std::move(why), heading};
  }

  const Layout& layout_;
  std::size_t line_;
  const Cells& cells_;
  std::optional<PasteRefusal> refusal_;
};

// A transition from its length, or from its parameter A as A²/R.
double transitionOf(RowReader& row, Role length, Role parameter, double radius) {
  if (const auto ls = row.number(length))
    return *ls;
  const auto a = row.number(parameter);
  return a && radius > 0 ? *a * *a / radius : 0;
}

route::Jd jdOf(RowReader& row) {
  route::Jd jd;
  jd.name = row.name();
  jd.x = row.required(NorthColumn);
  jd.y = row.required(EastColumn);
  jd.radius = row.required(RadiusColumn);
  jd.ls1 = transitionOf(row, FirstColumn, FirstParameterColumn, jd.radius);
  if (row.given(SecondColumn) || row.given(SecondParameterColumn))
    jd.ls2 = transitionOf(row, SecondColumn, SecondParameterColumn, jd.radius);
  jd.chainage = row.chainage(ChainageColumn);
  jd.deflection = row.deflection();
  return jd;
}

// EP at its X and Y, or, where the row gives neither, placed by what else it
// gives (placedEnd): its spacing from the last JD, its straight, its
// chainage, or nothing.
route::EndPoint endOf(RowReader& row, PastedTable& table) {
  route::EndPoint end{row.name(), 0, 0, row.chainage(ChainageColumn)};
  if (row.given(NorthColumn) || row.given(EastColumn)) {
    end.x = row.required(NorthColumn);
    end.y = row.required(EastColumn);
  } else if (const auto spacing = row.number(SpacingColumn)) {
    end.distance = spacing;
    table.endGiven = EndGiven::Spacing;
  } else if (const auto straight = row.number(StraightColumn)) {
    table.endStraight = *straight;
    table.endGiven = EndGiven::Straight;
  } else {
    table.endGiven = end.chainage ? EndGiven::Chainage : EndGiven::Nothing;
  }
  return end;
}

// The heading's lines, the title and column numbers left out, each column
// read from its lowest text up.
struct Heading {
  std::vector<Cells> lines;
  std::size_t lastLine = 0; // of the text
};

// A heading cell as the notice names it: as a name cell reads it, or as it
// is where it is not one.
std::string headingText(std::string_view cell) {
  const Taken<std::string> name = readCellName(cell);
  return std::holds_alternative<std::string>(name) ? std::get<std::string>(name)
                                                   : std::string(cell);
}

// A heading that names nothing known is skipped, as a line of words above
// the rows: the columns are then the fixed ones. `fieldsOf` reads the
// heading's lines, `layoutOf` places the fields it found.
using FieldsOf = std::vector<Field> (*)(const std::vector<std::vector<std::string_view>>&);
using LayoutOf = std::variant<Layout, PasteRefusal> (*)(const std::vector<Field>&,
                                                        std::vector<std::string>, std::size_t);
std::variant<Layout, PasteRefusal> layoutOfHeading(const Heading& heading, FieldsOf fieldsOf,
                                                   LayoutOf layoutOf, Layout fixed) {
  std::vector<Cells> lines;
  std::size_t widest = 0;
  for (const Cells& l : heading.lines)
    widest = std::max(widest, filledCells(l));
  for (const Cells& l : heading.lines)
    if (!(filledCells(l) == 1 && widest >= 3)) // a title standing alone
      lines.push_back(l);
  const std::vector<Field> fields = fieldsOf(lines);
  std::vector<std::string> headings(fields.size());
  for (std::size_t c = 0; c < fields.size(); ++c)
    for (auto l = lines.rbegin(); l != lines.rend() && headings[c].empty(); ++l)
      if (!isBlankCell(cellAt(*l, c)))
        headings[c] = headingText(cellAt(*l, c));
  if (std::ranges::all_of(fields, [](Field f) { return f == Field::Unknown; }))
    return fixed;
  return layoutOf(fields, std::move(headings), heading.lastLine);
}

// The headings of a layout's columns that nothing reads: computed here, or
// not known.
void addUnread(const Layout& layout, std::vector<std::string>& computed,
               std::vector<std::string>& unknown) {
  for (std::size_t c = 0; c < layout.fields.size(); ++c) {
    const bool read = std::ranges::find(layout.at, std::optional(c)) != layout.at.end();
    if (read || layout.headings[c].empty())
      continue;
    (layout.fields[c] == Field::Computed ? computed : unknown).push_back(layout.headings[c]);
  }
}

// A pasted text as heading lines and rows: the lines before the first that
// holds a number, without a line of column numbers, blank lines skipped.
struct SplitTable {
  Heading heading;
  std::vector<std::pair<std::size_t, Cells>> rows; // each with its line
};
SplitTable splitTable(std::string_view text) {
  SplitTable table;
  bool inHeading = true;
  const std::vector<std::string_view> lines = split(text, '\n');
  for (std::size_t line = 0; line < lines.size(); ++line) {
    Cells cells = cellsOf(lines[line]);
    if (filledCells(cells) == 0)
      continue;
    if (isColumnNumbers(cells)) {
      inHeading = false;
      continue;
    }
    inHeading = inHeading && !holdsNumber(cells);
    if (inHeading) {
      table.heading.lines.push_back(std::move(cells));
      table.heading.lastLine = line;
    } else {
      table.rows.emplace_back(line, std::move(cells));
    }
  }
  return table;
}

// Each heading line's text of each column, an upper line's carried right
// over the blanks after it (merged cells), the lowest line's as it is.
std::vector<Cells> carriedTexts(const std::vector<std::vector<std::string_view>>& lines) {
  std::size_t width = 0;
  for (const auto& l : lines)
    width = std::max(width, l.size());
  std::vector<Cells> texts(lines.size(), Cells(width));
  for (std::size_t l = 0; l < lines.size(); ++l) {
    std::string_view carry;
    for (std::size_t c = 0; c < width; ++c) {
      const std::string_view own = cellAt(lines[l], c);
      if (!isBlankCell(own))
        carry = own;
      texts[l][c] = l + 1 < lines.size() ? carry : own;
    }
  }
  return texts;
}

// ---- The grade points' table (变坡点表, 竖曲线表).

struct GradeWord {
  std::string_view word;
  Field field;
};
constexpr std::array<GradeWord, 21> kGradeLatinWords = {{
    {"name", Field::Name},         {"no", Field::Name},          {"no.", Field::Name},
    {"pvi", Field::Name},          {"sjd", Field::Name},         {"k", Field::Chainage},
    {"chainage", Field::Chainage}, {"station", Field::Chainage}, {"sta", Field::Chainage},
    {"h", Field::Elevation},       {"z", Field::Elevation},      {"elevation", Field::Elevation},
    {"level", Field::Elevation},   {"r", Field::Radius},         {"rv", Field::Radius},
    {"radius", Field::Radius},     {"t", Field::Computed},       {"e", Field::Computed},
    {"l", Field::Computed},        {"i", Field::Computed},       {"grade", Field::Computed},
}};

// A grade table's heading word: the first rule that fits.
std::optional<Field> gradeWordField(const Word& w) {
  if (std::ranges::find(kSilentWords, w.text) != kSilentWords.end())
    return std::nullopt;
  if (!w.chinese) {
    const auto it = std::ranges::find(kGradeLatinWords, w.text, &GradeWord::word);
    return it == kGradeLatinWords.end() ? std::nullopt : std::optional(it->field);
  }
  if (contains(w.text, {"桩号", "里程"}))
    return Field::Chainage;
  if (contains(w.text, {"高程", "标高"}))
    return Field::Elevation;
  if (contains(w.text, {"半径"}))
    return Field::Radius;
  if (contains(w.text,
               {"坡度", "坡长", "坡差", "切线", "外距", "凸", "凹", "曲线长", "起点", "终点"}))
    return Field::Computed;
  if (contains(w.text, {"变坡点", "编号", "名称", "点号", "点名"}))
    return Field::Name;
  return std::nullopt;
}

// A text's field by a table's word rule: its most specific word (a name the
// least, a computed figure the most: 变坡点桩号 the chainage, 竖曲线切线长T
// computed).
using WordRule = std::optional<Field> (*)(const Word&);
std::optional<Field> textField(std::string_view text, WordRule wordField) {
  std::optional<Field> best;
  const auto rank = [](std::optional<Field> f) {
    return !f ? 0 : *f == Field::Name ? 1 : *f == Field::Computed ? 3 : 2;
  };
  for (const Word& w : wordsOf(text))
    if (const auto f = wordField(w); rank(f) > rank(best))
      best = f;
  return best;
}

// Each column's field: from its lowest heading line that names one.
std::vector<Field> fieldsBy(const std::vector<std::vector<std::string_view>>& lines,
                            WordRule wordField) {
  const std::vector<Cells> texts = carriedTexts(lines);
  const std::size_t width = texts.empty() ? 0 : texts.front().size();
  std::vector<Field> fields(width, Field::Unknown);
  for (std::size_t c = 0; c < width; ++c)
    for (std::size_t l = texts.size(); l-- > 0 && fields[c] == Field::Unknown;)
      fields[c] = textField(texts[l][c], wordField).value_or(Field::Unknown);
  return fields;
}

std::vector<Field> gradeFields(const std::vector<std::vector<std::string_view>>& lines) {
  return fieldsBy(lines, &gradeWordField);
}

// Each field in at most one column; the chainage and elevation needed.
std::variant<Layout, PasteRefusal> gradeLayoutOf(const std::vector<Field>& fields,
                                                 std::vector<std::string> headings,
                                                 std::size_t headingLine) {
  Layout layout;
  layout.headings = std::move(headings);
  layout.fields = fields;
  for (std::size_t c = 0; c < fields.size(); ++c) {
    const Field f = fields[c];
    const Role role = f == Field::Name        ? NameColumn
                      : f == Field::Chainage  ? ChainageColumn
                      : f == Field::Elevation ? ElevationColumn
                      : f == Field::Radius    ? RadiusColumn
                                              : kRoles;
    if (role == kRoles)
      continue;
    if (layout.at[role])
      return headingRefusal(headingLine, c, CellFault::TwoColumns, layout.headings[c]);
    layout.at[role] = c;
  }
  if (!layout.at[ChainageColumn])
    return headingRefusal(headingLine, 0, CellFault::NoColumn, "桩号");
  if (!layout.at[ElevationColumn])
    return headingRefusal(headingLine, 0, CellFault::NoColumn, "高程");
  return layout;
}

// name chainage elevation Rv: the grade table's columns, without a heading.
Layout fixedGradeLayout() {
  Layout layout;
  const Role order[] = {NameColumn, ChainageColumn, ElevationColumn, RadiusColumn};
  for (std::size_t c = 0; c < std::size(order); ++c)
    layout.at[order[c]] = c;
  layout.headings = {"名称", "桩号", "高程", "竖曲线半径"};
  return layout;
}

// ---- The chain breaks' table (断链表).

constexpr std::array<GradeWord, 17> kBreakLatinWords = {{
    {"name", Field::Name},
    {"no", Field::Name},
    {"no.", Field::Name},
    {"dl", Field::Name},
    {"behind", Field::Behind},
    {"back", Field::Behind},
    {"staback", Field::Behind},
    {"before", Field::Behind},
    {"chainage", Field::Behind},
    {"station", Field::Behind},
    {"ahead", Field::Ahead},
    {"staahead", Field::Ahead},
    {"after", Field::Ahead},
    {"long", Field::Computed},
    {"short", Field::Computed},
    {"value", Field::Computed},
    {"length", Field::Computed},
}};

// A break table's heading word: the first rule that fits.
std::optional<Field> breakWordField(const Word& w) {
  if (std::ranges::find(kSilentWords, w.text) != kSilentWords.end())
    return std::nullopt;
  if (!w.chinese) {
    const auto it = std::ranges::find(kBreakLatinWords, w.text, &GradeWord::word);
    return it == kBreakLatinWords.end() ? std::nullopt : std::optional(it->field);
  }
  if (contains(w.text, {"等号前", "断前", "断链前"}))
    return Field::Behind;
  if (contains(w.text, {"等号后", "断后", "断链后"}))
    return Field::Ahead;
  if (contains(w.text, {"长链", "短链", "断链值", "断链长", "差值"}))
    return Field::Computed;
  if (contains(w.text, {"桩号", "里程"}))
    return Field::Behind;
  if (contains(w.text, {"断链", "编号", "名称"}))
    return Field::Name;
  return std::nullopt;
}

std::vector<Field> breakFields(const std::vector<std::vector<std::string_view>>& lines) {
  return fieldsBy(lines, &breakWordField);
}

// Each field in at most one column; the chainage behind needed (the one
// ahead may stand in its cell).
std::variant<Layout, PasteRefusal> breakLayoutOf(const std::vector<Field>& fields,
                                                 std::vector<std::string> headings,
                                                 std::size_t headingLine) {
  Layout layout;
  layout.headings = std::move(headings);
  layout.fields = fields;
  for (std::size_t c = 0; c < fields.size(); ++c) {
    const Field f = fields[c];
    const Role role = f == Field::Name     ? NameColumn
                      : f == Field::Behind ? BehindColumn
                      : f == Field::Ahead  ? AheadColumn
                                           : kRoles;
    if (role == kRoles)
      continue;
    if (layout.at[role])
      return headingRefusal(headingLine, c, CellFault::TwoColumns, layout.headings[c]);
    layout.at[role] = c;
  }
  if (!layout.at[BehindColumn])
    return headingRefusal(headingLine, 0, CellFault::NoColumn, "断链桩号");
  return layout;
}

// name behind ahead: the break table's columns, without a heading.
Layout fixedBreakLayout() {
  Layout layout;
  const Role order[] = {NameColumn, BehindColumn, AheadColumn};
  for (std::size_t c = 0; c < std::size(order); ++c)
    layout.at[order[c]] = c;
  layout.headings = {"名称", "断前桩号", "断后桩号"};
  return layout;
}

// A row's break: behind and ahead from their columns, or both from the
// behind column's "behind = ahead".
route::ChainBreak breakOf(RowReader& row) {
  route::ChainBreak b;
  b.name = row.name();
  if (!row.given(BehindColumn)) {
    row.requiredChainage(BehindColumn);
    return b;
  }
  const auto [behind, inCell] = row.equation(BehindColumn);
  const std::optional<double> ahead = row.given(AheadColumn) ? row.chainage(AheadColumn) : inCell;
  b.behind = behind.value_or(0);
  if (!ahead && !row.refusal())
    row.missing(row.has(AheadColumn) ? AheadColumn : BehindColumn);
  b.ahead = ahead.value_or(0);
  return b;
}

} // namespace

std::vector<TableField> headingFields(const std::vector<std::vector<std::string_view>>& lines) {
  const std::vector<Cells> texts = carriedTexts(lines);
  const std::size_t width = texts.empty() ? 0 : texts.front().size();
  std::vector<Field> fields(width, Field::Unknown);
  std::vector<Group> groups(width, Group::None);
  std::vector<bool> eitherEast(width, false);
  for (std::size_t c = 0; c < width; ++c) {
    bool settled = false;
    for (std::size_t l = lines.size(); l-- > 0;) {
      const Reading r = textReading(texts[l][c]);
      if (r.group != Group::None && groups[c] == Group::None)
        groups[c] = r.group;
      if (settled)
        continue;
      if (r.field) {
        fields[c] = *r.field;
        settled = true;
      } else if (r.eitherEast && !eitherEast[c]) {
        eitherEast[c] = true;
        settled = l + 1 == lines.size();
      }
    }
  }
  // E beside X, or under 坐标, is Y; else the external distance.
  const bool eastElsewhere = std::ranges::find(fields, Field::East) != fields.end();
  for (std::size_t c = 0; c < width; ++c) {
    if (!eitherEast[c] || fields[c] != Field::Unknown)
      continue;
    const bool coordinate =
        groups[c] == Group::Coordinates ||
        (groups[c] == Group::None && !eastElsewhere && c > 0 && fields[c - 1] == Field::North);
    fields[c] = coordinate ? Field::East : Field::Computed;
  }
  return fields;
}

std::variant<PastedTable, PasteRefusal> pastedTable(std::string_view text) {
  const auto [heading, rows] = splitTable(text);
  Layout layout = fixedLayout();
  PastedTable table;
  if (!heading.lines.empty()) {
    auto headed = layoutOfHeading(heading, &headingFields, &layoutOf, fixedLayout());
    if (auto* refused = std::get_if<PasteRefusal>(&headed))
      return *refused;
    layout = std::move(std::get<Layout>(headed));
    addUnread(layout, table.computed, table.unknown);
  }

  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& [line, cells] = rows[i];
    RowReader row(layout, line, cells);
    const std::string_view name = row.cell(NameColumn);
    if (i == 0 && isStartName(name)) {
      table.start =
          route::StartPoint{row.name(), row.required(NorthColumn), row.required(EastColumn), 0};
      table.start->chainage = row.chainage(ChainageColumn).value_or(0);
    } else if (i + 1 == rows.size() && isEndName(name)) {
      table.end = endOf(row, table);
    } else {
      table.jds.push_back(jdOf(row));
    }
    if (row.refusal())
      return *row.refusal();
  }
  // A whole route from BP whose EP is to be placed.
  if (table.start && !table.end && !table.jds.empty() && table.jds.back().deflection) {
    table.end = route::EndPoint{};
    table.endGiven = EndGiven::Nothing;
  }
  return table;
}

std::size_t pastePlace(const route::RouteDefinition& definition, std::size_t before,
                       const PastedTable& table) {
  if (table.start)
    return 0;
  return table.end ? definition.jds.size() : std::min(before, definition.jds.size());
}

namespace {

// What a pasted table writes: BP, its named JDs at their place, EP; in
// place of every JD where it gives BP and EP.
struct TableRows {
  bool whole = false;
  std::size_t at = 0;
  std::vector<route::Jd> jds;
  std::optional<route::StartPoint> start;
  std::optional<route::EndPoint> end;
};

TableRows rowsOf(const route::RouteDefinition& definition, std::size_t before,
                 const PastedTable& table) {
  TableRows rows{
      table.start && table.end, pastePlace(definition, before, table), {}, table.start, table.end};
  std::vector<route::Jd> named = rows.whole ? std::vector<route::Jd>() : definition.jds;
  for (route::Jd jd : table.jds) {
    if (jd.name.empty())
      jd.name = nextName(named, "JD");
    named.push_back(jd);
    rows.jds.push_back(std::move(jd));
  }
  return rows;
}

void write(const TableRows& rows, route::RouteDefinition& d) {
  if (rows.whole) {
    d.method = route::Method::Jds;
    d.jds.clear();
  }
  if (rows.start)
    d.start = *rows.start;
  if (rows.end)
    d.end = *rows.end;
  d.jds.insert(d.jds.begin() + std::ptrdiff_t(std::min(rows.at, d.jds.size())), rows.jds.begin(),
               rows.jds.end());
}

// Far enough for any curve's end to lie before EP while it is placed.
constexpr double kFarAlong = 1e6; // metres

// The distance from the last JD that what the table gives places EP at,
// from the curve's tangent T2 and its end's measure; none where it gives
// nothing.
std::optional<double> givenDistance(const route::Route& r, double t2, double end,
                                    const PastedTable& table) {
  switch (table.endGiven) {
  case EndGiven::Spacing: return table.end->distance;
  case EndGiven::Straight: return table.endStraight + t2;
  case EndGiven::Chainage: {
    const std::vector<double> measures = r.measuresOf(*table.end->chainage);
    if (measures.empty())
      return std::nullopt;
    return *std::ranges::max_element(measures) - end + t2;
  }
  default: return std::nullopt;
  }
}

} // namespace

std::optional<EndPlacement> placedEnd(const route::RouteDefinition& definition, std::size_t before,
                                      const PastedTable& table) {
  if (!table.end || table.endGiven == EndGiven::Coordinates)
    return std::nullopt;
  route::RouteDefinition d = definition;
  write(rowsOf(definition, before, table), d);
  EndPlacement placement;
  placement.given = table.endGiven;
  if (d.jds.empty())
    return placement;
  const std::size_t last = d.jds.size() - 1;
  placement.jd = d.jds[last].name;
  // EP far along the straight: the last curve is then whole, its end and
  // T2 what they are wherever EP stands.
  d.end.distance = kFarAlong;
  const route::Route far(std::move(d));
  if (!far.hasGeometry() || !far.jd(last).inRoute)
    return placement;
  const route::JdResult jd = far.jd(last);
  const double t2 = jd.curve.tangent2;
  const std::optional<double> given = givenDistance(far, t2, jd.mainPoints.hz, table);
  placement.placed = true;
  // A chainage that names no point of the route lies before its start.
  placement.fits = table.endGiven == EndGiven::Nothing ||
                   (given && *given >= t2 + route::kGivenChainageTolerance);
  placement.distance = given && placement.fits ? *given : t2 + kLineBeyondCurve;
  return placement;
}

std::string endPlacedText(const EndPlacement& placement, const PastedTable& table) {
  const std::string ep = table.end ? table.end->name : "EP";
  if (!placement.placed)
    return chinese(Say::PasteEndNotPlaced, {ep, placement.jd});
  const std::string distance = lengthText(placement.distance, Precision::Field);
  const std::string chainage =
      table.end && table.end->chainage ? chainageText(*table.end->chainage, 3) : std::string();
  const std::string beyond = formatNumber(kLineBeyondCurve);
  if (!placement.fits)
    return chinese(table.endGiven == EndGiven::Chainage ? Say::PasteEndChainageBehindCurve
                                                        : Say::PasteEndDistanceBehindCurve,
                   {ep, distance, placement.jd, chainage, beyond});
  switch (placement.given) {
  case EndGiven::Spacing: return chinese(Say::PasteEndBySpacing, {ep, distance, placement.jd});
  case EndGiven::Straight:
    return chinese(Say::PasteEndByStraight,
                   {ep, distance, placement.jd, lengthText(table.endStraight, Precision::Field)});
  case EndGiven::Chainage:
    return chinese(Say::PasteEndByChainage, {ep, distance, placement.jd, chainage});
  default: return chinese(Say::PasteEndBeyondCurve, {ep, distance, placement.jd, {}, beyond});
  }
}

RouteChange pasteTable(const route::RouteDefinition& definition, std::size_t before,
                       const PastedTable& table) {
  TableRows rows = rowsOf(definition, before, table);
  if (const auto placement = placedEnd(definition, before, table); placement && placement->placed)
    rows.end->distance = placement->distance;
  // Made once, whatever the number of rows: a table of thousands of JDs
  // costs one computation of the route, not one for each.
  return [rows = std::move(rows)](route::Route& r) {
    route::RouteDefinition d = r.definition();
    write(rows, d);
    r = route::Route(std::move(d));
  };
}

std::variant<PastedGrades, PasteRefusal> pastedGradePoints(std::string_view text) {
  const auto [heading, rows] = splitTable(text);
  Layout layout = fixedGradeLayout();
  PastedGrades table;
  if (!heading.lines.empty()) {
    auto headed = layoutOfHeading(heading, &gradeFields, &gradeLayoutOf, fixedGradeLayout());
    if (auto* refused = std::get_if<PasteRefusal>(&headed))
      return *refused;
    layout = std::move(std::get<Layout>(headed));
    addUnread(layout, table.computed, table.unknown);
  }
  for (const auto& [line, cells] : rows) {
    RowReader row(layout, line, cells);
    route::GradePointRow point;
    point.name = row.name();
    point.chainage = row.requiredChainage(ChainageColumn);
    point.elevation = row.required(ElevationColumn);
    point.verticalRadius = row.number(RadiusColumn).value_or(0);
    if (row.refusal())
      return *row.refusal();
    table.points.push_back(std::move(point));
  }
  return table;
}

std::variant<PastedBreaks, PasteRefusal> pastedBreaks(std::string_view text) {
  const auto [heading, rows] = splitTable(text);
  Layout layout = fixedBreakLayout();
  PastedBreaks table;
  if (!heading.lines.empty()) {
    auto headed = layoutOfHeading(heading, &breakFields, &breakLayoutOf, fixedBreakLayout());
    if (auto* refused = std::get_if<PasteRefusal>(&headed))
      return *refused;
    layout = std::move(std::get<Layout>(headed));
    addUnread(layout, table.computed, table.unknown);
  }
  for (const auto& [line, cells] : rows) {
    RowReader row(layout, line, cells);
    route::ChainBreak b = breakOf(row);
    if (row.refusal())
      return *row.refusal();
    table.breaks.push_back(std::move(b));
  }
  return table;
}

RouteChange pasteBreaks(const route::RouteDefinition& definition, std::size_t before,
                        std::vector<route::ChainBreak> breaks) {
  std::vector<route::ChainBreak> all = definition.breaks;
  std::vector<route::ChainBreak> named = all;
  for (route::ChainBreak& b : breaks) {
    if (b.name.empty())
      b.name = nextName(named, "DL");
    named.push_back(b);
  }
  all.insert(all.begin() + std::ptrdiff_t(std::min(before, all.size())), breaks.begin(),
             breaks.end());
  return [all = std::move(all)](route::Route& r) { r.setBreaks(all); };
}

RouteChange pasteGradePoints(const route::RouteDefinition& definition, std::size_t before,
                             std::vector<route::GradePointRow> points) {
  std::vector<route::GradePointRow> all = definition.gradePoints;
  std::vector<route::GradePointRow> named = all;
  for (route::GradePointRow& p : points) {
    if (p.name.empty())
      p.name = nextName(named, "SJD");
    named.push_back(p);
  }
  all.insert(all.begin() + std::ptrdiff_t(std::min(before, all.size())), points.begin(),
             points.end());
  return [all = std::move(all)](route::Route& r) { r.setGradePoints(all); };
}

} // namespace quenlor

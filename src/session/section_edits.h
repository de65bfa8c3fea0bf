// SPDX-License-Identifier: GPL-3.0-or-later
// The edits a surveyor makes to the route's cross section through its
// tables (route_columns.h: the template, the curves' superelevation and
// widening, the station table): how a typed fall, size or choice is read,
// the rows a spreadsheet pastes and the text copying gives back, and the
// changes of the tables' buttons. As in route_edits.h, an edit is a change
// the caller runs through its RouteModel, holding copies of what it writes.
//
// Falls are in per cent. This program signs them one way everywhere: negative
// where the surface falls away from the centre line (a normal crown is -2,
// the inside of a superelevated curve -i_h, its outside +i_h). Design tables
// print a normal crown "2%" (or "2.0%"); in the template, a fall typed with a
// per cent sign is read that way: its size, falling away from the centre
// line ("2%" and "-2%" are both -2). A plain number is signed as this program
// signs falls ("-2" falls away, "2" rises). The station table's falls are
// signed as printed, with or without the per cent sign ("-6%", "6").
#pragma once

#include "session/route_edits.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenlor {

// A fall of the template: see above. "2%", "2 %", "-2%" are -2; "-2" is -2,
// "2" is 2; "", "2%%", "%" are not a number.
Taken<double> readTemplateFall(std::string_view text);

// A fall signed as printed, a per cent sign after it allowed: "-6%" and
// "-6" are -6, "6%" is 6.
Taken<double> readSignedFall(std::string_view text);

// A per cent without sign convention, as i_h is typed: "6" and "6%" are 6.
inline Taken<double> readPercent(std::string_view text) { return readSignedFall(text); }

// One of a list of choices, each with the words that name it (the first the
// one shown): the index of the choice whose word the text is, blanks
// trimmed; CellFault::NotAChoice otherwise.
using ChoiceWords = std::span<const std::string_view>;
Taken<std::size_t> readChoice(std::string_view text, std::span<const ChoiceWords> choices);

// The words of the section's choices, the shown one first.
std::string_view sideWord(section::Side side);            // 左, 右
std::string_view partKindWord(section::PartKind kind);    // 行车道, 硬路肩, 土路肩
std::string_view axisWord(section::Axis axis);            // 绕中线, 绕内边线, 绕外边线
std::string_view shapeWord(section::WideningShape shape); // 线性, 高次
Taken<section::Side> readSide(std::string_view text);     // 左, 左侧, L, left ...
Taken<section::PartKind> readPartKind(std::string_view text);   // 车道, 硬路肩, 土路肩 ...
Taken<section::Axis> readAxis(std::string_view text);           // 中线, 内边线, 外边线 ...
Taken<section::WideningShape> readShape(std::string_view text); // 线性, 高次抛物线 ...

// The template's rows: the left side's parts from the centre line outwards,
// then the right side's.
struct PartRow {
  section::Side side = section::Side::Left;
  std::size_t index = 0; // in its side's list
};
std::size_t partRows(const route::CrossSection& section);
PartRow partOfRow(const route::CrossSection& section, std::size_t row);
std::size_t rowOfPart(const route::CrossSection& section, section::Side side, std::size_t index);

// A new part for a side: a copy of its outermost part, or a lane of 3.5 m at
// the normal crown -2 % for a side without parts.
section::Part newPart(const route::CrossSection& section, section::Side side);

// The changes of the tables' buttons. Rows are indices in ascending order.
RouteChange setCrossSection(route::CrossSection section);
RouteChange appendPart(const route::CrossSection& section, section::Side side);
RouteChange eraseParts(const route::CrossSection& section, const std::vector<int>& rows);
// A new station row after the last one: 20 m beyond it at its falls, or at
// BP's chainage at the normal crown for the first.
RouteChange appendWideningRow(const route::RouteDefinition& definition);
RouteChange eraseWideningRows(const route::CrossSection& section, const std::vector<int>& rows);
RouteChange setTableAxis(const route::CrossSection& section, section::Axis axis);

// Pasted rows of the three tables: one line a row, cells separated by tabs,
// blank lines skipped, a first line whose number column does not read a
// heading; the first row that cannot be read refuses them all
// (PasteRefusal: its line and column).
//   template: side name kind width fall (a fall as the template reads it)
//   curves:   name i_h [runoff [axis [widening [shape]]]] (empty runoff: the
//             transitions'; empty axis, widening, shape: 绕中线, 0, 线性)
//   stations: chainage [left fall [right fall [left widening [right
//             widening]]]] (an empty fall: the normal crown; empty widening: 0)
struct PastedPart {
  section::Side side;
  section::Part part;
};
struct PastedCurve {
  std::string name;
  section::CurveSettings settings;
};
std::variant<std::vector<PastedPart>, PasteRefusal> pastedParts(std::string_view text);
std::variant<std::vector<PastedCurve>, PasteRefusal> pastedCurves(std::string_view text);
std::variant<std::vector<route::SectionStation>, PasteRefusal>
pastedWideningRows(std::string_view text);

// The changes pasted rows make: parts appended to their sides; each curve's
// settings given to its JD (arc element), the first of its name after the
// one of the row before (none: the index of the first row that names none,
// and nothing changes); station rows inserted before `before` (at the end
// from the table's size on).
RouteChange addParts(const route::CrossSection& section, const std::vector<PastedPart>& parts);
std::variant<RouteChange, std::size_t> setCurves(const route::RouteDefinition& definition,
                                                 const std::vector<PastedCurve>& curves);
RouteChange insertWideningRows(const route::CrossSection& section, std::size_t before,
                               const std::vector<route::SectionStation>& rows);

// The rows in the layouts the pastes read, numbers exact, one line each.
std::string copiedParts(const route::CrossSection& section, const std::vector<int>& rows);
// The curve rows are JDs, or elements of a route by elements (its arcs
// copied, the rest passed over).
std::string copiedCurves(const route::RouteDefinition& definition, const std::vector<int>& rows);
std::string copiedWideningRows(const route::CrossSection& section, const std::vector<int>& rows);

} // namespace quenlor

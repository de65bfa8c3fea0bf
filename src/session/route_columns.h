// SPDX-License-Identifier: GPL-3.0-or-later
// The tables of a whole route as data: a table is its rows and a list of
// columns, each column one row of data that says everything about it — its
// heading and tip, a sample of its widest text, the text of a cell, and for
// a typed column which rows take a text, what the editor starts from and the
// change a typed text makes (route_edits.h). A window shows any such table
// with one model; a new table is a new column list.
//
// The typed columns come first; the computed ones beside them follow the
// route. A computed cell with nothing to show (a JD left out, an angle point
// without curve, a route without geometry) is empty.
//
// The tables:
//   - the JDs: BP, one row a JD, EP. Name, X and Y are typed on every row;
//     R, Ls and ls2 on the JDs' (an empty ls2 is equal to Ls); the chainage
//     on BP's. Computed: the chainage of each JD and of EP, the deflection
//     (signed DMS to a tenth of a second, with the side it turns to), T1,
//     T2, L, E and the chainages of ZH, HY, QZ, YH and HZ.
//   - the chain breaks: name, behind and ahead typed; whether it is a long
//     or a short break and by how much.
//   - the grade points: name, chainage, elevation and vertical radius
//     typed; the grade to the next point (per cent) and its length, and the
//     vertical curve at the point: ω = i2 − i1 (per cent), crest 凸 or sag
//     凹, T, E, L and the chainages of its ends.
//   - the stations kept with the route: name, X, Y, elevation, instrument
//     height, the backsight's name, X and Y typed (an empty elevation or
//     height is not known); 在用 marks the station in use.
//   - the template (路幅): the left side's parts from the centre line
//     outwards, then the right side's. Name, kind (行车道, 硬路肩, 土路肩),
//     width and normal fall typed (a fall read as section_edits.h reads the
//     template's); the side, and the offset and rise of the part's outer
//     edge on a straight, computed.
//   - the curves' superelevation and widening (超高加宽): one row a JD. The
//     superelevation i_h (per cent), the runoff length (blank: the
//     transitions'), the axis of rotation, the widening and its shape typed;
//     the JD's name, side, R and transitions, where each runoff starts and
//     ends and its rate of rise (1/p) computed.
//   - the station table (超高加宽表): chainage, left and right fall (blank:
//     the normal crown), left and right widening typed; each side's width to
//     its edge and, with a profile, its edge's design elevation computed.
// Falls show signed to the hundredth of a per cent, negative falling away
// from the centre line.
// Lengths show to the millimetre; what the editor starts from is the typed
// value in full (exactText), so that an edit that changes nothing is none.
#pragma once

#include "session/route_edits.h"
#include "session/route_model.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

struct RouteColumn {
  std::string_view heading;     // unique within its table
  std::string_view tip;         // what the heading's tooltip says; empty for none
  std::string_view widthSample; // as wide as the widest text the column shows
  std::string (*text)(const RouteModel& model, std::size_t row) = nullptr;
  // A computed column has none of these.
  bool (*editable)(const RouteModel& model, std::size_t row) = nullptr;
  std::string (*editText)(const RouteModel& model, std::size_t row) = nullptr; // none: text
  Taken<RouteChange> (*apply)(const RouteModel& model, std::size_t row,
                              std::string_view typed) = nullptr;
};

// Whether a row's cell takes a text, and the text its editor starts from.
bool isEditable(const RouteColumn& column, const RouteModel& model, std::size_t row);
std::string editTextOf(const RouteColumn& column, const RouteModel& model, std::size_t row);

struct RouteTable {
  std::size_t (*rows)(const RouteModel& model) = nullptr;
  std::vector<RouteColumn> columns;
};

const RouteTable& jdTable();
const RouteTable& breakTable();
const RouteTable& gradeTable();
const RouteTable& templateTable();
const RouteTable& curveSectionTable();
const RouteTable& wideningTable(); // the station table (超高加宽表)
const RouteTable& stationTable();  // the instrument stations kept with the route

// The column of a heading in a table; none when it has no such column.
std::optional<std::size_t> columnOf(const RouteTable& table, std::string_view heading);

// The rows of the JD table: BP first, EP last.
std::optional<std::size_t> jdOfRow(const route::RouteDefinition& definition, std::size_t row);
inline std::size_t rowOfJd(std::size_t jd) { return jd + 1; }

// The row of its table a check of the route concerns: of the JD table for a
// JD, BP or EP (a check of the whole route goes with EP), of the chain
// break table for a chain break; none for a check of the other table.
std::optional<std::size_t> jdRowOfCheck(const route::Check& check,
                                        const route::RouteDefinition& definition);
std::optional<std::size_t> breakRowOfCheck(const route::Check& check,
                                           const route::RouteDefinition& definition);

} // namespace quenlor

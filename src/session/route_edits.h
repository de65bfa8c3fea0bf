// SPDX-License-Identifier: GPL-3.0-or-later
// The edits a surveyor makes to a whole route through its tables, as rules
// that need no window: how a typed cell is read, the name and place a new
// row takes, the rows a spreadsheet pastes and the text copying gives back.
//
// An edit is a change of the route (RouteChange) that the caller runs
// through its RouteModel, so that one place sees every edit. A change holds
// copies of the rows it writes: it may run after the definition it was made
// from has changed, and then writes those rows as they were made.
//
// Texts are UTF-8. A cell's blanks (space, tab, line breaks, the no-break
// and ideographic spaces and the other Unicode spaces) are trimmed at both
// ends before it is read.
#pragma once

#include "route/route.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenlor {

using RouteChange = std::function<void(route::Route&)>;

// Why a cell does not take a text.
enum class CellFault {
  NotANumber,       // not a plain decimal number
  BeyondRange,      // a number beyond ±1e9: the route could not be saved
  NotAChainage,     // neither K1+234.567 nor a plain number
  ControlCharacter, // in a name
  Missing,          // a pasted row without the cell, or the cell empty
  NotAnAngle,       // not an angle as surveyors write it (geometry/angle_text.h)
  TwoSides,         // a deflection said to turn both ways
  NoColumn,         // a pasted heading without the column (text: X or Y)
  TwoColumns,       // a pasted heading with the column twice (text: its heading)
  NotAnElementKind, // an element's 类型: 直线, 圆曲线 or 缓和曲线
  NotATurn,         // 左 or 右
  NotAnAzimuth,     // packed DMS from 0 to 360
  NotAChoice,       // not a word of the column's choices
};

struct CellRefusal {
  CellFault fault = CellFault::NotANumber;
  std::string text; // the cell's text as it was given

  bool operator==(const CellRefusal&) const = default;
};

// What a cell gives: its value, or why it does not take its text.
template <class T> using Taken = std::variant<T, CellRefusal>;

// A number as a cell takes it, strictly: a plain decimal number (an exponent
// allowed: "1.2e3") within ±1e9. Not a number: "", "12,5", "1 2", "+5",
// "0x10"; beyond the range: "1e10", "1e400", "inf", "nan".
Taken<double> readCellNumber(std::string_view text);

// A chainage as a cell takes it: K1+234.567 or a plain number
// (numeric/chainage_text.h), within ±1e9.
Taken<double> readCellChainage(std::string_view text);

// A deflection (转角) as a cell takes it, into packed DMS, right positive: an
// angle as surveyors write it (geometry/angle_text.h: 25°30′15.2″,
// 25-30-15.2, packed 25.30152), with its side before or after it (左 左转 左偏
// L Z, 右 右转 右偏 R Y, in brackets or not) or a sign in front, "−" too. A
// column of one side's deflections (左转, 右转) gives the side of a cell
// that names none. Refused: not an angle (NotAnAngle); a side and a sign,
// or a side against the column's (TwoSides).
enum class DeflectionSide { None, Left, Right };
Taken<double> readCellDeflection(std::string_view text,
                                 DeflectionSide column = DeflectionSide::None);

// Whether a cell holds nothing but blanks.
bool isBlankCell(std::string_view text);

// A name as a cell takes it: any text without control characters (tabs and
// line breaks are control characters), trimmed.
Taken<std::string> readCellName(std::string_view text);

// The shortest text that reads back as the same double: what the user typed
// comes back as typed ("1250.5", "3457291.707", "1e-05").
std::string exactText(double value);

// The number a name of the prefix ends in ("JD12" of "JD" is 12); 0 for a
// name of another prefix, without digits after it, or with more than eight.
long numberAfter(std::string_view name, std::string_view prefix);

// The next name of a kind: one past the highest number any row's name of
// the prefix ends in ("JD7" after JD1 … JD6, "JD1" when there is none).
template <class Rows> std::string nextName(const Rows& rows, std::string_view prefix) {
  long highest = 0;
  for (const auto& row : rows)
    highest = std::max(highest, numberAfter(row.name, prefix));
  return std::string(prefix) + std::to_string(highest + 1);
}

// A new JD to go before `index` (at the end for jdCount()): halfway between
// the points either side of it (BP or the JD before, the JD at index or EP,
// where the route places them),
// with the curve of the JD before it (none before the first) and the next
// JD name. A surveyor then types its coordinates.
route::Jd newJdAt(const route::Route& route, std::size_t index);

// A new chain break with the next DL name, at the whole chainage nearest the
// middle of the route, behind and ahead equal (no break yet).
route::ChainBreak newBreak(const route::Route& route);

// A new grade point with the next SJD name: 100 m beyond the last one at its
// elevation, or at BP's chainage at elevation 0 for the first; no curve.
route::GradePointRow newGradePoint(const route::RouteDefinition& definition);

// The changes of the table's buttons. Rows and JDs are indices in ascending
// order, each once; an index beyond the list throws when the change runs.
RouteChange insertJds(std::size_t before, std::vector<route::Jd> jds);
RouteChange eraseJds(std::vector<std::size_t> jds);
// The two JDs change places.
RouteChange swapJds(const route::RouteDefinition& definition, std::size_t a, std::size_t b);
RouteChange appendBreak(const route::Route& route);
RouteChange eraseBreaks(const route::RouteDefinition& definition, const std::vector<int>& rows);
RouteChange appendGradePoint(const route::RouteDefinition& definition);
RouteChange eraseGradePoints(const route::RouteDefinition& definition,
                             const std::vector<int>& rows);

// A new station with the next T name, at BP, its backsight at the first JD
// (or EP): a surveyor then types its coordinates.
route::StationRow newStation(const route::RouteDefinition& definition);
RouteChange appendStation(const route::RouteDefinition& definition);
RouteChange eraseStations(const route::RouteDefinition& definition, const std::vector<int>& rows);
// The station of the row in use, and no other; none: the boxes' station.
RouteChange useStationAt(const route::RouteDefinition& definition, std::optional<std::size_t> row);

// Why pasted rows were refused (session/design_table.h reads them): the
// line and column, counted from 0, the column's heading, and why.
struct PasteRefusal {
  std::size_t line = 0;
  std::size_t column = 0;
  CellRefusal cell;
  std::string heading;

  bool operator==(const PasteRefusal&) const = default;
};

// The JDs as a table without heading pastes them back: name X Y R Ls ls2,
// tab-separated, numbers exact, one line each.
std::string copiedJds(const std::vector<route::Jd>& jds);

} // namespace quenlor

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
  Missing,          // a pasted row too short to have the cell
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
// the points either side of it (BP or the JD before, the JD at index or EP),
// with the curve of the JD before it (none before the first) and the next
// JD name. A surveyor then types its coordinates.
route::Jd newJdAt(const route::RouteDefinition& definition, std::size_t index);

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

// Why pasted rows were refused: the cell, counted from 0, and why.
struct PasteRefusal {
  std::size_t line = 0;
  std::size_t column = 0; // 0 name, 1 X, 2 Y, 3 R, 4 Ls, 5 ls2
  CellRefusal cell;

  bool operator==(const PasteRefusal&) const = default;
};

// JD rows copied from a spreadsheet: one line a row ("\n" or "\r\n"), cells
// separated by tabs, name X Y R [Ls [ls2]] (an empty or missing Ls is 0, an
// empty or missing ls2 equal to Ls; cells beyond the sixth are ignored). A
// first line whose X is not a number is a heading and is skipped; blank
// lines are skipped. The first row that cannot be read refuses them all.
std::variant<std::vector<route::Jd>, PasteRefusal> pastedJds(std::string_view text);

// The JDs in the layout pastedJds() reads, numbers exact, one line each.
std::string copiedJds(const std::vector<route::Jd>& jds);

} // namespace quenlor

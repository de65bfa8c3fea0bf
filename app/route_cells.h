// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the route panel's cells: numbers as a cell takes and shows
// them, rows pasted from a spreadsheet and copied back, and the route's
// checks as a surveyor reads them.
#pragma once

#include "route/route.h"

#include <QString>

#include <optional>
#include <vector>

namespace quenlor {

// A number as a cell takes it, strictly: a plain decimal number (an exponent
// allowed, blanks around it ignored) within ±1e9 m, so that the route can
// always be saved. Nothing when it is not; `why` then says so, naming the
// text.
std::optional<double> cellNumber(const QString& text, QString& why);

// A chainage as a cell takes it: K1+234.567 or a plain number, within ±1e9.
std::optional<double> cellChainage(const QString& text, QString& why);

// A name as a cell takes it: any text without control characters.
bool cellName(const QString& text, QString& why);

// The shortest text that reads back as the same double: what the user typed
// comes back as typed.
QString exactText(double value);

// A length to the millimetre.
QString metresText(double value);

// JD rows copied from a spreadsheet: one line a row, cells separated by tabs,
// name X Y R [Ls [ls2]] (an empty or missing Ls is 0, an empty or missing
// ls2 equal to Ls; cells beyond the sixth are ignored). A first line whose X
// is not a number is a heading and is skipped; blank lines are skipped.
// Nothing when a row cannot be read; `why` then names its line and column.
std::optional<std::vector<route::Jd>> pastedJds(const QString& text, QString& why);

// The JDs in the layout pastedJds() reads, numbers exact, one line each.
QString copiedJds(const std::vector<route::Jd>& jds);

// A check as one line for the user, naming the JD or chain break.
QString checkText(const route::Check& check, const route::RouteDefinition& definition);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// What the route panel says about its cells: why a typed or pasted cell was
// not taken, and the route's checks as a surveyor reads them.
#pragma once

#include "route/route.h"
#include "session/route_edits.h"

#include <QString>

namespace quenlor {

// Why a cell did not take a text, naming the text.
QString refusalText(const CellRefusal& refusal);

// The tables rows are pasted into, each with its own layout of cells.
enum class PastedTable { Jds, Parts, Curves, Stations };

// Why pasted rows were not taken, naming the line and column, and for a
// row too short, the layout a row has.
QString pasteRefusalText(const PasteRefusal& refusal, PastedTable table = PastedTable::Jds);

// A check as one line for the user, naming the JD or chain break.
QString checkText(const route::Check& check, const route::RouteDefinition& definition);

} // namespace quenlor

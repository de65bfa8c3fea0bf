// SPDX-License-Identifier: GPL-3.0-or-later
// What the route panel says about its cells: why a typed or pasted cell was
// not taken, and the route's checks as a surveyor reads them.
#pragma once

#include "route/route.h"
#include "session/design_table.h"
#include "session/element_edits.h"
#include "session/route_edits.h"

#include <QString>

namespace quenlor {

// Why a cell did not take a text, naming the text.
QString refusalText(const CellRefusal& refusal);

// Why pasted rows were not taken, naming the line and column.
QString pasteRefusalText(const PasteRefusal& refusal);
QString pasteRefusalText(const ElementPasteRefusal& refusal);
// The tables rows are pasted into, each with its own layout of cells.
enum class SectionPaste { Jds, Parts, Curves, Stations };

// Why pasted rows of a cross-section table were not taken, naming the line
// and column, and for a row too short, the layout a row has.
QString pasteRefusalText(const PasteRefusal& refusal, SectionPaste table);

// What a pasted table brought in, and the columns it left unread.
QString pastedText(const PastedTable& table);
// The columns a pasted table left unread, as the notice's tail ("；未读入 …").
QString unreadText(const std::vector<std::string>& computed,
                   const std::vector<std::string>& unknown);

// A check as one line for the user, naming the JD, element or chain break.
QString checkText(const route::Check& check, const route::RouteDefinition& definition);

} // namespace quenlor

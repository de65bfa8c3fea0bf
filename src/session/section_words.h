// SPDX-License-Identifier: GPL-3.0-or-later
// The cross section's checks (section/sections.h) in words, for the window
// (Chinese) and the driver (English), each naming what it concerns, and the
// table row each concerns: a part of the template, a JD's curve, a row of
// the station table.
#pragma once

#include "route/route.h"
#include "section/sections.h"

#include <cstddef>
#include <optional>
#include <string>

namespace quenlor {

enum class Words { English, Chinese };

// One line: "JD3: ..." / "JD3：...".
std::string sectionCheckText(const section::Check& check, const route::Route& route, Words words);

// The table a check concerns, and the row there.
enum class SectionTable { Template, Curves, Stations };
struct SectionRow {
  SectionTable table;
  std::size_t row;
};
SectionRow sectionRowOf(const section::Check& check, const route::RouteDefinition& definition);

} // namespace quenlor

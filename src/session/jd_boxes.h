// SPDX-License-Identifier: GPL-3.0-or-later
// Between a JD of a whole route and the boxes: the boxes filled from a JD as
// a surveyor would type them, whether they still hold it as filled, the JD
// whose stretch holds a chainage, and the JD as the boxes now describe it.
// The boxes keep their own formulas; filling them changes nothing of the
// route, and the route changes only when the user writes the boxes back.
#pragma once

#include "form/controls.h"
#include "route/route.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlor {

class Form;

// The edits, in the order a surveyor types them: the JD's name (Text7), its
// chainage (Text8), the deflection (Text6, signed), R (Text9), Ls (Text10),
// ls2 (Text42), the JD's X and Y (Text13, Text14), the next JD's (Text15,
// Text16: the next JD in the route, or EP) and the incoming azimuth (Text17).
// The deflection is packed with the fraction of a second it has (to a
// microsecond); the incoming azimuth with whole seconds, as the boxes write
// every azimuth (the outgoing one in Text18 among them), since the exchange
// of the outgoing azimuth and the deflection loses a second a round to an
// incoming azimuth with a fraction. Nothing for a JD that is not in the route.
std::vector<std::pair<Box, std::string>> boxEditsForJd(const route::Route& route,
                                                       std::size_t index);

// Types the edits into the form, each one an edit that runs its handlers.
void fillBoxes(Form& form, const std::vector<std::pair<Box, std::string>>& edits);

// The boxes of the JD's curve: those a fill types and those their handlers
// write (Text6 to Text25, Text34, Text42). The others, the chainage to
// compute with its results and the station's rows, are the surveyor's own.
inline constexpr std::array<Box, 22> kJdBoxes{
    Box::Text6,  Box::Text7,  Box::Text8,  Box::Text9,  Box::Text10, Box::Text11,
    Box::Text12, Box::Text13, Box::Text14, Box::Text15, Box::Text16, Box::Text17,
    Box::Text18, Box::Text19, Box::Text20, Box::Text21, Box::Text22, Box::Text23,
    Box::Text24, Box::Text25, Box::Text34, Box::Text42};

// Whether every box of kJdBoxes is empty.
bool jdBoxesEmpty(const Form& form);

// The boxes as a fill from a JD left them.
struct FilledJd {
  std::size_t jd = 0;
  std::vector<std::pair<Box, std::string>> edits; // as typed
  std::array<std::string, kJdBoxes.size()> held;  // what kJdBoxes held after
  bool forChainage = false;                       // for a chainage typed into Text26
};

// Fills the boxes from the JD (boxEditsForJd, fillBoxes) and notes what they
// hold after; nothing, and no edit, for a JD that is not in the route.
std::optional<FilledJd> fillFromJd(Form& form, const route::Route& route, std::size_t jd);

// Whether the boxes still hold the JD as filled: no box of kJdBoxes changed
// since, and the route gives the same edits for it now.
bool stillHolds(const FilledJd& filled, const Form& form, const route::Route& route);

// The JD whose stretch of the route holds a measure: from halfway between
// the curve before it and its own to halfway between its own and the curve
// after it (BP and EP at the ends). JDs left out of the route have none;
// nothing for a route by elements or a measure off the route.
std::optional<std::size_t> jdAtMeasure(const route::Route& route, double measure);

// The JD with what the boxes hold for it: its name (Text7), X and Y
// (Text13, Text14), R (Text9), Ls (Text10) and ls2 (Text42); a box that holds
// no finite number keeps the JD's own value, and an ls2 equal to Ls stays
// "equal to Ls" where the JD had it so.
route::Jd jdFromBoxes(const Form& form, const route::Jd& jd);

// The index of the JD of that name, if the route has one.
std::optional<std::size_t> jdNamed(const route::Route& route, std::string_view name);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Between a JD of a whole route and the boxes: the boxes filled from a JD as
// a surveyor would type them, and the JD as the boxes now describe it. The
// boxes keep their own formulas; filling them changes nothing of the route,
// and the route changes only when the user writes the boxes back.
#pragma once

#include "form/controls.h"
#include "route/route.h"

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

// The JD with what the boxes hold for it: its name (Text7), X and Y
// (Text13, Text14), R (Text9), Ls (Text10) and ls2 (Text42); a box that holds
// no finite number keeps the JD's own value, and an ls2 equal to Ls stays
// "equal to Ls" where the JD had it so.
route::Jd jdFromBoxes(const Form& form, const route::Jd& jd);

// The index of the JD of that name, if the route has one.
std::optional<std::size_t> jdNamed(const route::Route& route, std::string_view name);

} // namespace quenlor

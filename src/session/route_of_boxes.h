// SPDX-License-Identifier: GPL-3.0-or-later
// The route as the boxes describe it, for the views and tools beside the
// computations: read with the same lenient parse and the same boxes as the
// point at a chainage, without touching the calculation state.
#pragma once

#include "chainage/route_point.h"
#include "chainage/stakes.h"

#include <optional>

namespace quenlor {

class Form;

// Nothing when a box holds a number beyond the double range or an angle whose
// radians overflow.
std::optional<RouteInputs> routeOfBoxes(const Form& form);

// The setting-out from the station boxes (Text35, Text36) to a point.
SetOut setOutFromStationBoxes(const Form& form, double x, double y);

// A stake table's request with the station and the main points (Text21 to
// Text25) taken from the boxes.
StakeTableRequest stakeTableRequest(const Form& form, double start, double end, double interval,
                                    double offset);

} // namespace quenlor

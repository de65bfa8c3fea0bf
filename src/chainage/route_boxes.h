// The route as the boxes describe it, for the views and tools beside the
// computations: read with the same lenient parse and the same boxes as the
// point at a chainage, without touching the calculation state.
#pragma once

#include "chainage/route_point.h"

#include <optional>

namespace quenlor {

class Form;

// Nothing when a box holds a number beyond the double range or an angle whose
// radians overflow.
std::optional<RouteInputs> routeOfBoxes(const Form& form);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The curves of a route (route/route.h) as the cross section takes them: one
// span for each JD, in the JDs' order, so a curve's index in the checks is
// its JD's. A JD left out of the route, or an angle point without curve,
// gives a span that changes nothing (turn 0).
#pragma once

#include "route/route.h"
#include "section/runoff.h"

#include <vector>

namespace quenlor::section {

// settings[i] for JD i; a JD beyond the list has none.
std::vector<CurveSpan> curveSpans(const route::Route& route,
                                  const std::vector<CurveSettings>& settings);
// With the settings each JD holds (route/definition.h).
std::vector<CurveSpan> curveSpans(const route::Route& route);

} // namespace quenlor::section

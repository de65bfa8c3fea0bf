// SPDX-License-Identifier: GPL-3.0-or-later
// The curves of a route (route/route.h) as the cross section takes them: one
// span for each JD, in the JDs' order, so a curve's index in the checks is
// its JD's. A JD left out of the route, or an angle point without curve,
// gives a span that changes nothing (turn 0).
//
// A route by elements: one span for each element, in the rows' order; each
// arc (as made) is a curve, from HY at its start to YH at its end, its first
// transition the clothoid before it where that turns its way and ends at its
// curvature (ZH its start), its second the clothoid after it that starts at
// its curvature (HZ its end); without one, ZH = HY or HZ = YH. Any other
// element changes nothing. An egg between two arcs is the second transition
// of the one and the first of the other: their runoffs overlap there
// (sections.h).
#pragma once

#include "route/route.h"
#include "section/runoff.h"

#include <vector>

namespace quenlor::section {

// settings[i] for JD i (element i); one beyond the list has none.
std::vector<CurveSpan> curveSpans(const route::Route& route,
                                  const std::vector<CurveSettings>& settings);
// With the settings each JD (each element row) holds (route/definition.h).
std::vector<CurveSpan> curveSpans(const route::Route& route);

} // namespace quenlor::section

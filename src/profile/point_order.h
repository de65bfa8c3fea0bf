// SPDX-License-Identifier: GPL-3.0-or-later
// Which grade points a profile goes through: those with finite numbers, in
// strictly increasing measure, leaving out as few as possible.
#pragma once

#include "profile/profile.h"

#include <cstddef>
#include <vector>

namespace quenlor {

// The indices of the points used, in route order. Of the points with a
// finite measure, elevation, radius and lengths, the longest run whose measures
// strictly increase is kept; among runs as long, the one whose indices come
// first. Every point left out gets a check: NotFinite, or OutOfOrder or
// SameMeasure against the kept point before it (when that one is not behind
// it) or else the kept point after it.
std::vector<std::size_t> usablePoints(const std::vector<GradePoint>& points,
                                      std::vector<ProfileCheck>& checks);

} // namespace quenlor

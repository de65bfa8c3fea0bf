// SPDX-License-Identifier: GPL-3.0-or-later
// A route's stations are the centre line's (alignment/station.h).
#pragma once

#include "alignment/station.h"

namespace quenlor::route {

using quenlor::parseStation;
using quenlor::Station;
using quenlor::stationText;

} // namespace quenlor::route

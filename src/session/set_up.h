// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up the field tools and the stake sheets set out from: the station
// the instrument stands over, its elevation and the instrument's height, and
// the backsight it is oriented on. The route's station in use where it has
// one (route/definition.h: StationRow), else the boxes of the form: the
// station of Text35 and Text36, its elevation Text37, the instrument height
// Text38, the backsight Text39 and Text1, each known only when its boxes
// hold a number.
#pragma once

#include "chainage/stakes.h"
#include "route/definition.h"

#include <optional>
#include <string>

namespace quenlor {

class Form;

struct StationSetUp {
  std::string name, backsightName; // empty for the boxes'
  std::optional<PlanePoint> station, backsight;
  std::optional<double> elevation, instrumentHeight;

  // The orientation: from the station to the backsight, the azimuth to set
  // on the instrument and the distance to check; none without both points.
  std::optional<SetOut> orientation() const;
  bool operator==(const StationSetUp&) const = default;
};

// The route's station in use, when it has one.
const route::StationRow* stationInUse(const route::RouteDefinition& route);

StationSetUp setUpOf(const Form& form, const route::RouteDefinition* route);

} // namespace quenlor

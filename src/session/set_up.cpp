// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/set_up.h"

#include "form/form.h"
#include "session/curve_of_boxes.h"

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

// A box's number when it holds one.
std::optional<double> numberOf(const Form& form, Box box) {
  const double value = form.number(box);
  if (form.text(box).empty() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<PlanePoint> pointOf(const Form& form, Box x, Box y) {
  const auto north = numberOf(form, x), east = numberOf(form, y);
  if (!north || !east)
    return std::nullopt;
  return PlanePoint{*north, *east};
}

} // namespace

std::optional<SetOut> StationSetUp::orientation() const {
  if (!station || !backsight)
    return std::nullopt;
  return setOutFrom(*station, *backsight);
}

const route::StationRow* stationInUse(const route::RouteDefinition& route) {
  const auto it = std::ranges::find_if(route.stations, &route::StationRow::inUse);
  return it == route.stations.end() ? nullptr : &*it;
}

StationSetUp setUpOf(const Form& form, const route::RouteDefinition* route) {
  StationSetUp s;
  if (const route::StationRow* kept = route ? stationInUse(*route) : nullptr) {
    s.name = kept->name;
    s.backsightName = kept->backsightName;
    s.station = PlanePoint{kept->x, kept->y};
    s.backsight = PlanePoint{kept->backsightX, kept->backsightY};
    s.elevation = kept->elevation;
    s.instrumentHeight = kept->instrumentHeight;
    return s;
  }
  s.station = stationOfBoxes(form);
  s.backsight = pointOf(form, Box::Text39, Box::Text1);
  s.elevation = numberOf(form, Box::Text37);
  s.instrumentHeight = numberOf(form, Box::Text38);
  return s;
}

} // namespace quenlor

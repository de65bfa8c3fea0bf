// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_of_boxes.h"

#include "chainage/route_boxes.h"
#include "form/form.h"
#include "form/main_points.h"
#include "geometry/angle.h"
#include "numeric/number_text.h"

#include <cmath>

namespace quenlor {

std::optional<RouteInputs> routeOfBoxes(const Form& form) {
  RouteInputs in;
  for (const RouteBox& r : kRouteBoxes) {
    const double value = parseNumber(form.text(r.box));
    if (!std::isfinite(value))
      return std::nullopt;
    if (r.box == kDeflectionBox)
      in.turnSign = turnSignOf(value);
    in.*r.input = r.keptRadians == nullptr ? value : radiansOf(value);
    if (!std::isfinite(in.*r.input))
      return std::nullopt;
  }
  return in;
}

SetOut setOutFromStationBoxes(const Form& form, double x, double y) {
  return setOutFrom(parseNumber(form.text(Box::Text35)), parseNumber(form.text(Box::Text36)), x, y);
}

StakeTableRequest stakeTableRequest(const Form& form, double start, double end, double interval,
                                    double offset) {
  StakeTableRequest request;
  request.start = start;
  request.end = end;
  request.interval = interval;
  request.offset = offset;
  request.stationX = parseNumber(form.text(Box::Text35));
  request.stationY = parseNumber(form.text(Box::Text36));
  for (std::size_t i = 0; i < kMainPoints.size(); ++i)
    request.mainPoints[i] = parseNumber(form.text(kMainPoints[i].box));
  return request;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_of_boxes.h"

#include "form/form.h"
#include "geometry/angle.h"

#include <cmath>

namespace quenlor {

std::optional<RouteInputs> routeOfBoxes(const Form& form) {
  bool finite = true;
  const auto read = [&](Box box) {
    const double value = form.number(box);
    finite = finite && std::isfinite(value);
    return finite ? value : 0.0;
  };
  RouteInputs in;
  in.radius = read(Box::Text9);
  in.transitionLength = read(Box::Text10);
  in.tangentLength = read(Box::Text11);
  in.jdX = read(Box::Text13);
  in.jdY = read(Box::Text14);
  in.zhChainage = read(Box::Text21);
  in.qzChainage = read(Box::Text23);
  in.hzChainage = read(Box::Text25);
  const double deflectionDms = read(Box::Text6);
  const double incomingDms = read(Box::Text17);
  const double outgoingDms = read(Box::Text18);
  if (!finite)
    return std::nullopt;
  in.turnSign = turnSignOf(deflectionDms);
  in.incomingAzimuth = radiansOf(incomingDms);
  in.deflection = radiansOf(deflectionDms);
  in.outgoingAzimuth = radiansOf(outgoingDms);
  if (!std::isfinite(in.incomingAzimuth) || !std::isfinite(in.deflection) ||
      !std::isfinite(in.outgoingAzimuth))
    return std::nullopt;
  return in;
}

SetOut setOutFromStationBoxes(const Form& form, double x, double y) {
  return setOutFrom(form.number(Box::Text35), form.number(Box::Text36), x, y);
}

StakeTableRequest stakeTableRequest(const Form& form, double start, double end, double interval,
                                    double offset) {
  StakeTableRequest request;
  request.start = start;
  request.end = end;
  request.interval = interval;
  request.offset = offset;
  request.stationX = form.number(Box::Text35);
  request.stationY = form.number(Box::Text36);
  const Box mains[] = {Box::Text21, Box::Text22, Box::Text23, Box::Text24, Box::Text25};
  for (std::size_t i = 0; i < std::size(mains); ++i)
    request.mainPoints[i] = form.number(mains[i]);
  return request;
}

} // namespace quenlor

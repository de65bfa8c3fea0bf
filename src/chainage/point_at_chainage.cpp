// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/point_at_chainage.h"

#include "chainage/route_point.h"
#include "form/form.h"
#include "geometry/angle.h"
#include "numeric/fault.h"
#include "setout/station.h"

namespace quenlor {
namespace {

// Reads the route around the JD from the boxes, in the order the boxes are
// read, keeping each value in the state as it goes.
RouteInputs readRoute(Form& form) {
  CalcState& st = form.state();
  RouteInputs in;
  in.chainage = form.read(Box::Text26);
  store(st.radius, form.read(Box::Text9));
  in.transitionLength = form.read(Box::Text10);
  store(st.tangentLength, form.read(Box::Text11));
  store(st.jdX, form.read(Box::Text13));
  store(st.jdY, form.read(Box::Text14));
  store(st.zhChainage, form.read(Box::Text21));
  store(st.qzChainage, form.read(Box::Text23));
  store(st.hzChainage, form.read(Box::Text25));
  store(st.incomingAzimuthDms, form.read(Box::Text17));
  store(st.incomingAzimuth, radiansOf(st.incomingAzimuthDms));
  store(st.deflectionDms, form.read(Box::Text6));
  in.turnSign = turnSignOf(st.deflectionDms);
  store(st.deflection, radiansOf(st.deflectionDms));
  store(st.outgoingAzimuthDms, form.read(Box::Text18));
  store(st.outgoingAzimuth, radiansOf(st.outgoingAzimuthDms));

  in.radius = st.radius;
  in.tangentLength = st.tangentLength;
  in.jdX = st.jdX;
  in.jdY = st.jdY;
  in.zhChainage = st.zhChainage;
  in.qzChainage = st.qzChainage;
  in.hzChainage = st.hzChainage;
  in.incomingAzimuth = st.incomingAzimuth;
  in.deflection = st.deflection;
  in.outgoingAzimuth = st.outgoingAzimuth;
  return in;
}

void writeOffset(Form& form, Box box, const std::optional<double>& offset) {
  if (offset)
    form.write(box, *offset);
  else
    form.edit(box, "");
}

// The station sights the point as the boxes now show it.
void setOutPoint(Form& form) {
  sightFromStation(
      form, Box::Text27, Box::Text28, Box::Text31,
      {&CalcState::setOutDistance, &CalcState::setOutAzimuth, &CalcState::pointElevation});
  const CalcState& st = form.state();
  form.write(Box::Text29, st.setOutAzimuth);
  form.write(Box::Text30, st.setOutDistance);
  form.write(Box::Text32, st.pointElevation);
}

} // namespace

void Text26_Change(Form& form) {
  const RouteInputs in = readRoute(form);
  const RoutePoint point = routePoint(in);
  CalcState& st = form.state();
  store(st.chordDeflection, point.chordDeflection);
  store(st.chordAzimuth, point.chordAzimuth);

  form.write(Box::Text27, point.x);
  form.write(Box::Text28, point.y);
  writeOffset(form, Box::Text44, point.localX);
  writeOffset(form, Box::Text45, point.localY);
  setOutPoint(form);
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "intersection/tangent_azimuth.h"

#include "form/form.h"
#include "geometry/angle.h"
#include "geometry/azimuth.h"
#include "geometry/constants.h"
#include "geometry/distance.h"
#include "numeric/fault.h"

namespace quenlor {
namespace {

void computeTangentAzimuths(Form& form, double tangentNudge) {
  CalcState& st = form.state();
  store(st.jdX, form.read(Box::Text13));
  store(st.jdY, form.read(Box::Text14));
  store(st.nextJdX, form.read(Box::Text15));
  store(st.nextJdY, form.read(Box::Text16));
  store(st.incomingAzimuthDms, form.read(Box::Text17));

  store(st.horizontalDistance, planeDistance(st.jdX, st.jdY, st.nextJdX, st.nextJdY));
  double outgoingDms = 0;
  fwjjs(outgoingDms, st.jdX, st.jdY, st.nextJdX, st.nextJdY);
  store(st.outgoingAzimuthDms, outgoingDms);

  store(st.hzChainage, form.read(Box::Text25));
  store(st.tangentLength, form.read(Box::Text11) + tangentNudge);
  store(st.nextJdChainage, st.horizontalDistance + st.hzChainage - st.tangentLength);

  store(st.incomingAzimuth, radiansOf(st.incomingAzimuthDms));
  store(st.outgoingAzimuth, radiansOf(st.outgoingAzimuthDms));
  store(st.jdDeflection, st.outgoingAzimuth - st.incomingAzimuth);
  store(st.jdDeflectionDms, packedOf(st.jdDeflection));

  // The exchange started here leaves its own deflection in the state, and
  // that is the one Text19 shows.
  form.write(Box::Text18, st.outgoingAzimuthDms);
  form.write(Box::Text19, st.jdDeflectionDms);
  form.write(Box::Text20, st.nextJdChainage);
}

} // namespace

void tangentAzimuthFromCoordinates(Form& form) { computeTangentAzimuths(form, 0.0); }

void Text17_Change(Form& form) { computeTangentAzimuths(form, kAzimuthEditNudge); }

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "intersection/exchange.h"

#include "form/form.h"
#include "geometry/angle.h"
#include "numeric/fault.h"

namespace quenlor {
void Text18_Change(Form& form) {
  CalcState& st = form.state();
  store(st.incomingAzimuthDms, form.read(Box::Text17));
  store(st.outgoingAzimuthDms, form.read(Box::Text18));
  store(st.incomingAzimuth, radiansOf(st.incomingAzimuthDms));
  store(st.outgoingAzimuth, radiansOf(st.outgoingAzimuthDms));
  store(st.jdDeflection, st.outgoingAzimuth - st.incomingAzimuth);
  store(st.jdDeflectionDms, packedOf(st.jdDeflection));
  form.write(Box::Text19, st.jdDeflectionDms);
}

void Text19_Change(Form& form) {
  CalcState& st = form.state();
  store(st.incomingAzimuthDms, form.read(Box::Text17));
  store(st.jdDeflectionDms, form.read(Box::Text19));
  store(st.incomingAzimuth, radiansOf(st.incomingAzimuthDms));
  store(st.jdDeflection, radiansOf(st.jdDeflectionDms));
  store(st.outgoingAzimuth, st.incomingAzimuth + st.jdDeflection);
  store(st.outgoingAzimuthDms, packedOf(st.outgoingAzimuth));
  form.write(Box::Text18, st.outgoingAzimuthDms);
}

} // namespace quenlor

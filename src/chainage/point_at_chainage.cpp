// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/point_at_chainage.h"

#include "chainage/curve_boxes.h"
#include "chainage/curve_point.h"
#include "form/form.h"
#include "geometry/angle.h"
#include "numeric/fault.h"
#include "setout/station.h"

namespace quenlor {
namespace {

// Reads the curve around the JD from the boxes, in the order of the table,
// keeping each value in the state as it goes; a packed angle is kept as
// typed and then in radians.
BoxCurve readCurve(Form& form) {
  CalcState& st = form.state();
  BoxCurve in;
  in.chainage = form.read(Box::Text26);
  for (const CurveBox& r : kCurveBoxes) {
    const double value = form.read(r.box);
    if (r.kept != nullptr)
      store(st.*r.kept, value);
    if (r.box == kDeflectionBox)
      in.turnSign = turnSignOf(value);
    if (r.keptRadians == nullptr) {
      in.*r.input = value;
      continue;
    }
    store(st.*r.keptRadians, radiansOf(value));
    in.*r.input = st.*r.keptRadians;
  }
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
  const BoxCurve in = readCurve(form);
  const CurvePoint point = curvePoint(in);
  CalcState& st = form.state();
  store(st.chordDeflection, point.chordDeflection);
  store(st.chordAzimuth, point.chordAzimuth);

  form.write(Box::Text27, point.at.x);
  form.write(Box::Text28, point.at.y);
  writeOffset(form, Box::Text44, point.localX);
  writeOffset(form, Box::Text45, point.localY);
  setOutPoint(form);
}

} // namespace quenlor

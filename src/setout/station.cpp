// SPDX-License-Identifier: GPL-3.0-or-later
#include "setout/station.h"

#include "form/form.h"
#include "geometry/angle.h"
#include "geometry/azimuth.h"
#include "geometry/distance.h"
#include "numeric/fault.h"
#include "setout/elevation.h"

#include <cmath>

namespace quenlor {
namespace {

struct Heights {
  double stationElevation, instrumentHeight, prismHeight, heightDifference;
};

// The station coordinates and heights, read into the state in the order the
// station rows are read.
void readStation(Form& form) {
  CalcState& st = form.state();
  store(st.stationX, form.read(Box::Text35));
  store(st.stationY, form.read(Box::Text36));
  store(st.stationElevation, form.read(Box::Text37));
  store(st.instrumentHeight, form.read(Box::Text38));
}

} // namespace

void sightFromStation(Form& form, Box x, Box y, Box heightDifference, SightingResults results) {
  CalcState& st = form.state();
  readStation(form);
  store(st.targetX, form.read(x));
  store(st.targetY, form.read(y));
  store(st.prismHeight, form.read(Box::Text41));
  store(st.heightDifference, form.read(heightDifference));

  store(st.*results.distance, planeDistance(st.stationX, st.stationY, st.targetX, st.targetY));
  double azimuth = 0;
  fwjjs(azimuth, st.stationX, st.stationY, st.targetX, st.targetY);
  store(st.*results.azimuthDms, azimuth);
  store(st.*results.elevation, sightedElevation(st.instrumentHeight, st.stationElevation,
                                                st.prismHeight, st.heightDifference));
}

void stationBacksight(Form& form) {
  sightFromStation(form, Box::Text39, Box::Text1, Box::Text40,
                   {&CalcState::horizontalDistance, &CalcState::backsightAzimuth,
                    &CalcState::backsightElevation});
  const CalcState& st = form.state();
  form.write(Box::Text3, st.horizontalDistance);
  form.write(Box::Text4, st.backsightAzimuth);
  form.write(Box::Text2, st.backsightElevation);
}

void Command6_Click(Form& form) {
  CalcState& st = form.state();
  readStation(form);
  store(st.prismHeight, form.read(Box::Text41));
  store(st.heightDifference, form.read(Box::Text40));
  store(st.horizontalDistance, form.read(Box::Text3));
  store(st.backsightAzimuth, form.read(Box::Text4));
  // The writes below recompute the station and backsight, which overwrite the
  // shared values; the click keeps what it needs in its own.
  const Heights heights{st.stationElevation, st.instrumentHeight, st.prismHeight,
                        st.heightDifference};

  store(st.backsightAzimuthRadians, radiansOf(st.backsightAzimuth));
  const double x = std::cos(st.backsightAzimuthRadians) * st.horizontalDistance + st.stationX;
  const double y = std::sin(st.backsightAzimuthRadians) * st.horizontalDistance + st.stationY;
  store(st.targetX, x);
  store(st.targetY, y);

  form.write(Box::Text1, y);
  form.write(Box::Text39, x);
  store(st.backsightElevation, sightedElevation(heights.instrumentHeight, heights.stationElevation,
                                                heights.prismHeight, heights.heightDifference));
  form.write(Box::Text2, st.backsightElevation);
}

} // namespace quenlor

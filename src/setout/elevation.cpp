// SPDX-License-Identifier: GPL-3.0-or-later
#include "setout/elevation.h"

#include "form/form.h"
#include "numeric/fault.h"
#include "numeric/number_text.h"

namespace quenlor {
namespace {

// Reads the three height boxes of the station, then the given height
// difference box, into the state.
void readHeights(Form& form, Box heightDifferenceBox) {
  CalcState& st = form.state();
  store(st.stationElevation, form.read(Box::Text37));
  store(st.instrumentHeight, form.read(Box::Text38));
  store(st.prismHeight, form.read(Box::Text41));
  store(st.heightDifference, form.read(heightDifferenceBox));
}

double elevationOfState(const CalcState& st) {
  return sightedElevation(st.instrumentHeight, st.stationElevation, st.prismHeight,
                          st.heightDifference);
}

void refreshBacksightElevation(Form& form, Box heightDifferenceBox) {
  readHeights(form, heightDifferenceBox);
  CalcState& st = form.state();
  store(st.backsightElevation, elevationOfState(st));
  form.write(Box::Text2, st.backsightElevation);
}

} // namespace

double sightedElevation(double instrumentHeight, double stationElevation, double prismHeight,
                        double heightDifference) {
  return instrumentHeight + stationElevation - prismHeight + heightDifference;
}

void backsightElevationFromStationRow(Form& form) { refreshBacksightElevation(form, Box::Text40); }

void Text5_Change(Form& form) { refreshBacksightElevation(form, Box::Text5); }

void Text2_Change(Form& form) {
  const std::string shown = formatNumber(form.state().backsightElevation);
  form.write(Box::Text2, parseNumber(shown));
}

void Text31_Change(Form& form) {
  readHeights(form, Box::Text31);
  CalcState& st = form.state();
  store(st.pointElevation, elevationOfState(st));
  form.write(Box::Text32, st.pointElevation);
}

void Text3_Change(Form&) {}

} // namespace quenlor

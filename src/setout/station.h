// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument station and its backsight.
#pragma once

#include "form/calc_state.h"

namespace quenlor {

class Form;
enum class Box : int;

// Where the results of a sighting from the station go in the state.
struct SightingResults {
  double CalcState::*distance;
  double CalcState::*azimuthDms;
  double CalcState::*elevation;
};

// The station (Text35 ... Text38), the sighted point from two boxes, the prism
// height (Text41) and a height difference box, read into the state in that
// order; then the distance, the azimuth (packed DMS) and the elevation of the
// point, stored in that order. Writes no box.
void sightFromStation(Form& form, Box x, Box y, Box heightDifference, SightingResults results);

// From the station (Text35, Text36) and the backsight (Text39, Text1), with the
// heights of the station rows: the distance (Text3), the azimuth (Text4) and
// the backsight's elevation (Text2). All arithmetic comes before the first
// write, so a run writes the three boxes or none. The four coordinate boxes
// share this body.
void stationBacksight(Form& form);
inline void Text1_Change(Form& form) { stationBacksight(form); }
inline void Text35_Change(Form& form) { stationBacksight(form); }
inline void Text36_Change(Form& form) { stationBacksight(form); }
inline void Text39_Change(Form& form) { stationBacksight(form); }

// "支点计算": the point at the distance (Text3) and azimuth (Text4) from the
// station becomes the backsight: Y into Text1, then X into Text39 (each write
// recomputes the station and backsight), then its elevation into Text2, with
// the height difference of Text40.
void Command6_Click(Form& form);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Elevations of sighted points by trigonometric heighting.
#pragma once

namespace quenlor {

class Form;

// Elevation of a sighted point: instrument height + station elevation - prism
// height + height difference, added up left to right in exactly that order.
double sightedElevation(double instrumentHeight, double stationElevation, double prismHeight,
                        double heightDifference);

// The backsight elevation (Text2) from the station elevation, instrument height
// and prism height, with the height difference of the station rows (Text40)
// or of the distance row (Text5): whichever was edited last counts.
void backsightElevationFromStationRow(Form& form);
inline void Text37_Change(Form& form) { backsightElevationFromStationRow(form); }
inline void Text38_Change(Form& form) { backsightElevationFromStationRow(form); }
inline void Text40_Change(Form& form) { backsightElevationFromStationRow(form); }
inline void Text41_Change(Form& form) { backsightElevationFromStationRow(form); }
void Text5_Change(Form& form);

// Keeps Text2 display-only: whatever is typed there is replaced at once by the
// last computed backsight elevation (0 before any).
void Text2_Change(Form& form);

// The computed point's elevation (Text32) from its height difference (Text31).
void Text31_Change(Form& form);

// The distance box starts nothing: a side-shot reads it when clicked.
void Text3_Change(Form& form);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The point of the curve at the chainage typed into Text26, with its
// setting-out values from the instrument station.
#pragma once

namespace quenlor {

class Form;

// Reads the curve (Text9, Text10, Text11, Text21, Text23, Text25), the JD
// (Text13, Text14) and the angles (Text17, Text6, Text18) afresh, places the
// point and writes X, Y and the tangent offsets (Text27, Text28, Text44,
// Text45; the offsets empty on the straights). Then, from the station boxes
// and the point as just written, the setting-out azimuth, distance and the
// point's elevation with the height difference of Text31 (Text29, Text30,
// Text32). Only an edit of Text26 recomputes the point.
void Text26_Change(Form& form);

} // namespace quenlor

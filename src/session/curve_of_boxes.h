// SPDX-License-Identifier: GPL-3.0-or-later
// The curve as the boxes describe it, for the views and tools beside the
// computations: read with the same lenient parse and the same boxes as the
// point at a chainage, without touching the calculation state.
#pragma once

#include "chainage/curve_point.h"
#include "chainage/stake_table.h"

#include <optional>

namespace quenlor {

class Form;

// The curve the boxes describe, with the second transition of Text42 and its
// own tangent: the curve the curve elements describe, which the point at a
// chainage in the boxes treats as symmetric. Nothing when a box holds a
// number beyond the double range or an angle whose radians overflow.
std::optional<BoxCurve> curveOfBoxes(const Form& form);

// The station of Text35 and Text36, when both hold a number: the tools beside
// the boxes know no station whose place is only half typed (the boxes'
// own computations read an empty box as 0).
std::optional<PlanePoint> stationOfBoxes(const Form& form);

// A stake table's request with the station and the main points (Text21 to
// Text25) taken from the boxes.
StakeTableRequest stakeTableRequest(const Form& form, double start, double end, double interval,
                                    double offset, StakeSpacing spacing);

} // namespace quenlor

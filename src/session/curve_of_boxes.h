// SPDX-License-Identifier: GPL-3.0-or-later
// The curve as the boxes describe it, for the views and tools beside the
// computations: read with the same lenient parse and the same boxes as the
// point at a chainage, without touching the calculation state.
#pragma once

#include "chainage/curve_line.h"
#include "chainage/curve_point.h"

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

// The curve as a centre line (chainage/curve_line.h): with the chainages of
// its main points as Text21 to Text25 hold them, and the next JD of Text15
// and Text16 when both hold a number. Nothing where curveOfBoxes gives none.
std::optional<BoxCurveLine::Inputs> curveLineOfBoxes(const Form& form);

} // namespace quenlor

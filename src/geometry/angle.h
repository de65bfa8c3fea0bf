// SPDX-License-Identifier: GPL-3.0-or-later
// Packed DMS angles and radians.
//
// Packed DMS is one signed decimal number ddd.mmss...: the integer part is whole
// degrees (any number of digits, never reduced to a circle), the first two
// decimals whole minutes, the next two whole seconds, any further decimals the
// fraction of a second; the sign belongs to the whole angle. 30.152055 is
// 30 deg 15 min 20.55 s, 10.2 is 10 deg 20 min, -30.152 is -(30 deg 15 min
// 20 s). Minutes or seconds of 60 and more are taken at face value (30.75 is
// 31.25 deg). Radians use kPi throughout.
#pragma once

namespace quenlor {

// dh: packed DMS to radians. The digits are the decimal digits of |packed| as
// a box shows it (15 significant digits), so 2.01 is exactly 2 deg 1 min
// whatever its binary value. A magnitude whose radians overflow is a fault;
// an infinite or NaN input comes back as it is.
void dh(double& radians, const double& packed);

// hd: radians to packed DMS with whole seconds, the fraction of a second
// dropped (toward zero for a negative angle). An angle within rounding noise
// of a whole second counts as that second (the larger one where the count
// lies exactly halfway), so hd(dh(x)) gives back x for every x with whole
// seconds. Degrees are not reduced: 7 rad is 401.0413.
void hd(double& packed, const double& radians);

// The two conversions as values, for formulas.
inline double radiansOf(double packed) {
  double radians = 0;
  dh(radians, packed);
  return radians;
}

inline double packedOf(double radians) {
  double packed = 0;
  hd(packed, radians);
  return packed;
}

} // namespace quenlor

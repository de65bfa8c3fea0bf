// SPDX-License-Identifier: GPL-3.0-or-later
// Angles as a surveyor reads them: degrees, minutes and seconds (12°20′44.3″)
// or packed DMS. From radians at full precision (the whole route's angles,
// with the true pi), with as many decimals of a second as asked for, rounded
// once (59.96 seconds with one decimal carries into the next minute); or from
// a packed angle with whole seconds as the boxes' computations give it.
#pragma once

#include <string>

namespace quenlor {

// "12°20′44.3″" for secondDecimals = 1; a negative angle starts with '-'.
std::string dmsText(double radians, int secondDecimals = 1);

// Packed DMS ddd.mmss followed by the decimals of the second: "12.20443" for
// secondDecimals = 1.
std::string packedDmsText(double radians, int secondDecimals = 1);

// A packed angle (251.3750) as 251°37′50″, a fraction of a second rounded
// to the whole second with its carry (41.295994 is 41°30′00″); nothing for a
// value that is not a finite number.
std::string dmsTextOfPacked(double packed);

} // namespace quenlor

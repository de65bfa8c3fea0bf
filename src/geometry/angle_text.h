// SPDX-License-Identifier: GPL-3.0-or-later
// Angles as a surveyor reads them: degrees, minutes and seconds (12°20′44.3″)
// or packed DMS. From radians at full precision (the whole route's angles,
// with the true pi), with as many decimals of a second as asked for, rounded
// once (59.96 seconds with one decimal carries into the next minute); or from
// a packed angle with whole seconds as the boxes' computations give it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// An azimuth (radians, the true pi) as packed DMS to a millionth of a
// second, reduced to [0, 360) degrees and without trailing zeros: "30" for
// 30°, "123.4512345" for 123°45′12.345″. An azimuth within half a millionth
// of a second of a whole turn is "360"; azimuthOfPacked reads it as 0.
std::string packedAzimuthText(double radians);

// A packed DMS azimuth as written (packedAzimuthText, or typed): digits,
// optionally a point and more digits, no sign, no exponent, blanks around it
// allowed; minutes and seconds below 60 ("30.6" is 30°60′ and is refused,
// as is "361"), the fraction of a second rounded to a millionth. Radians
// in [0, 2 pi) with the true pi, 360° itself being 0; nothing for any other
// text. The two undo each other: an azimuth read comes back as its text.
std::optional<double> azimuthOfPacked(std::string_view text);

} // namespace quenlor

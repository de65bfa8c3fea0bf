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

// Reads an angle as surveyors write it, into packed DMS (ddd.mmss and the
// decimals of the second, the sign in front), built from its decimal digits
// so that "25°30′15.2″" and "25.30152" give the same double:
//   - degrees, minutes and seconds with their marks: 25°30′15.2″, 25°30'15.2",
//     25º30’15.2”, 25°30′, 25°, 25度30分15.2秒, 25d30m15.2s (blanks between
//     the parts allowed);
//   - the three parts separated by hyphens or colons: 25-30-15.2, 25:30:15.2;
//   - a packed number: 25.30152.
// A '-' or '+' may stand in front; blanks around the text are ignored.
// Degrees and minutes are whole where a smaller part follows; minutes and
// seconds are below 60; at most six decimals of a second. Refused (nothing):
// "", "25°70′" and "25.7" (70 minutes), "25°30.5′15″", "25°15″30′" (out of
// order), "1e3", "25°30′x", "--5", "25-30".
std::optional<double> parsePackedAngle(std::string_view text);

// A packed angle in radians with the true pi (the whole route's angles), its
// parts read from the digits of the packed number's shortest decimal text:
// 25.30152 is exactly 25°30′15.2″. Minutes or seconds of 60 and more are
// taken at face value, as dh takes them.
double radiansOfPackedDms(double packed);
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

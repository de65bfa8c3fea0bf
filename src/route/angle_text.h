// SPDX-License-Identifier: GPL-3.0-or-later
// Angles of the route as a surveyor reads them, from radians at full
// precision: degrees, minutes and seconds with as many decimals of a second
// as asked for, rounded once (59.96 seconds with one decimal carries into the
// next minute).
#pragma once

#include <string>

namespace quenlor::route {

// "12°20'44.3\"" for secondDecimals = 1; a negative angle starts with '-'.
std::string dmsText(double radians, int secondDecimals = 1);

// Packed DMS ddd.mmss followed by the decimals of the second: "12.20443" for
// secondDecimals = 1.
std::string packedDmsText(double radians, int secondDecimals = 1);

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// Chainages as surveyors write them: K1+234.567 is 1234.567 m from the
// route's origin, kilometres before the plus and metres after it. A negative
// chainage keeps its sign in front of the kilometres: K-0+012.500 is -12.5 m
// and K-1+234.500 is -1234.5 m. This one writing is used everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

// "K3+080.500" for 3080.5, with `decimals` (0 to 6) decimals of a metre,
// rounded before the kilometres are split off, so that 1999.9996 is
// "K2+000.000". Beyond a trillion metres the plain number; nothing for a
// value that is not a finite number.
std::string chainageText(double chainage, int decimals = 3);

// The fewest decimals, from three to six, that write the chainage as it was
// typed, to a thousandth of its last decimal: 3 for 2480 and for a computed
// 2480.0000000001, 4 for 2479.9999, 6 for anything finer. What a message
// shows of a chainage the user gave, so that K2+479.9999 is not said to be
// K2+480.000.
int typedDecimals(double chainage);

// Reads a chainage typed into a tool: "K1+234.567", "k1+234.5", "1+234.567",
// "K-0+012.5", or a plain decimal number such as "1234.567", "-12.5" or
// "1.2e3", with blanks around it ignored. The metres after the plus are
// below 1000, written with digits and at most one point; a K stands only
// before kilometres and a plus. Nothing for a text that is not such a
// chainage, the empty text included.
std::optional<double> parseChainage(std::string_view text);

} // namespace quenlor

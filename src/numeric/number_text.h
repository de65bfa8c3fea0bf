// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the text of a box and the number a computation uses.
#pragma once

#include <string>
#include <string_view>

namespace quenlor {

// Reads the leading number of a box's text, leniently, as surveyors type it.
//
// Every space, tab and line feed is removed first, wherever it stands. Then the
// longest prefix of this form is taken, and the rest ignored:
//
//   [+|-] digits [. [digits]] [(E|e|D|d) [+|-] digits]
//
// with at least one digit before or after the period. "12.5m" reads 12.5,
// "1,000" reads 1, "-.5" reads -0.5, "5." reads 5, "5.e3" reads 5000, "1.2.3"
// reads 1.2; an exponent letter without digits ends the number ("1e" and
// "1e+" read 1). A text that starts with "&H" or "&O" (either case) followed
// by hexadecimal or octal digits reads as that non-negative integer ("&H1F"
// is 31); with no digit after the prefix it reads 0. Only the period is a
// decimal separator, whatever the locale. A text with no number at its start,
// the empty text included, reads 0.
//
// A number too large for a double reads as an infinity of its sign; the
// caller treats that as an arithmetic fault. One too small reads as 0 or a
// subnormal.
double parseNumber(std::string_view text);

// Writes a number as a box shows it: C's "%.15G" in the C locale (15
// significant digits, trailing zeros and a trailing point dropped, exponent
// form "1E+20", "1E-07" outside the fixed range), with negative zero written
// "0". The value must be finite.
std::string formatNumber(double value);

// The 15 significant digits of |value| (finite, not zero), correctly rounded
// as "%.15G" rounds them, trailing zeros dropped: value = 0.d1d2... x 10^point.
struct DecimalDigits {
  char digit[15];
  int count; // 1 to 15
  int point; // digits before the decimal point; 0 or less below 1
};
DecimalDigits roundedDigits(double value);

// The same into a buffer, without allocating; returns the length written.
inline constexpr std::size_t kNumberTextCapacity = 32;
std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value);

// Whether the number's text reads back as a finite number: false for inf and
// nan, and for the few doubles within rounding of the largest one, whose 15
// digits round up past it (1.7976931348623157e308 is written
// 1.79769313486232E+308). Computations treat such a value as an overflow.
bool isWritableNumber(double value);

} // namespace quenlor

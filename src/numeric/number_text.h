// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the text of a box and the number a computation uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
// as "%.15G" rounds them: value = 0.d1d2...d15 x 10^point, the digits those
// of `fifteen`.
struct DecimalDigits {
  std::uint64_t fifteen; // 10^14 <= fifteen < 10^15
  int count;             // 1 to 15: the digits left when trailing zeros are dropped
  int point;             // digits before the decimal point; 0 or less below 1

  // The digits at places first to last - 1, the first digit's place being 0,
  // as an integer: places outside 0 to 14 count as zeros. At most 19 places
  // from place 0 or `first`, whichever is later, so that it fits.
  std::uint64_t digitsAt(int first, int last) const;
};
DecimalDigits roundedDigits(double value);

// The same into a buffer, without allocating; returns the length written.
inline constexpr std::size_t kNumberTextCapacity = 32;
std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value);

// The same, and the number the text reads back as (parseNumber of it, bit for
// bit) where its digits tell it without reading the text: nearly always; not
// where its last digit stands more than 22 places from the units place (15
// digits below about 1e-8, or 1e37 and above), where readsAs is nullopt. The
// value must be writable (isWritableNumber).
std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value,
                           std::optional<double>& readsAs);

// The largest double whose number text reads back finite: the next one up,
// 1.7976931348623151e308, is written 1.79769313486232E+308, which is beyond
// the largest double (1.7976931348623157e308).
inline constexpr double kLargestWritableNumber = 0x1.ffffffffffffbp+1023;

// Whether the number's text reads back as a finite number: false for inf and
// nan, and for the few doubles within rounding of the largest one, whose 15
// digits round up past it. Computations treat such a value as an overflow.
inline bool isWritableNumber(double value) {
  return value <= kLargestWritableNumber && value >= -kLargestWritableNumber;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Lengths as plain decimal text, both ways. Read strictly, as the driver's
// arguments, the field tools' chainages and the files' cells are: the whole
// text one decimal number in the double range (std::from_chars' grammar: a
// sign, digits, a point, an exponent), nothing before or after it. Unlike
// the boxes' lenient reading there are no blanks, no units and no &H forms.
// Written as a stake sheet shows them, to the millimetre or with every digit;
// what lengthText writes, strictNumber reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

// The number, or nothing for any other text, the empty one included, and for
// a number beyond the double range.
std::optional<double> strictNumber(std::string_view text);

// Lengths to the millimetre and angles as degrees, minutes and whole seconds
// (251°37′50″), as a stake sheet shows them; or every digit, angles packed.
enum class Precision { Field, Full };

// A length at the precision asked: three decimals ("-0.000" never: half a
// millimetre either side of 0 is "0.000"), or every digit the boxes show
// (numeric/number_text.h), as also at field precision from 1e15 on, where
// three decimals would be false digits; nothing for a value that is not a
// finite number.
std::string lengthText(double value, Precision precision);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// A number read strictly, as the driver's arguments, the field tools'
// chainages and the files' cells are: the whole text one decimal number in
// the double range (std::from_chars' grammar: a sign, digits, a point, an
// exponent), nothing before or after it. Unlike the boxes' lenient reading
// there are no blanks, no units and no &H forms.
#pragma once

#include <optional>
#include <string_view>

namespace quenlor {

// The number, or nothing for any other text, the empty one included, and for
// a number beyond the double range.
std::optional<double> strictNumber(std::string_view text);

} // namespace quenlor

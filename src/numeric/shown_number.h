// SPDX-License-Identifier: GPL-3.0-or-later
// A number text shown in a box too narrow for it. Cutting off its end would
// show a plausible number that is not the number (the start of
// 9.25844430041008E-06 reads 9.258444, a surveyor reads 9.26 m), so the
// sign, the leading digits and the exponent stay, and an ellipsis stands
// where digits are left out: 9.2584…E-06. A number whose whole digits do not
// fit is shown with an exponent: 3456789.123 as 3.45…E+06. The text itself
// is not changed; this is only what a box shows of it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quenlor {

// The shortest form that still fits, by the caller's measure of a text;
// `text` itself when it fits. A text that is not a number in the boxes'
// number text keeps its start, with the ellipsis at its end. When not even
// the first digit and the exponent fit, the least of them.
std::string shownNumber(std::string_view text, const std::function<bool(std::string_view)>& fits);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/strict_number.h"

#include "numeric/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace quenlor {
namespace {

// Within half a millimetre of 0 a length shows as 0.
constexpr double kHalfMillimetre = 0.0005;
// Beyond this a length is shown with all its digits even at field precision.
constexpr double kLargestFieldLength = 1e15;

} // namespace

std::optional<double> strictNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string lengthText(double value, Precision precision) {
  if (!std::isfinite(value))
    return {};
  if (precision == Precision::Full || std::fabs(value) >= kLargestFieldLength)
    return formatNumber(value);
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", std::fabs(value) < kHalfMillimetre ? 0.0 : value);
  return text;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/strict_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace quenlor {

std::optional<double> strictNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

} // namespace quenlor

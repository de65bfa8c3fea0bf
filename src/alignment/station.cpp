// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignment/station.h"

#include <charconv>

namespace quenlor {

std::string stationText(const Station& station, int decimals) {
  std::string text = chainageText(station.chainage, decimals);
  if (station.occurrence > 0)
    text += " (" + std::to_string(station.occurrence + 1) + ")";
  return text;
}

std::optional<Station> parseStation(std::string_view text) {
  int occurrence = 1;
  const std::size_t open = text.find('(');
  if (open != std::string_view::npos) {
    const std::size_t close = text.find(')', open);
    if (close == std::string_view::npos ||
        text.find_first_not_of(" \t", close + 1) != std::string_view::npos)
      return std::nullopt;
    const std::string_view digits = text.substr(open + 1, close - open - 1);
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), occurrence);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        occurrence < 1)
      return std::nullopt;
    text = text.substr(0, open);
  }
  const auto chainage = parseChainage(text);
  if (!chainage)
    return std::nullopt;
  return Station{*chainage, occurrence - 1};
}

} // namespace quenlor

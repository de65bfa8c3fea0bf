// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/station.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quenlor::route {
namespace {

constexpr double kLargestKNotation = 1e12;
constexpr double kMetresPerKilometre = 1000;

std::optional<double> plainNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string chainageText(double chainage, int decimals) {
  decimals = std::clamp(decimals, 0, 6);
  char buffer[64];
  if (!(std::fabs(chainage) < kLargestKNotation)) {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, chainage);
    return buffer;
  }
  const long long scale = static_cast<long long>(std::pow(10, decimals));
  const long long units = std::llround(std::fabs(chainage) * static_cast<double>(scale));
  const long long perKilometre = 1000 * scale;
  const long long kilometres = units / perKilometre;
  const long long rest = units % perKilometre;
  const char* sign = chainage < 0 && units != 0 ? "-" : "";
  if (decimals == 0)
    std::snprintf(buffer, sizeof buffer, "K%s%lld+%03lld", sign, kilometres, rest);
  else
    std::snprintf(buffer, sizeof buffer, "K%s%lld+%03lld.%0*lld", sign, kilometres, rest / scale,
                  decimals, rest % scale);
  return buffer;
}

std::string stationText(const Station& station, int decimals) {
  std::string text = chainageText(station.chainage, decimals);
  if (station.occurrence > 0)
    text += " (" + std::to_string(station.occurrence + 1) + ")";
  return text;
}

std::optional<double> parseChainage(std::string_view text) {
  text = trimmed(text);
  if (text.empty() || (text[0] != 'K' && text[0] != 'k'))
    return plainNumber(text);
  text.remove_prefix(1);
  const bool negative = !text.empty() && text[0] == '-';
  if (negative)
    text.remove_prefix(1);
  const auto plus = text.find('+');
  if (plus == 0 || plus == std::string_view::npos)
    return std::nullopt;
  const std::string_view km = text.substr(0, plus), metres = text.substr(plus + 1);
  if (!std::all_of(km.begin(), km.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
      metres.empty() || metres[0] == '-' || metres[0] == '+')
    return std::nullopt;
  const auto k = plainNumber(km), m = plainNumber(metres);
  if (!k || !m)
    return std::nullopt;
  const double size = *k * kMetresPerKilometre + *m;
  return negative ? -size : size;
}

} // namespace quenlor::route

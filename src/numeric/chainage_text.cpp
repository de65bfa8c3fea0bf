// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/chainage_text.h"

#include "numeric/number_text.h"
#include "numeric/strict_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

// Beyond this a chainage is written as a plain number.
constexpr double kLargestKChainage = 1e12;
constexpr double kMetresPerKilometre = 1000;
// Decimals a chainage is written with at least and at most.
constexpr int kLeastDecimals = 3, kMostDecimals = 6;
// Of the last decimal written: a chainage this near its rounding is as typed.
constexpr double kTypedTolerance = 1e-3;

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The metres after the plus: digits, at most three before a point.
std::optional<double> metresPart(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  if (!isDigits(whole) || whole.size() > 3)
    return std::nullopt;
  if (point != std::string_view::npos && text.size() > point + 1 &&
      !isDigits(text.substr(point + 1)))
    return std::nullopt;
  return strictNumber(text);
}

} // namespace

std::string chainageText(double chainage, int decimals) {
  if (!std::isfinite(chainage))
    return {};
  if (std::fabs(chainage) >= kLargestKChainage)
    return formatNumber(chainage);
  decimals = std::clamp(decimals, 0, 6);
  const auto scale = static_cast<long long>(std::pow(10, decimals));
  const long long units = std::llround(std::fabs(chainage) * static_cast<double>(scale));
  const long long perKilometre = 1000 * scale;
  const char* sign = chainage < 0 && units != 0 ? "-" : "";
  const long long kilometres = units / perKilometre, rest = units % perKilometre;
  char text[64];
  if (decimals == 0)
    std::snprintf(text, sizeof text, "K%s%lld+%03lld", sign, kilometres, rest);
  else
    std::snprintf(text, sizeof text, "K%s%lld+%03lld.%0*lld", sign, kilometres, rest / scale,
                  decimals, rest % scale);
  return text;
}

int typedDecimals(double chainage) {
  if (!std::isfinite(chainage))
    return kLeastDecimals;
  for (int decimals = kLeastDecimals; decimals < kMostDecimals; ++decimals) {
    const double scaled = std::fabs(chainage) * std::pow(10, decimals);
    if (std::fabs(scaled - std::round(scaled)) <= kTypedTolerance)
      return decimals;
  }
  return kMostDecimals;
}

std::optional<double> parseChainage(std::string_view text) {
  text = trimmed(text);
  const bool k = !text.empty() && (text.front() == 'K' || text.front() == 'k');
  if (k)
    text.remove_prefix(1);
  const std::size_t plus = text.find('+');
  const bool exponent = plus != std::string_view::npos && plus > 0 &&
                        (text[plus - 1] == 'e' || text[plus - 1] == 'E');
  if (plus == std::string_view::npos || exponent)
    return k ? std::nullopt : strictNumber(text); // a K wants its plus

  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view km = text.substr(negative ? 1 : 0, plus - (negative ? 1 : 0));
  const auto metres = metresPart(text.substr(plus + 1));
  if (!isDigits(km) || !metres)
    return std::nullopt;
  const double magnitude = *strictNumber(km) * kMetresPerKilometre + *metres;
  return negative ? -magnitude : magnitude;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace quenlor {
namespace {

// The true pi: these are the whole route's angles, not the boxes'.
constexpr double kSecondsPerRadian = 180 * 3600 / std::numbers::pi;
constexpr double kLargestSeconds = 1e12;
// Packed azimuths: to a millionth of a second, in whole millionths.
constexpr int kAzimuthDecimals = 6;
constexpr long long kAzimuthUnitsPerSecond = 1'000'000;
constexpr long long kSecondsPerTurnWhole = 360LL * 3600;

struct Dms {
  bool negative;
  long long degrees, minutes, seconds, fraction;
  int decimals;
  bool finite;
};

Dms split(double radians, int decimals) {
  decimals = std::clamp(decimals, 0, 6);
  const double seconds = std::fabs(radians) * kSecondsPerRadian;
  if (!(seconds < kLargestSeconds))
    return {false, 0, 0, 0, 0, decimals, false};
  const long long scale = static_cast<long long>(std::pow(10, decimals));
  const long long units = std::llround(seconds * static_cast<double>(scale));
  const long long wholeSeconds = units / scale;
  return {radians < 0 && units != 0,
          wholeSeconds / 3600,
          wholeSeconds / 60 % 60,
          wholeSeconds % 60,
          units % scale,
          decimals,
          true};
}

std::string fractionText(const Dms& a) {
  if (a.decimals == 0)
    return {};
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*lld", a.decimals, a.fraction);
  return buffer;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmedBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The decimal digits from `from` as a whole number, padded with zeros to
// `count` digits (the packed form's ".2" is 20 minutes).
long long digitsAt(std::string_view digits, std::size_t from, std::size_t count) {
  long long value = 0;
  for (std::size_t i = from; i < from + count; ++i)
    value = value * 10 + (i < digits.size() ? digits[i] - '0' : 0);
  return value;
}

} // namespace

std::string dmsText(double radians, int secondDecimals) {
  const Dms a = split(radians, secondDecimals);
  if (!a.finite)
    return std::to_string(radians);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%lld\u00b0%02lld\u2032%02lld%s%s\u2033",
                a.negative ? "-" : "", a.degrees, a.minutes, a.seconds, a.decimals > 0 ? "." : "",
                fractionText(a).c_str());
  return buffer;
}

std::string packedDmsText(double radians, int secondDecimals) {
  const Dms a = split(radians, secondDecimals);
  if (!a.finite)
    return std::to_string(radians);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld%02lld%s", a.negative ? "-" : "", a.degrees,
                a.minutes, a.seconds, fractionText(a).c_str());
  return buffer;
}

std::string dmsTextOfPacked(double packed) {
  if (!std::isfinite(packed) || std::fabs(packed) >= 1e11)
    return {};
  // The packed digits to hundredths of a second, the second then rounded
  // once: a typed 41.295994 is 41°30′00″, never 41°29′60″.
  constexpr long long kDegreeUnits = 1'000'000, kMinuteUnits = 10'000, kSecondUnits = 100;
  const long long units = std::llround(std::fabs(packed) * kDegreeUnits);
  long long degrees = units / kDegreeUnits;
  long long minutes = units % kDegreeUnits / kMinuteUnits;
  long long seconds = (units % kMinuteUnits + kSecondUnits / 2) / kSecondUnits;
  if (seconds == 60 && minutes < 60) {
    seconds = 0;
    if (++minutes == 60) {
      minutes = 0;
      ++degrees;
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "%s%lld\u00b0%02lld\u2032%02lld\u2033",
                packed < 0 && degrees + minutes + seconds > 0 ? "-" : "", degrees, minutes,
                seconds);
  return text;
}

std::string packedAzimuthText(double radians) {
  constexpr double kFullTurn = 2 * std::numbers::pi;
  double reduced = std::fmod(radians, kFullTurn);
  if (reduced < 0)
    reduced += kFullTurn;
  std::string text = packedDmsText(reduced, kAzimuthDecimals);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
      text.pop_back();
  }
  return text;
}

std::optional<double> azimuthOfPacked(std::string_view text) {
  text = trimmedBlanks(text);
  const std::size_t point = text.find('.');
  const std::string_view degrees = text.substr(0, point);
  const std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto allDigits = [](std::string_view part) {
    return std::all_of(part.begin(), part.end(), isDigit);
  };
  constexpr std::size_t kMostDegreeDigits = 3;
  if (degrees.empty() || degrees.size() > kMostDegreeDigits || !allDigits(degrees) ||
      !allDigits(decimals) || (point != std::string_view::npos && decimals.empty()))
    return std::nullopt;
  // Whole millionths of a second, the digits past them rounded once.
  const long long minutes = digitsAt(decimals, 0, 2), seconds = digitsAt(decimals, 2, 2);
  long long fraction = digitsAt(decimals, 4, kAzimuthDecimals);
  if (decimals.size() > 4 + kAzimuthDecimals && decimals[4 + kAzimuthDecimals] >= '5')
    ++fraction;
  const long long wholeDegrees = digitsAt(degrees, 0, degrees.size());
  if (minutes >= 60 || seconds >= 60)
    return std::nullopt;
  long long units =
      ((wholeDegrees * 60 + minutes) * 60 + seconds) * kAzimuthUnitsPerSecond + fraction;
  const long long turn = kSecondsPerTurnWhole * kAzimuthUnitsPerSecond;
  if (units > turn)
    return std::nullopt;
  if (units == turn)
    units = 0;
  return static_cast<double>(units) / static_cast<double>(kAzimuthUnitsPerSecond) /
         kSecondsPerRadian;
}

} // namespace quenlor

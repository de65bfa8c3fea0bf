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

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle_text.h"

#include "geometry/constants.h"

#include <algorithm>
#include <array>
#include <charconv>
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

// ---- Reading angles.

enum Part { Degrees, Minutes, Seconds, kParts };

// The marks that close each part, longest first where one begins another.
struct Mark {
  std::string_view text;
  Part part;
};
constexpr std::array<Mark, 19> kMarks = {{
    {"\u00b0", Degrees},
    {"\u00ba", Degrees},
    {"\u5ea6", Degrees},
    {"d", Degrees},
    {"D", Degrees},
    {"\u2032", Minutes},
    {"\u2019", Minutes},
    {"\u5206", Minutes},
    {"''", Seconds},
    {"'", Minutes},
    {"m", Minutes},
    {"M", Minutes},
    {"\u2033", Seconds},
    {"\u201d", Seconds},
    {"\"", Seconds},
    {"\u79d2", Seconds},
    {"s", Seconds},
    {"S", Seconds},
    {"\u2032\u2032", Seconds},
}};

constexpr std::size_t kMostSecondDecimals = 6;
constexpr int kPartsBelow = 60; // minutes and seconds

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view withoutBlanks(std::string_view text) {
  constexpr std::string_view kIdeographicSpace = "\u3000";
  for (bool trimmed = true; trimmed;) {
    trimmed = false;
    for (std::string_view blank :
         {std::string_view(" "), std::string_view("\t"), kIdeographicSpace}) {
      if (text.starts_with(blank)) {
        text.remove_prefix(blank.size());
        trimmed = true;
      }
      if (text.ends_with(blank)) {
        text.remove_suffix(blank.size());
        trimmed = true;
      }
    }
  }
  return text;
}

// Digits, and a point with more digits after it where `decimals` allows.
struct Number {
  std::string_view whole, fraction;
  bool pointed = false;
};
std::optional<Number> numberAt(std::string_view& text) {
  Number n;
  std::size_t at = 0;
  while (at < text.size() && isDigit(text[at]))
    ++at;
  n.whole = text.substr(0, at);
  if (at < text.size() && text[at] == '.') {
    const std::size_t from = ++at;
    while (at < text.size() && isDigit(text[at]))
      ++at;
    n.fraction = text.substr(from, at - from);
    n.pointed = true;
  }
  if (n.whole.empty() || (n.pointed && n.fraction.empty()))
    return std::nullopt;
  text.remove_prefix(at);
  return n;
}

std::optional<Part> markAt(std::string_view& text) {
  text = withoutBlanks(text);
  const Mark* best = nullptr;
  for (const Mark& m : kMarks)
    if (text.starts_with(m.text) && (!best || m.text.size() > best->text.size()))
      best = &m;
  if (!best)
    return std::nullopt;
  text.remove_prefix(best->text.size());
  text = withoutBlanks(text);
  return best->part;
}

int twoDigits(std::string_view digits) {
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// The packed number of the parts, from their digits; nothing where a part
// breaks the rules (minutes or seconds of 60, decimals before the last part).
std::optional<double> packedOfParts(bool negative,
                                    const std::array<std::optional<Number>, kParts>& parts) {
  std::string text = negative ? "-" : "";
  text += parts[Degrees] ? std::string(parts[Degrees]->whole) : "0";
  text += '.';
  for (const Part part : {Minutes, Seconds}) {
    const std::string_view digits = parts[part] ? parts[part]->whole : "0";
    if (digits.size() > 2 || twoDigits(digits) >= kPartsBelow)
      return std::nullopt;
    text += (digits.size() < 2 ? "0" : "") + std::string(digits);
  }
  int last = kParts;
  while (last > 0 && !parts[last - 1])
    --last;
  for (int part = 0; part + 1 < last; ++part)
    if (parts[part] && parts[part]->pointed)
      return std::nullopt;
  const Number& final = *parts[last - 1];
  if (final.pointed) {
    if (last - 1 != Seconds || final.fraction.size() > kMostSecondDecimals)
      return std::nullopt;
    text += final.fraction;
  }
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// A packed number as typed, read as it stands: its first two decimals are
// minutes and the next two seconds (25.3 is 25°30′), each below 60.
std::optional<double> packedNumber(std::string_view text, const Number& n) {
  std::string decimals(n.fraction);
  if (decimals.size() > 4 + kMostSecondDecimals)
    return std::nullopt;
  decimals.resize(std::max<std::size_t>(decimals.size(), 4), '0');
  if (twoDigits(decimals.substr(0, 2)) >= kPartsBelow ||
      twoDigits(decimals.substr(2, 2)) >= kPartsBelow)
    return std::nullopt;
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string fractionText(const Dms& a) {
  if (a.decimals == 0)
    return {};
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*lld", a.decimals, a.fraction);
  return buffer;
}

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

std::optional<double> parsePackedAngle(std::string_view text) {
  text = withoutBlanks(text);
  const std::string_view whole = text;
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+'))
    text.remove_prefix(1);
  const std::string_view magnitude = text;
  std::optional<Number> first = numberAt(text);
  if (!first)
    return std::nullopt;
  if (text.empty()) // a packed number
    return packedNumber(negative ? whole : magnitude, *first);

  std::array<std::optional<Number>, kParts> parts;
  const char separator = text.front();
  if (separator == '-' || separator == ':') {
    parts[Degrees] = first;
    for (const Part part : {Minutes, Seconds}) {
      if (!text.starts_with(separator))
        return std::nullopt;
      text.remove_prefix(1);
      parts[part] = numberAt(text);
      if (!parts[part])
        return std::nullopt;
    }
    return text.empty() ? packedOfParts(negative, parts) : std::nullopt;
  }
  // Marked parts in order; the last mark may be left off.
  int next = Degrees;
  for (std::optional<Number> number = first; number;) {
    const std::optional<Part> part = markAt(text);
    const int at = part ? int(*part) : next;
    if (at < next || at >= kParts || (!part && !text.empty()))
      return std::nullopt;
    parts[std::size_t(at)] = number;
    next = at + 1;
    if (text.empty())
      break;
    number = numberAt(text);
    if (!number)
      return std::nullopt;
  }
  return packedOfParts(negative, parts);
}

double radiansOfPackedDms(double packed) {
  char buffer[400];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(packed), std::chars_format::fixed);
  if (written.ec != std::errc() || !std::isfinite(packed))
    return packed;
  const std::string_view text(buffer, std::size_t(written.ptr - buffer));
  const std::size_t point = text.find('.');
  std::string decimals(point == std::string_view::npos ? "" : text.substr(point + 1));
  decimals.resize(std::max<std::size_t>(decimals.size(), 4), '0');
  double degrees = 0, fraction = 0;
  const std::string_view whole = text.substr(0, point);
  std::from_chars(whole.data(), whole.data() + whole.size(), degrees);
  const std::string rest = "0." + decimals.substr(4) + "0";
  std::from_chars(rest.data(), rest.data() + rest.size(), fraction);
  // Whole degrees, minutes and seconds add up exactly; the fraction of a
  // second is the one rounding before the division.
  const double seconds = degrees * kSecondsPerDegree +
                         twoDigits(decimals.substr(0, 2)) * kSecondsPerMinute +
                         twoDigits(decimals.substr(2, 2)) + fraction;
  return std::copysign(seconds / kSecondsPerRadian, packed);
}

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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle.h"

#include "geometry/constants.h"
#include "numeric/number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace quenlor {
namespace {

double signOf(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }

// The 15 significant digits of a non-negative value as a box shows it, and
// how many of them stand before the decimal point (0 or less for a value
// below 1, more than 15 for one of 1e15 and above).
struct ShownDigits {
  DecimalDigits d;

  int point() const { return d.point; }
  // The digit at a place of the digit string; zero outside it.
  int at(int index) const { return int(d.digitsAt(index, index + 1)); }
  // The k-th decimal after the point, 1 first; missing decimals are zeros.
  int decimal(int k) const { return at(d.point + k - 1); }
};

// The digits from place `first` on, `count` of them, as an integer: at most
// 15 of them are not zero, so it is exact.
std::uint64_t integerOf(const ShownDigits& shown, int first, int count) {
  return shown.d.digitsAt(first, first + count);
}

// The nearest double to a decimal written as digits and a power of ten.
double nearestDouble(const std::string& digits, int power) {
  const std::string text = digits + "e" + std::to_string(power);
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The whole degrees: the digits before the point.
double degreesOf(const ShownDigits& shown) {
  if (shown.point() <= 0)
    return 0.0;
  if (shown.point() <= 15)
    return double(integerOf(shown, 0, shown.point()));
  std::string digits;
  for (int i = 0; i < 15; ++i)
    digits += char('0' + shown.at(i));
  return nearestDouble(digits, shown.point() - 15);
}

// The seconds: the third and fourth decimals, and any further ones as the
// fraction, as the nearest double. An exact integer over an exact power of
// ten gives it in one correctly rounded division.
double secondsOf(const ShownDigits& shown) {
  const int fraction = 11 - shown.point(); // decimals after the fourth
  const int first = shown.point() + 2;     // place of the third decimal
  if (fraction <= 0)
    return double(10 * shown.decimal(3) + shown.decimal(4));
  // Every power of ten up to 10^22 is a double exactly.
  static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (fraction < int(std::size(powers)))
    return double(integerOf(shown, first, 2 + fraction)) / powers[fraction];
  std::string digits;
  for (int i = first; i < 15; ++i)
    digits += char('0' + shown.at(i));
  return nearestDouble(digits, -fraction);
}

// Whole seconds of an angle of g degrees (g >= 0): a count within rounding
// noise of a whole number is that number, and a count halfway between two
// takes the larger. The noise of a sum or difference of two azimuths is that
// of the larger operand, hence the full-circle floor.
double wholeSeconds(double g) {
  const double t = g * kSecondsPerDegree;
  const double n = std::round(t); // halfway away from zero, which is up here
  const double noise = 16.0 * DBL_EPSILON * std::fmax(std::fabs(t), kSecondsPerTurn);
  return std::fabs(t - n) <= noise ? n : std::floor(t);
}

} // namespace

void dh(double& radians, const double& packed) {
  const double a = std::fabs(packed);
  if (a == 0.0) {
    radians = 0.0;
    return;
  }
  // Not an angle: no digits to split. The caller meets it as a fault.
  if (!std::isfinite(a)) {
    radians = packed;
    return;
  }
  const ShownDigits shown{roundedDigits(a)};
  const double d = degreesOf(shown);
  const double m = double(10 * shown.decimal(1) + shown.decimal(2));
  const double s = secondsOf(shown);

  const double degrees = (d + m / kMinutesPerDegree) + (s / kSecondsPerMinute) / kMinutesPerDegree;
  const double r = (degrees * kPi) / kDegreesPerHalfTurn;
  radians = signOf(packed) * r;
}

void hd(double& packed, const double& radians) {
  const double x = std::fabs(radians);
  const double g = (x * kDegreesPerHalfTurn) / kPi;
  const double n = wholeSeconds(g);
  const double d = std::floor(n / kSecondsPerDegree);
  const double r = n - kSecondsPerDegree * d;
  const double m = std::floor(r / kSecondsPerMinute);
  const double s = r - kSecondsPerMinute * m;
  const double magnitude = (d + m / 100.0) + s / 10000.0;
  packed = signOf(radians) * magnitude;
}

} // namespace quenlor

#include "geometry/angle.h"

#include "geometry/constants.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace quenlor {
namespace {

double signOf(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }

double nearestDouble(const std::string& decimal) {
  double value = 0.0;
  std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
  return value;
}

struct DmsDigits {
  std::string degrees;  // integer part, at least one digit
  std::string decimals; // every decimal, possibly empty
};

// The digits of a non-negative value as a box shows it (15 significant
// digits), written out in plain decimal notation.
DmsDigits decimalDigits(double a) {
  char buffer[64];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, a, std::chars_format::scientific, 14).ptr;
  const std::string text(buffer, end);
  const std::size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  const int exponent = std::stoi(text.substr(e + 1));
  const int point = exponent + 1; // digits before the decimal point
  if (point <= 0)
    return {"0", std::string(std::size_t(-point), '0') + digits};
  if (std::size_t(point) >= digits.size())
    return {digits + std::string(std::size_t(point) - digits.size(), '0'), ""};
  return {digits.substr(0, std::size_t(point)), digits.substr(std::size_t(point))};
}

// Missing decimals count as zeros.
std::string decimalsFrom(const std::string& decimals, std::size_t first, std::size_t count) {
  std::string out = first < decimals.size() ? decimals.substr(first, count) : "";
  out.resize(count, '0');
  return out;
}

// Whole seconds of an angle of g degrees: a count within rounding noise of a
// whole number is that number. The noise of a sum or difference of two
// azimuths is that of the larger operand, hence the full-circle floor.
double wholeSeconds(double g) {
  const double t = g * kSecondsPerDegree;
  const double n = std::nearbyint(t);
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
  const DmsDigits digits = decimalDigits(a);
  const double d = nearestDouble(digits.degrees);
  const double m = nearestDouble(decimalsFrom(digits.decimals, 0, 2));
  std::string seconds = decimalsFrom(digits.decimals, 2, 2);
  if (digits.decimals.size() > 4)
    seconds += "." + digits.decimals.substr(4);
  const double s = nearestDouble(seconds);

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

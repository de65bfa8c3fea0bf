// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle.h"
#include "geometry/angle_text.h"
#include "geometry/azimuth.h"
#include "geometry/constants.h"
#include "geometry/direction.h"
#include "geometry/quadratic.h"
#include "numeric/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <random>
#include <string>

namespace quenlor {
namespace {

double toRadians(double packed) {
  double r = 0;
  dh(r, packed);
  return r;
}

double toPacked(double radians) {
  double p = 0;
  hd(p, radians);
  return p;
}

// The digits as written where binary or a count of 60 and more could mislead;
// every other split agrees with the long way below.
TEST(Dh, SplitsTheDecimalDigitsAsWritten) {
  const struct {
    double packed;
    double degrees;
  } cases[] = {
      {0, 0},
      {2.01, 2 + 1.0 / 60},        // 2.01 is below 2.01 in binary
      {0.29, 29.0 / 60},           // so is 0.29
      {30.75, 31.25},              // 75 minutes at face value
      {10.0075, 10 + 75.0 / 3600}, // 75 seconds at face value
  };
  for (const auto& c : cases)
    EXPECT_EQ(toRadians(c.packed), c.degrees * kPi / 180) << c.packed;
  EXPECT_NEAR(toRadians(30.152), 0.52805905245679, 1e-14);
  EXPECT_TRUE(std::isinf(toRadians(INFINITY)));
  EXPECT_TRUE(std::isnan(toRadians(NAN)));
}

// The decimal split done the long way: the 15-digit text written out in
// plain decimals, cut into degrees, minutes and seconds, each read back.
double referenceDh(double packed) {
  char text[64];
  std::snprintf(text, sizeof text, "%.14e", std::fabs(packed));
  std::string digits = std::string(1, text[0]) + std::string(text + 2, 14);
  const int point = std::atoi(std::strchr(text, 'e') + 1) + 1;
  std::string whole, decimals;
  if (point <= 0) {
    whole = "0";
    decimals = std::string(std::size_t(-point), '0') + digits;
  } else if (point >= 15) {
    whole = digits + std::string(std::size_t(point - 15), '0');
  } else {
    whole = digits.substr(0, std::size_t(point));
    decimals = digits.substr(std::size_t(point));
  }
  decimals.resize(std::max<std::size_t>(decimals.size(), 4), '0');
  const double d = std::strtod(whole.c_str(), nullptr);
  const double m = std::strtod(decimals.substr(0, 2).c_str(), nullptr);
  const double s = std::strtod((decimals.substr(2, 2) + "." + decimals.substr(4)).c_str(), nullptr);
  const double degrees = (d + m / 60) + (s / 60) / 60;
  return (packed > 0 ? 1 : -1) * ((degrees * kPi) / 180);
}

TEST(Dh, SplitAgreesWithTheLongWayAtEveryMagnitude) {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int power = -30; power <= 30; ++power)
    for (int i = 0; i < 200; ++i) {
      const double packed = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, power);
      ASSERT_EQ(toRadians(packed), referenceDh(packed)) << packed;
    }
}

// A sum of two converted angles keeps its whole seconds; a difference has
// the noise of its larger operand; a shortfall beyond noise costs the second.
TEST(Hd, ExamplesOfTheConversion) {
  const double justShort = (20.0 - 1e-7 / 3600) * kPi / 180; // 0.1 microsecond short
  const struct {
    double radians;
    const char* packed;
  } cases[] = {
      {3.1415926, "180"},
      {6.2831852, "360"},
      {1, "57.1744"},
      {-0.5, "-28.3852"},
      {7, "401.0413"},
      {1.5707963267948966, "90"},
      {(10 + 20.0 / 60 + 30.9 / 3600) * kPi / 180, "10.203"}, // fraction dropped
      {toRadians(90.332) + toRadians(55.5858), "146.3218"},
      {toRadians(370) - toRadians(350), "20"},
      {justShort, "19.5959"},
      {-justShort, "-19.5959"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatNumber(toPacked(c.radians)), c.packed) << c.radians;
}

// Fault: a count of seconds exactly halfway between two whole numbers went to
// the even one. Halves are doubles up to 2^52 seconds, and there the noise
// spans several seconds, so angles of some 7e11 degrees show it.
TEST(Hd, AHalfwayCountOfSecondsTakesTheLargerWholeNumber) {
  const auto seconds = [](double x) { return ((x * 180) / kPi) * 3600; };
  double x = 12008736719.89; // radians: about 2.5e15 seconds
  while (!(seconds(x) - std::floor(seconds(x)) == 0.5 && std::fmod(std::floor(seconds(x)), 2) == 0))
    x = std::nextafter(x, INFINITY);
  const double k = std::floor(seconds(x)); // even, so the tie used to go down to it
  double below = x, above = x;
  while (seconds(below) > k)
    below = std::nextafter(below, 0.0);
  while (seconds(above) < k + 1)
    above = std::nextafter(above, INFINITY);
  ASSERT_NE(toPacked(below), toPacked(above)) << "the two seconds must differ in the packed value";
  EXPECT_EQ(toPacked(x), toPacked(above));
  EXPECT_EQ(toPacked(-x), -toPacked(above));
}

// hd(dh(x)) gives back the text of every packed angle with whole seconds.
TEST(AngleRoundTrip, EveryWholeSecondOfSampledDegrees) {
  for (int degrees : {0, 1, 2, 29, 30, 45, 89, 90, 146, 179, 180, 269, 359, 360, 721, 3599}) {
    for (int minutes = 0; minutes < 60; ++minutes) {
      for (int seconds = 0; seconds < 60; ++seconds) {
        const std::string text = formatNumber(parseNumber(
            std::to_string(degrees) + "." + (minutes < 10 ? "0" : "") + std::to_string(minutes) +
            (seconds < 10 ? "0" : "") + std::to_string(seconds)));
        for (double sign : {1.0, -1.0}) {
          const double packed = sign * parseNumber(text);
          ASSERT_EQ(formatNumber(toPacked(toRadians(packed))), formatNumber(packed)) << text;
        }
      }
    }
  }
}

TEST(AngleRoundTrip, DifferencesOfWholeSecondAnglesStayWhole) {
  // The deflection at an intersection point is such a difference.
  for (int a = 0; a < 360 * 3600; a += 7919) {
    for (int b = 0; b < 360 * 3600; b += 104729) {
      const auto pack = [](int s) {
        return (s / 3600) + (s / 60 % 60) / 100.0 + (s % 60) / 10000.0;
      };
      const int diff = a - b;
      const double expected = (diff < 0 ? -1 : 1) * pack(std::abs(diff));
      ASSERT_EQ(formatNumber(toPacked(toRadians(pack(a)) - toRadians(pack(b)))),
                formatNumber(expected))
          << a << " - " << b;
    }
  }
}

// A route's azimuth in packed DMS with the true pi, to a millionth of a
// second: 30.152055 is 30 + 15/60 + 20.55/3600 degrees.
TEST(PackedAzimuth, ReadsTheDigitsAsWritten) {
  constexpr double kDegree = std::numbers::pi / 180;
  const struct {
    const char* text;
    double degrees;
  } cases[] = {{"30", 30},
               {"30.152055", 30 + 15 / 60.0 + 20.55 / 3600},
               {" 0.0001 ", 1 / 3600.0},
               {"10.2", 10 + 20 / 60.0}, // the packed form's .2 is 20 minutes
               {"359.59599999995", 0},   // rounded to the millionth: 360, a whole turn
               {"123.4512345678", 123 + 45 / 60.0 + 12.345678 / 3600}};
  for (const auto& c : cases)
    EXPECT_NEAR(*azimuthOfPacked(c.text), c.degrees * kDegree, 1e-15) << c.text;
  for (const char* refused :
       {"", "30.6", "30.0060", "361", "-30", "+30", "1e2", "30.", ".5", "3 0", "1000", "30,5"})
    EXPECT_FALSE(azimuthOfPacked(refused)) << refused;
}

// Written without trailing zeros, reduced to a turn; read back, an azimuth
// comes within half a millionth of a second, and its text is itself.
TEST(PackedAzimuth, TextAndAzimuthUndoEachOther) {
  constexpr double kHalfMillionthOfASecond = 0.5e-6 / 3600 * std::numbers::pi / 180;
  EXPECT_EQ(packedAzimuthText(std::numbers::pi / 6), "30");
  EXPECT_EQ(packedAzimuthText(-std::numbers::pi / 2), "270");
  EXPECT_EQ(packedAzimuthText(*azimuthOfPacked("30.152055")), "30.152055");
  std::mt19937_64 draw(5);
  std::uniform_real_distribution<double> turn(-10, 10);
  for (int i = 0; i < 20000; ++i) {
    const double azimuth = turn(draw);
    const std::string text = packedAzimuthText(azimuth);
    const auto read = azimuthOfPacked(text);
    ASSERT_TRUE(read) << text;
    const double reduced = std::remainder(*read - azimuth, 2 * std::numbers::pi);
    ASSERT_LE(std::fabs(reduced), kHalfMillionthOfASecond * 1.01) << text;
    ASSERT_EQ(packedAzimuthText(*read), text);
  }
}

struct AzimuthCase {
  double xA, yA, xB, yB;
  const char* azimuth;
};

class Fwjjs : public ::testing::TestWithParam<AzimuthCase> {};

TEST_P(Fwjjs, GivesThePackedAzimuthOfTheLine) {
  const AzimuthCase& c = GetParam();
  double azimuth = -1;
  fwjjs(azimuth, c.xA, c.yA, c.xB, c.yB);
  EXPECT_EQ(formatNumber(azimuth), c.azimuth)
      << "(" << c.xA << ", " << c.yA << ") to (" << c.xB << ", " << c.yB << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Directions, Fwjjs,
    ::testing::Values(
        // Quadrants: the second and fourth lose a second to the short pi.
        AzimuthCase{0, 0, 100, 100, "45"}, AzimuthCase{0, 0, -100, 100, "134.5959"},
        AzimuthCase{0, 0, -100, -100, "225"}, AzimuthCase{0, 0, 100, -100, "314.5959"},
        // Axes, and the same point twice.
        AzimuthCase{0, 0, 0, 50, "90"}, AzimuthCase{0, 0, 0, -50, "269.5959"},
        AzimuthCase{0, 0, 50, 0, "0"}, AzimuthCase{0, 0, -50, 0, "180"},
        AzimuthCase{7, 7, 7, 7, "0"},
        // w + 2 pi rounds to exactly 2 pi and the strict test keeps it.
        AzimuthCase{0, 0, 1000, -1e-14, "360"},
        // The station and backsight examples.
        AzimuthCase{0, 0, 3, 4, "53.0748"}, AzimuthCase{0, 0, 5, 5, "45"},
        AzimuthCase{1000, 1000, 1100, 1100, "45"}, AzimuthCase{2000, 3000, 2500, 3800, "57.594"}));

struct RootCase {
  double a, b, c, x;
};

class Qg : public ::testing::TestWithParam<RootCase> {};

TEST_P(Qg, TakesTheRootWithThePositiveSquareRoot) {
  const RootCase& r = GetParam();
  double x = -99;
  qg(x, r.a, r.b, r.c);
  EXPECT_DOUBLE_EQ(x, r.x);
}

INSTANTIATE_TEST_SUITE_P(Equations, Qg,
                         ::testing::Values(RootCase{1, -3, 2, 2}, RootCase{1, -2, 1, 1},
                                           RootCase{2, 0, -8, 2}, RootCase{-1, 3, -2, 1},
                                           RootCase{1, 2, 5, 0}));

TEST(Xjjs, ChordAngleWithoutQuadrantCorrection) {
  double angle = 0;
  xjjs(angle, 59.940027778, 1.998571883);
  EXPECT_NEAR(angle, 0.033331, 5e-7);
  const double minusQuarterTurn = -0.78539816339744831;
  xjjs(angle, 10, -10);
  EXPECT_DOUBLE_EQ(angle, minusQuarterTurn);
  xjjs(angle, -10, 10); // no quadrant correction
  EXPECT_DOUBLE_EQ(angle, minusQuarterTurn);
}

// Angles as surveyors write them, each read into the packed number of its
// digits: the DMS forms and the packed form give the same double.
TEST(ParsePackedAngle, ReadsTheWaysSurveyorsWriteAngles) {
  const struct {
    const char* text;
    std::optional<double> packed;
  } cases[] = {
      {"25\u00b030\u203215.2\u2033", 25.30152},
      {"25\u00b030'15.2\"", 25.30152},
      {" 25\u00ba 30\u2019 15.2\u201d ", 25.30152},
      {"25\u5ea630\u520615.2\u79d2", 25.30152},
      {"25d30m15.2s", 25.30152},
      {"25\u00b030\u203215.2", 25.30152}, // the last mark left off
      {"25\u00b030'15.2''", 25.30152},
      {"25-30-15.2", 25.30152},
      {"-25:30:15.2", -25.30152},
      {"+25.30152", 25.30152},
      {"25.30152", 25.30152},
      {"25.3", 25.3}, // 25°30′
      {"25\u00b0", 25},
      {"25\u00b005\u2032", 25.05},
      {"0\u00b000\u203200.000001\u2033", 0.0000000001},
      {"359\u00b059\u203259.999999\u2033", 359.5959999999},
      {"", std::nullopt},
      {"25.7", std::nullopt},    // 70 minutes
      {"25.3070", std::nullopt}, // 70 seconds
      {"25\u00b070\u2032", std::nullopt},
      {"25\u00b030.5\u203215\u2033", std::nullopt}, // decimals before the last part
      {"25.5\u00b0", std::nullopt},
      {"25\u00b015\u203330\u2032", std::nullopt}, // out of order
      {"25\u00b030\u2032x", std::nullopt},
      {"1e3", std::nullopt},
      {"--5", std::nullopt},
      {"25-30", std::nullopt},
      {"25 30 15", std::nullopt},
      {"25\u00b030\u203215.1234567\u2033", std::nullopt}, // seven decimals of a second
      {"\u5de6", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parsePackedAngle(c.text), c.packed) << c.text;
}

// The route's angles from packed numbers: the digits as written, the true pi.
TEST(RadiansOfPackedDms, TakesTheDigitsAsWritten) {
  constexpr double kSecond = std::numbers::pi / (180 * 3600);
  const struct {
    double packed, seconds;
  } cases[] = {
      {0, 0},
      {25.30152, 91815.2},
      {-25.30152, -91815.2},
      {2.01, 7260},
      {0.0000001, 0.001},
      {10.0075, 36075}, // 75 seconds at face value
      {359.595999, 1295999.99},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(radiansOfPackedDms(c.packed), c.seconds * kSecond,
                1e-16 + 1e-15 * std::fabs(c.seconds * kSecond))
        << c.packed;
  // Every whole second up to a full turn comes back to its packed number.
  for (int second = 0; second < 1296000; second += 997) {
    const double packed =
        parsePackedAngle(std::to_string(second / 3600) + "-" + std::to_string(second / 60 % 60) +
                         "-" + std::to_string(second % 60))
            .value();
    EXPECT_NEAR(radiansOfPackedDms(packed) / kSecond, second, 1e-9) << second;
  }
}

} // namespace
} // namespace quenlor

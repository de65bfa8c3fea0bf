// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace quenlor {
namespace {

struct ParseCase {
  const char* text;
  double value;
};

class LenientParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LenientParse, ReadsTheLeadingNumber) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(parseNumber(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientParse,
    ::testing::Values(
        // Blanks anywhere, junk after the number, no number at all.
        ParseCase{" 1 2.5 ", 12.5}, ParseCase{"1\t2\n3", 123}, ParseCase{"abc", 0},
        ParseCase{"", 0}, ParseCase{"12.5m", 12.5}, ParseCase{"1,000", 1}, ParseCase{"1.2.3", 1.2},
        ParseCase{"m12", 0},
        // Signs and periods.
        ParseCase{"-.5", -0.5}, ParseCase{"+7", 7}, ParseCase{"-", 0}, ParseCase{".", 0},
        ParseCase{"-.", 0}, ParseCase{"5.", 5}, ParseCase{"+-5", 0}, ParseCase{"--5", 0},
        // Exponents, with E or D in either case; a letter without digits ends the number.
        ParseCase{"1e3", 1000}, ParseCase{"1E3", 1000}, ParseCase{"2d2", 200},
        ParseCase{"2D-2", 0.02}, ParseCase{"5.e3", 5000}, ParseCase{"1e", 1}, ParseCase{"1e+", 1},
        ParseCase{"1e-x", 1}, ParseCase{".e3", 0}, ParseCase{"e5", 0}, ParseCase{"1e3.5", 1000},
        ParseCase{"1 e 3", 1000},
        // Hexadecimal and octal integers.
        ParseCase{"&H1F", 31}, ParseCase{"&hff", 255}, ParseCase{"&O17", 15},
        ParseCase{"&o777x", 511}, ParseCase{"&H", 0}, ParseCase{"&O8", 0}, ParseCase{"&HG", 0},
        ParseCase{"-&H10", 0}, ParseCase{"&", 0},
        ParseCase{"&H10000000000000000", 18446744073709551616.0},
        // Only the period separates decimals; other digits are not digits.
        ParseCase{"3,5", 3}, ParseCase{"１２", 0},
        // Beyond the double range downward: zero or a subnormal.
        ParseCase{"1e-400", 0}, ParseCase{"4.9406564584124654e-324", 4.9406564584124654e-324},
        ParseCase{"0.1e-999999999999999999999", 0}, ParseCase{"0e99999", 0},
        ParseCase{"000000000000000000000000000000001.5", 1.5}));

TEST(LenientParse, NumbersBeyondTheDoubleRangeReadAsInfinity) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(parseNumber("1e999"), inf);
  EXPECT_EQ(parseNumber("-1e999"), -inf);
  EXPECT_EQ(parseNumber("1e99999999999999999999"), inf);
  EXPECT_EQ(parseNumber(std::string(400, '9')), inf);
  EXPECT_EQ(parseNumber("0.0000000001e320"), inf);
  EXPECT_EQ(parseNumber("&H" + std::string(300, 'F')), inf);
}

TEST(LenientParse, ReadsTheBoundaryOfTheDoubleRange) {
  EXPECT_EQ(parseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(parseNumber("0.00001e-305"), 1e-310);
}

struct FormatCase {
  double value;
  const char* text;
};

class GeneralFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GeneralFormat, WritesFifteenSignificantDigits) {
  EXPECT_EQ(formatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralFormat,
    ::testing::Values(FormatCase{0.1 + 0.2, "0.3"}, FormatCase{1.0 / 3.0, "0.333333333333333"},
                      FormatCase{-2, "-2"}, FormatCase{1e20, "1E+20"},
                      FormatCase{1.5e20, "1.5E+20"}, FormatCase{1e-7, "1E-07"},
                      FormatCase{0.5, "0.5"}, FormatCase{-0.25, "-0.25"}, FormatCase{-0.0, "0"},
                      FormatCase{0.0, "0"}, FormatCase{1e-18, "1E-18"},
                      FormatCase{123456789012345.0, "123456789012345"},
                      FormatCase{1234567890123456.0, "1.23456789012346E+15"},
                      FormatCase{0.0001, "0.0001"}, FormatCase{0.00001, "1E-05"},
                      FormatCase{1e308, "1E+308"},
                      FormatCase{-1.6666666666666666e17, "-1.66666666666667E+17"},
                      FormatCase{146.32180000000002, "146.3218"}));

// The number text against C's own "%.15G" (the C locale), on random bit
// patterns, on decimals of 16 and 17 digits, and on those ending on a midpoint
// 5 at the 16th digit, where the rounding must look past the shortest digits.
TEST(GeneralFormat, AgreesWithPrintfEverywhere) {
  std::mt19937_64 random(7);
  const auto printfText = [](double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15G", v);
    return std::string(v == 0 ? "0" : text);
  };
  for (int i = 0; i < 300000; ++i) {
    double v;
    const std::uint64_t bits = random();
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v))
      continue;
    ASSERT_EQ(formatNumber(v), printfText(v)) << bits;
  }
  std::uniform_int_distribution<std::uint64_t> mantissa(1000000000000000ULL, 9999999999999999ULL);
  std::uniform_int_distribution<int> power(-30, 30);
  for (int i = 0; i < 300000; ++i) {
    for (const std::uint64_t m : {mantissa(random), mantissa(random) / 10 * 10 + 5,
                                  mantissa(random) * 10 + std::uint64_t(i % 10)}) {
      const double v = std::stod(std::to_string(m) + "e" + std::to_string(power(random)));
      ASSERT_EQ(formatNumber(v), printfText(v)) << m;
    }
  }
}

// Where fifteen 9s round up to the next power of ten, at every decimal
// exponent from the subnormals to the largest doubles: the doubles on both
// sides of 9.999999999999995 x 10^e and the largest one below 10^(e+1); and
// halfway cases that are exact in binary, which go to the even digit.
TEST(GeneralFormat, AgreesWithPrintfWhereTheDigitsCarry) {
  const auto printfText = [](double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15G", v);
    return std::string(text);
  };
  for (int e = -323; e <= 307; ++e) {
    const double boundary =
        std::strtod(("9.999999999999995e" + std::to_string(e)).c_str(), nullptr);
    const double power = std::strtod(("1e" + std::to_string(e + 1)).c_str(), nullptr);
    for (const double v : {boundary, std::nextafter(boundary, 0.0),
                           std::nextafter(boundary, INFINITY), std::nextafter(power, 0.0)}) {
      if (v == 0 || std::isinf(v))
        continue;
      ASSERT_EQ(formatNumber(v), printfText(v)) << e;
      ASSERT_EQ(formatNumber(-v), printfText(-v)) << e;
    }
  }
  EXPECT_EQ(formatNumber(0.99999999999999989), "1");
  EXPECT_EQ(formatNumber(999999999999999.88), "1E+15");
  EXPECT_EQ(formatNumber(-9.999999999999995E-05), "-0.0001");
  EXPECT_EQ(formatNumber(100000000000000.5), "100000000000000");
  EXPECT_EQ(formatNumber(100000000000001.5), "100000000000002");
  EXPECT_EQ(formatNumber(999999999999999.5), "1E+15");
}

TEST(NumberText, WritableNumbersReadBackFinite) {
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(formatNumber(largest), "1.79769313486232E+308");
  EXPECT_FALSE(isWritableNumber(largest));
  EXPECT_FALSE(isWritableNumber(-largest));
  EXPECT_FALSE(isWritableNumber(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(isWritableNumber(std::nan("")));
  EXPECT_TRUE(isWritableNumber(1.79769313486231e308));
  EXPECT_TRUE(isWritableNumber(0.0));
  // The boundary itself: the largest writable double and the next one up.
  double x = 1.79769313486231e308;
  while (isWritableNumber(std::nextafter(x, largest)))
    x = std::nextafter(x, largest);
  EXPECT_TRUE(std::isfinite(parseNumber(formatNumber(x))));
  EXPECT_TRUE(std::isinf(parseNumber(formatNumber(std::nextafter(x, largest)))));
}

TEST(NumberText, FormatThenParseIsStable) {
  // The display lock of the backsight elevation relies on this.
  for (double v : {97.6, 1.0 / 3.0, -1e-300, 6.02214076e23, 1e-320, 8.5e15})
    EXPECT_EQ(formatNumber(parseNumber(formatNumber(v))), formatNumber(v)) << v;
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_reader.h"
#include "numeric/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quenlor {
namespace {

std::uint64_t bitsOf(double v) { return std::bit_cast<std::uint64_t>(v); }

// Random typing and deleting at the end of a text, the reader checked
// against parseNumber of the whole text, bit for bit, after every step. The
// pieces make numbers of every form and break them anywhere; now and then a
// run of hundreds of digits takes a number past the digits the reader keeps.
TEST(NumberReader, AgreesWithParseNumberAtEveryStep) {
  const std::vector<std::string> pieces = {"0",
                                           "1",
                                           "5",
                                           "9",
                                           "0",
                                           "7",
                                           "00",
                                           "123",
                                           ".",
                                           ".",
                                           "-",
                                           "+",
                                           "e",
                                           "E",
                                           "d",
                                           "D",
                                           "e-",
                                           "E+",
                                           "&",
                                           "&H",
                                           "&h",
                                           "&O",
                                           "&o",
                                           "F",
                                           "a",
                                           "8",
                                           " ",
                                           "\t",
                                           "\n",
                                           "x",
                                           ",",
                                           "交",
                                           "1e3",
                                           "&HFFFFFFFFFFFFFFFF",
                                           "&O7777777777777777777777",
                                           "1.7976931348623157e308",
                                           "4.9e-324"};
  std::mt19937_64 random(13);
  const auto digits = [&](std::size_t n, bool zeros) {
    std::string run;
    for (std::size_t i = 0; i < n; ++i)
      run += zeros && random() % 8 != 0 ? '0' : char('0' + random() % 10);
    return run;
  };
  for (int session = 0; session < 1500; ++session) {
    std::string text;
    NumberReader reader;
    for (int step = 0; step < 120; ++step) {
      if (!text.empty() && random() % 3 == 0) {
        const std::size_t n = std::min<std::size_t>(text.size(), 1 + random() % 6);
        reader.removeLast(std::string_view(text).substr(text.size() - n));
        text.resize(text.size() - n);
      } else {
        const std::string piece = random() % 40 == 0 ? digits(300 + random() % 700, random() % 2)
                                                     : pieces[random() % pieces.size()];
        reader.append(piece);
        text += piece;
      }
      ASSERT_EQ(bitsOf(reader.value()), bitsOf(parseNumber(text))) << '"' << text << '"';
    }
    NumberReader fresh;
    fresh.reset(text);
    ASSERT_EQ(bitsOf(fresh.value()), bitsOf(reader.value())) << '"' << text << '"';
  }
}

// The exact decimal midpoint between a positive double and the next one up:
// its digits and the power of ten of the last one. printf writes every
// double's exact digits; the midpoint is their sum halved.
struct Midpoint {
  std::string digits;
  int lastPlace;
};

Midpoint midpointAbove(double x) {
  const auto exact = [](double v, int& exponent) {
    char text[1000];
    std::snprintf(text, sizeof text, "%.800e", v);
    exponent = std::atoi(std::strchr(text, 'e') + 1);
    return std::string(1, text[0]) + std::string(text + 2, 800);
  };
  int ex = 0, ey = 0;
  const std::string a = exact(x, ex), b = exact(std::nextafter(x, INFINITY), ey);
  if (ex != ey)
    return {};
  std::string sum(a.size() + 1, '0');
  int carry = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const int d = (a[i] - '0') + (b[i] - '0') + carry;
    sum[i + 1] = char('0' + d % 10);
    carry = d / 10;
  }
  sum[0] = char('0' + carry);
  std::string half;
  int rest = 0;
  for (char c : sum) {
    const int d = rest * 10 + (c - '0');
    half += char('0' + d / 2);
    rest = d % 2;
  }
  half += char('0' + 5 * rest);
  return {half, ex - 800 - 1};
}

// Where a long number lies exactly halfway between two doubles, only its
// digits far beyond the kept ones decide the rounding: all zeros, and it goes
// to the even double; a 1 among them, and it goes up. Normal and subnormal
// doubles, whose midpoints have up to 767 significant digits.
TEST(NumberReader, DigitsBeyondTheKeptOnesDecideAMidpoint) {
  std::mt19937_64 random(5);
  int checked = 0;
  for (int i = 0; i < 400; ++i) {
    // Up to 2^-1021, where midpoints have the most digits, or anywhere.
    const double x =
        i % 2 ? std::ldexp(double(random() >> 11), -1074)
              : std::ldexp(1.0 + double(random() % 1000000) / 1e6, int(random() % 2000) - 1000);
    const Midpoint m = midpointAbove(x);
    if (m.digits.empty())
      continue;
    const double up = std::nextafter(x, INFINITY);
    const double even = bitsOf(x) % 2 == 0 ? x : up;
    const std::string zeros(1200, '0');
    const struct {
      std::string text;
      double expected;
    } cases[] = {
        {m.digits + "e" + std::to_string(m.lastPlace), even},
        {m.digits + zeros + "e" + std::to_string(m.lastPlace - 1200), even},
        {m.digits + zeros + "1e" + std::to_string(m.lastPlace - 1201), up},
        {"-" + m.digits + zeros + "1e" + std::to_string(m.lastPlace - 1201), -up},
    };
    for (const auto& c : cases) {
      NumberReader reader;
      for (char ch : c.text)
        reader.append(std::string_view(&ch, 1));
      ASSERT_EQ(parseNumber(c.text), c.expected) << x;
      ASSERT_EQ(reader.value(), c.expected) << x;
    }
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

// The same for &H and &O integers: 2^64 + 2^11 lies halfway between two
// doubles, and a 1 among the dropped digits takes it up.
TEST(NumberReader, DigitsBeyondTheKeptOnesDecideABasedIntegerHalfway) {
  const double even = std::ldexp(1.0, 64), up = std::ldexp(1.0 + 0x1p-52, 64);
  const struct {
    std::string text;
    double expected;
  } cases[] = {
      {"&H10000000000000800", even},
      {"&H100000000000008000000", std::ldexp(even, 16)},
      {"&H100000000000008000001", std::ldexp(up, 16)},
      {"&O2000000000000000004000", even},
      {"&O20000000000000000040000000", std::ldexp(even, 12)},
      {"&O20000000000000000040000001", std::ldexp(up, 12)},
  };
  for (const auto& c : cases) {
    NumberReader reader;
    reader.reset(c.text);
    EXPECT_EQ(parseNumber(c.text), c.expected) << c.text;
    EXPECT_EQ(reader.value(), c.expected) << c.text;
  }
}

} // namespace
} // namespace quenlor

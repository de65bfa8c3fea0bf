// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_reader.h"
#include "numeric/number_text.h"
#include "numeric/shown_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quenlor {
namespace {

struct ParseCase {
  std::string text;
  double value;
};

class LenientParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LenientParse, ReadsTheLeadingNumber) {
  EXPECT_EQ(parseNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

constexpr double kInf = std::numeric_limits<double>::infinity();

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
        ParseCase{"000000000000000000000000000000001.5", 1.5},
        // The boundary of the double range, and beyond it upward: infinity.
        ParseCase{"1.7976931348623157e308", std::numeric_limits<double>::max()},
        ParseCase{"0.00001e-305", 1e-310}, ParseCase{"1e999", kInf}, ParseCase{"-1e999", -kInf},
        ParseCase{"1e99999999999999999999", kInf}, ParseCase{std::string(400, '9'), kInf},
        ParseCase{"0.0000000001e320", kInf}, ParseCase{"&H" + std::string(300, 'F'), kInf}));

// Zero has no sign in the number text; the comparisons with printf below
// cover every other value.
TEST(GeneralFormat, WritesFifteenSignificantDigits) {
  EXPECT_EQ(formatNumber(-0.0), "0");
  EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(formatNumber(146.32180000000002), "146.3218");
}

// C's own "%.15G" (the C locale), zero without its sign.
std::string printfText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15G", v);
  return std::string(v == 0 ? "0" : text);
}

// The number text against C's own "%.15G" (the C locale), on random bit
// patterns, on decimals of 16 and 17 digits, and on those ending on a midpoint
// 5 at the 16th digit, where the rounding must look past the shortest digits.
TEST(GeneralFormat, AgreesWithPrintfEverywhere) {
  std::mt19937_64 random(7);
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

std::uint64_t bitsOf(double v) { return std::bit_cast<std::uint64_t>(v); }

// Plain decimals, the texts most boxes hold and read in one pass, against
// the library's correctly rounded reading of the same characters: up to 21
// digits with the point anywhere or nowhere, across the ends of that pass
// (19 digits, 2^53, 22 decimals), followed by what ends a number.
TEST(LenientParse, PlainDecimalsReadAsTheLibraryReadsThem) {
  std::mt19937_64 random(17);
  const char* const ends[] = {"", "m", ",5", "x 1", "e", "E+", "d-x", ".7"};
  std::vector<std::string> numbers = {"9007199254740992",          "9007199254740993",
                                      "18446744073709551615",      "0.0000000000000000000001",
                                      "0.00000000000000000000001", "9999999999999999999",
                                      "99999999999999999999"};
  for (int i = 0; i < 200000; ++i) {
    std::string digits;
    const std::size_t count = 1 + random() % 21;
    for (std::size_t k = 0; k < count; ++k)
      digits += char('0' + random() % 10);
    const std::size_t point = random() % (count + 3);
    if (point <= count)
      digits.insert(point, ".");
    numbers.push_back(digits);
  }
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::string& n = numbers[i];
    double expected = 0;
    std::from_chars(n.data(), n.data() + n.size(), expected);
    const std::string sign = i % 3 == 0 ? "-" : (i % 3 == 1 ? "+" : "");
    const char* end = ends[i % std::size(ends)];
    if (n.find('.') == std::string::npos && end[0] == '.')
      end = "";
    const std::string text = sign + n + end;
    ASSERT_EQ(bitsOf(parseNumber(text)), bitsOf(sign == "-" ? -expected : expected)) << text;
  }
}

// The number a written text reads as, found from its digits, against reading
// the text back: random bit patterns, decimals whose power of ten lies on
// both sides of 10^22 (where the digits alone no longer give it), and the
// ends of the writable range.
TEST(NumberText, KnowsTheNumberItsTextReadsAs) {
  std::vector<double> values = {kLargestWritableNumber,
                                4.9e-324,
                                2.2250738585072014e-308,
                                1e22,
                                1e23,
                                1.5e22,
                                1.23456789012345e36,
                                1e-22,
                                1e-23,
                                1.7e-22,
                                0.1,
                                1.0 / 3.0,
                                999999999999999.5,
                                0.99999999999999989};
  std::mt19937_64 random(11);
  std::uniform_int_distribution<std::uint64_t> mantissa(1, 999999999999999ULL);
  for (int i = 0; i < 200000; ++i) {
    double v;
    const std::uint64_t bits = random();
    std::memcpy(&v, &bits, sizeof v);
    if (isWritableNumber(v))
      values.push_back(v);
    values.push_back(std::stod(std::to_string(mantissa(random)) + "e" +
                               std::to_string(int(random() % 80) - 40)));
  }
  for (const double v : values) {
    for (const double w : {v, -v}) {
      char text[kNumberTextCapacity];
      std::optional<double> readsAs = 7;
      const std::size_t length = formatNumberTo(text, w, readsAs);
      const std::string written(text, length);
      ASSERT_EQ(written, formatNumber(w));
      if (readsAs) {
        ASSERT_EQ(bitsOf(*readsAs), bitsOf(parseNumber(written))) << written;
      }
    }
  }
  // Known where the digits stand within 22 places of the units, not beyond.
  const auto known = [](double v) {
    char text[kNumberTextCapacity];
    std::optional<double> readsAs;
    formatNumberTo(text, v, readsAs);
    return readsAs.has_value();
  };
  EXPECT_TRUE(known(2939.69312345678));
  EXPECT_TRUE(known(-1e-22));
  EXPECT_FALSE(known(1e-23));
  EXPECT_TRUE(known(1.23456789012345e36));
  EXPECT_FALSE(known(1.23456789012345e37));
}

// The digits at places of a number's fifteen, with zeros before and after
// them, as the angle conversions split a packed angle.
TEST(NumberText, TakesTheDigitsAtTheirPlaces) {
  const DecimalDigits d = roundedDigits(-123.456789012345);
  EXPECT_EQ(d.fifteen, 123456789012345u);
  EXPECT_EQ(d.count, 15);
  EXPECT_EQ(d.point, 3);
  const struct {
    int first, last;
    std::uint64_t digits;
  } cases[] = {{0, 3, 123},  {3, 5, 45},  {13, 15, 45},
               {14, 16, 50}, {15, 17, 0}, {-2, 1, 1},
               {-5, -1, 0},  {4, 4, 0},   {0, 19, 1234567890123450000u}};
  for (const auto& c : cases)
    EXPECT_EQ(d.digitsAt(c.first, c.last), c.digits) << c.first << ' ' << c.last;
  const DecimalDigits packed = roundedDigits(30.1520500);
  EXPECT_EQ(packed.fifteen, 301520500000000u);
  EXPECT_EQ(packed.count, 7);
  EXPECT_EQ(packed.point, 2);
  EXPECT_EQ(packed.digitsAt(4, 15), 20500000000u); // the seconds and what follows
}

// Random typing and deleting at the end of a text, the reader checked
// against parseNumber of the whole text, bit for bit, after every step. The
// pieces make numbers of every form and break them anywhere; now and then a
// run of hundreds of digits takes a number past the digits the reader keeps.
TEST(NumberReader, AgreesWithParseNumberAtEveryStep) {
  std::vector<std::string> pieces = {"0",  "1",  "5",  "9",  "0",  "7",  "00", "123", ".",
                                     ".",  "-",  "+",  "e",  "E",  "d",  "D",  "e-",  "E+",
                                     "&",  "&H", "&h", "&O", "&o", "F",  "a",  "8",   " ",
                                     "\t", "\n", "x",  ",",  "交", "1e3"};
  pieces.insert(pieces.end(), {"&HFFFFFFFFFFFFFFFF", "&O7777777777777777777777",
                               "1.7976931348623157e308", "4.9e-324"});
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

// A box that holds so many characters, the ellipsis one of them.
std::string shownIn(std::string_view text, std::size_t characters) {
  return shownNumber(text, [characters](std::string_view t) {
    std::size_t n = 0;
    for (unsigned char c : t)
      n += (c & 0xC0) != 0x80;
    return n <= characters;
  });
}

TEST(ShownNumber, KeepsSignLeadingDigitsAndExponent) {
  const struct {
    const char* text;
    std::size_t characters;
    const char* shown;
  } cases[] = {
      {"140.130870660639", 20, "140.130870660639"}, // fits
      {"9.25844430041008E-06", 11, "9.2584…E-06"},
      {"-9.25844430041008E-06", 9, "-9.2…E-06"},
      {"140.130870660639", 9, "140.1308…"},
      {"3456789.12345678", 12, "3456789.123…"},
      {"3456789.12345678", 8, "3456789…"},
      {"-3456789.123", 9, "-3456789…"},
      {"3456789.123", 7, "3…E+06"}, // whole digits that do not fit: an exponent
      {"3456789.123", 3, "3…E+06"}, // nothing fits: the least form
      {"0.000123456789", 8, "0.00012…"},
      {"0.000123456789", 6, "1…E-04"},
      {"1E+20", 3, "1E+20"}, // nothing to leave out
      {"abcdefgh", 5, "abcd…"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(shownIn(c.text, c.characters), c.shown) << c.text << " in " << c.characters;
}

} // namespace
} // namespace quenlor

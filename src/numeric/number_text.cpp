// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

namespace quenlor {
namespace {

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool isDigitOfBase(char c, int base) {
  if (base == 8)
    return c >= '0' && c <= '7';
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string withoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n')
      out.push_back(c);
  return out;
}

// Octal digits as hexadecimal ones of the same integer, so that both bases go
// through the one correctly rounded conversion of from_chars.
std::string octalAsHex(std::string_view octal) {
  std::string bits;
  for (char c : octal) {
    const int d = c - '0';
    bits.push_back(char('0' + ((d >> 2) & 1)));
    bits.push_back(char('0' + ((d >> 1) & 1)));
    bits.push_back(char('0' + (d & 1)));
  }
  bits.insert(0, (4 - bits.size() % 4) % 4, '0');
  std::string hex;
  for (std::size_t i = 0; i < bits.size(); i += 4) {
    const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                       (bits[i + 3] - '0');
    hex.push_back("0123456789abcdef"[nibble]);
  }
  return hex;
}

// "&H..." or "&O...": the integer in that base, or 0 with no digit.
double parseBasedInteger(std::string_view text, int base) {
  std::size_t n = 0;
  while (n < text.size() && isDigitOfBase(text[n], base))
    ++n;
  if (n == 0)
    return 0.0;
  const std::string hex =
      base == 16 ? std::string(text.substr(0, n)) : octalAsHex(text.substr(0, n));
  double value = 0.0;
  const auto result =
      std::from_chars(hex.data(), hex.data() + hex.size(), value, std::chars_format::hex);
  if (result.ec == std::errc::result_out_of_range)
    return std::numeric_limits<double>::infinity();
  return value;
}

// The exponent digits are clamped far beyond the double range, so that a
// long exponent cannot overflow while it is read; the value is unchanged.
long readExponent(std::string_view digits) {
  constexpr long limit = 100000000;
  long e = 0;
  for (char c : digits)
    e = std::min(limit, e * 10 + (c - '0'));
  return e;
}

} // namespace

namespace {

// Where the parts of the leading number stand in a text without blanks.
struct NumberSpan {
  bool negative = false;
  std::string_view intDigits, fracDigits, expDigits;
  bool expNegative = false;
  char expLetter = 0;  // 0 when there is no exponent
  std::size_t end = 0; // one past the last character of the number
};

std::string_view digitsFrom(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && isDecimalDigit(text[i]))
    ++i;
  return text.substr(start, i - start);
}

std::optional<NumberSpan> scanNumber(std::string_view text) {
  NumberSpan n;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    n.negative = text[i++] == '-';
  n.intDigits = digitsFrom(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    n.fracDigits = digitsFrom(text, i);
  }
  if (n.intDigits.empty() && n.fracDigits.empty())
    return std::nullopt;
  n.end = i;
  if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
    std::size_t j = i + 1;
    bool negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      negative = text[j++] == '-';
    const std::string_view digits = digitsFrom(text, j);
    if (!digits.empty()) {
      n.expLetter = text[i];
      n.expNegative = negative;
      n.expDigits = digits;
      n.end = j;
    }
  }
  return n;
}

// The general path: the number rewritten as "-int.frac" "e" exponent, with a
// D exponent, a plus sign or a huge exponent taken care of, and the value
// beyond the double range decided from the place of its first digit.
double parseSpan(const NumberSpan& n) {
  long exponent = readExponent(n.expDigits);
  if (n.expNegative)
    exponent = -exponent;
  std::string normal;
  normal.reserve(n.intDigits.size() + n.fracDigits.size() + 16);
  if (n.negative)
    normal += '-';
  normal += n.intDigits.empty() ? std::string_view("0") : n.intDigits;
  normal += '.';
  normal += n.fracDigits.empty() ? std::string_view("0") : n.fracDigits;
  normal += 'e';
  normal += std::to_string(exponent);
  double value = 0.0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (result.ec != std::errc::result_out_of_range)
    return value;

  // Out of range: an overflow when the first significant digit stands at or
  // above the units place, an underflow to zero otherwise.
  const std::string digits = std::string(n.intDigits) + std::string(n.fracDigits);
  const std::size_t lead = digits.find_first_not_of('0');
  const long place = long(n.intDigits.size()) - 1 - long(lead) + exponent;
  const double magnitude = place >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return n.negative ? -magnitude : magnitude;
}

double parseCompact(std::string_view text) {
  if (text.size() >= 2 && text[0] == '&') {
    if (text[1] == 'H' || text[1] == 'h')
      return parseBasedInteger(text.substr(2), 16);
    if (text[1] == 'O' || text[1] == 'o')
      return parseBasedInteger(text.substr(2), 8);
  }
  const auto span = scanNumber(text);
  if (!span)
    return 0.0;
  // Most texts are plain decimals that from_chars reads as they stand, with
  // no copy; it must then take exactly the characters the scan took.
  if (text[0] != '+' &&
      (span->expLetter == 0 || span->expLetter == 'e' || span->expLetter == 'E')) {
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + span->end, value);
    if (result.ec == std::errc{} && result.ptr == text.data() + span->end)
      return value;
  }
  return parseSpan(*span);
}

} // namespace

double parseNumber(std::string_view raw) {
  for (char c : raw)
    if (c == ' ' || c == '\t' || c == '\n')
      return parseCompact(withoutBlanks(raw));
  return parseCompact(raw);
}

bool isWritableNumber(double value) {
  // The largest double whose text reads back finite: the double nearest the
  // rounding boundary between the two largest 15-digit texts, or the one
  // below it if that one already rounds up.
  static const double largest = [] {
    const double boundary = parseNumber("1.797693134862315e308");
    return std::isinf(parseNumber(formatNumber(boundary))) ? std::nextafter(boundary, 0.0)
                                                           : boundary;
  }();
  return std::fabs(value) <= largest;
}

namespace {

// The digits of a "d.ddde+XX" text, up to 17 of them, and the decimal
// exponent as the number of digits before the point.
struct Scientific {
  char digit[17];
  int count = 0;
  int point = 0;
};

Scientific scientificDigits(const char* text, const char* end) {
  Scientific s;
  const char* c = text;
  for (; c != end && *c != 'e'; ++c)
    if (*c != '.')
      s.digit[s.count++] = *c;
  int exponent = 0;
  if (c != end)
    std::from_chars(c[1] == '+' ? c + 2 : c + 1, end, exponent);
  s.point = exponent + 1;
  return s;
}

// The first 15 digits (or fewer), trailing zeros dropped.
DecimalDigits firstFifteen(const Scientific& s) {
  DecimalDigits d{};
  d.count = std::min(s.count, 15);
  std::copy(s.digit, s.digit + d.count, d.digit);
  d.point = s.point;
  while (d.count > 1 && d.digit[d.count - 1] == '0')
    --d.count;
  return d;
}

// Exact, and slow: the library's own rounding to 15 digits.
DecimalDigits roundedDigitsExactly(double a) {
  char text[40];
  const char* end =
      std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 14).ptr;
  return firstFifteen(scientificDigits(text, end));
}

} // namespace

DecimalDigits roundedDigits(double value) {
  const double a = std::fabs(value);
  // A subnormal has fewer bits than 15 digits need: the argument below fails.
  if (a < std::numeric_limits<double>::min())
    return roundedDigitsExactly(a);
  // The shortest digits that read back as the value (at most 17) are within
  // half a unit in its last place, less than a fifth of the step between
  // 15-digit decimals. Rounding them to 15 digits gives the rounding of the
  // value itself unless they end on a lone 5 at the 16th digit: only then
  // could the value lie on the other side of that midpoint.
  char text[40];
  const char* end = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific).ptr;
  Scientific s = scientificDigits(text, end);
  if (s.count <= 15)
    return firstFifteen(s);
  if (s.count == 16 && s.digit[15] == '5')
    return roundedDigitsExactly(a);
  if (s.digit[15] >= '5') {
    int i = 14;
    while (i >= 0 && s.digit[i] == '9')
      s.digit[i--] = '0';
    if (i >= 0) {
      ++s.digit[i];
    } else { // 999...9 became 1000...0
      s.digit[0] = '1';
      ++s.point;
    }
  }
  return firstFifteen(s);
}

std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value) {
  if (value == 0.0) {
    buffer[0] = '0';
    return 1;
  }
  const DecimalDigits d = roundedDigits(value);
  std::size_t n = 0;
  if (value < 0)
    buffer[n++] = '-';
  const int exponent = d.point - 1;
  if (exponent < -4 || exponent >= 15) {
    // d.dddE+XX, at least two exponent digits.
    buffer[n++] = d.digit[0];
    if (d.count > 1) {
      buffer[n++] = '.';
      for (int i = 1; i < d.count; ++i)
        buffer[n++] = d.digit[i];
    }
    n += std::size_t(std::snprintf(buffer + n, kNumberTextCapacity - n, "E%c%02d",
                                   exponent < 0 ? '-' : '+', std::abs(exponent)));
    return n;
  }
  if (d.point <= 0) {
    buffer[n++] = '0';
    buffer[n++] = '.';
    for (int i = d.point; i < 0; ++i)
      buffer[n++] = '0';
    for (int i = 0; i < d.count; ++i)
      buffer[n++] = d.digit[i];
    return n;
  }
  for (int i = 0; i < std::max(d.count, d.point); ++i) {
    if (i == d.point)
      buffer[n++] = '.';
    buffer[n++] = i < d.count ? d.digit[i] : '0';
  }
  return n;
}

std::string formatNumber(double value) {
  char buffer[kNumberTextCapacity];
  return std::string(buffer, formatNumberTo(buffer, value));
}

} // namespace quenlor

#include "main/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
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

double parseNumber(std::string_view raw) {
  const std::string text = withoutBlanks(raw);
  if (text.size() >= 2 && text[0] == '&') {
    if (text[1] == 'H' || text[1] == 'h')
      return parseBasedInteger(std::string_view(text).substr(2), 16);
    if (text[1] == 'O' || text[1] == 'o')
      return parseBasedInteger(std::string_view(text).substr(2), 8);
  }

  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';

  std::string intDigits, fracDigits;
  while (i < text.size() && isDecimalDigit(text[i]))
    intDigits.push_back(text[i++]);
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDecimalDigit(text[i]))
      fracDigits.push_back(text[i++]);
  }
  if (intDigits.empty() && fracDigits.empty())
    return 0.0;

  long exponent = 0;
  if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      expNegative = text[j++] == '-';
    const std::size_t start = j;
    while (j < text.size() && isDecimalDigit(text[j]))
      ++j;
    if (j > start) {
      exponent = readExponent(std::string_view(text).substr(start, j - start));
      if (expNegative)
        exponent = -exponent;
    }
  }

  std::string normal = (negative ? "-" : "") + (intDigits.empty() ? "0" : intDigits) + "." +
                       (fracDigits.empty() ? "0" : fracDigits) + "e" + std::to_string(exponent);
  double value = 0.0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (result.ec != std::errc::result_out_of_range)
    return value;

  // Out of range: an overflow when the first significant digit stands at or
  // above the units place, an underflow to zero otherwise.
  const std::string digits = intDigits + fracDigits;
  const std::size_t lead = digits.find_first_not_of('0');
  const long place = long(intDigits.size()) - 1 - long(lead) + exponent;
  const double magnitude = place >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -magnitude : magnitude;
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

std::string formatNumber(double value) {
  if (value == 0.0)
    return "0";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  std::replace(text.begin(), text.end(), 'e', 'E');
  return text;
}

} // namespace quenlor

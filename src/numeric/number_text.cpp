// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Ten to the powers 0 to 22, every one a double exactly.
constexpr int kLargestExactPowerOfTen = 22;
constexpr std::array<double, kLargestExactPowerOfTen + 1> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Every integer up to 2^53 is a double exactly.
constexpr std::uint64_t kLargestExactInteger = std::uint64_t(1) << 53;
// Decimal digits that a 64-bit integer holds whatever they are.
constexpr int kDigitsThatFit = 19;

// digits x 10^power, correctly rounded, where one IEEE operation does it: the
// integer and the power of ten are both doubles exactly, so the product or
// quotient is rounded once, as from_chars rounds the decimal. nullopt
// beyond that.
std::optional<double> exactDecimal(std::uint64_t digits, int power) {
  if (digits > kLargestExactInteger || power > kLargestExactPowerOfTen ||
      power < -kLargestExactPowerOfTen)
    return std::nullopt;
  const double whole = double(digits);
  return power >= 0 ? whole * kExactPowersOfTen[std::size_t(power)]
                    : whole / kExactPowersOfTen[std::size_t(-power)];
}

// The texts most boxes hold ("481", "-2939.693", "0.25m"): a sign, at most 19
// digits with at most one point among them, and after them the end of the
// text or a character that cannot carry the number on: not a blank (the
// blanks' removal could join more digits) and not an exponent letter. Read in
// one pass as one exact decimal; anything else is nullopt, for the general
// way.
std::optional<double> parsePlainDecimal(std::string_view text) {
  const char* c = text.data();
  const char* const end = c + text.size();
  bool negative = false;
  if (c != end && (*c == '+' || *c == '-'))
    negative = *c++ == '-';
  std::uint64_t digits = 0;
  int count = 0, decimals = 0;
  bool point = false;
  for (; c != end; ++c) {
    if (isDecimalDigit(*c)) {
      if (++count > kDigitsThatFit)
        return std::nullopt;
      digits = digits * 10 + std::uint64_t(*c - '0');
      if (point)
        ++decimals;
    } else if (*c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (count == 0 || (c != end && std::string_view(" \t\nEeDd").find(*c) != std::string_view::npos))
    return std::nullopt;
  const auto magnitude = exactDecimal(digits, -decimals);
  if (!magnitude)
    return std::nullopt;
  return negative ? -*magnitude : *magnitude;
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
  if (const auto plain = parsePlainDecimal(raw))
    return *plain;
  for (char c : raw)
    if (c == ' ' || c == '\t' || c == '\n')
      return parseCompact(withoutBlanks(raw));
  return parseCompact(raw);
}

namespace {

// Exact products of a 53-bit significand and a power of five need 117 bits.
__extension__ typedef unsigned __int128 Wide;

// 5^0 ... 5^27, every power of five below 2^64.
constexpr int kLargestPowerOfFive = 27;
constexpr auto kPowersOfFive = [] {
  std::array<std::uint64_t, kLargestPowerOfFive + 1> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i)
    p[i] = p[i - 1] * 5;
  return p;
}();

constexpr std::uint64_t kTenToThe14 = 100000000000000;
constexpr std::uint64_t kTenToThe15 = 1000000000000000;

// A positive normal double as significand * 2^exponent, the significand
// with its leading bit (2^52 <= significand < 2^53).
struct BinaryValue {
  std::uint64_t significand;
  int exponent;
};

BinaryValue binaryOf(double a) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = int(bits >> 52);
  return {(bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52), biased - 1075};
}

// floor(log10(x)) or one less, for x in [2^e2, 2^(e2+1)): 78913 / 2^18 is
// log10(2) rounded down, close enough for every double's e2 (a value that the
// estimate would scale to below 10^14 goes the exact way).
int decimalExponentEstimate(int e2) { return (e2 * 78913) >> 18; }

// The value times 10^p, as the whole part and how the fraction compares with
// one half (-1 below, 0 equal, 1 above); nullopt where the exact integers
// would not fit in 128 bits. Every step is exact.
struct Scaled {
  std::uint64_t whole;
  int fraction; // sign of (fraction - 1/2)
};

std::optional<Scaled> scaledByPowerOfTen(BinaryValue v, int p) {
  if (p >= 0) {
    // v * 10^p = (m * 5^p) * 2^(e + p): a shift to the right, since
    // m * 5^p >= 2^52 and the caller's results are below 10^15.
    if (p > kLargestPowerOfFive)
      return std::nullopt;
    const Wide product = Wide(v.significand) * kPowersOfFive[std::size_t(p)];
    const int shift = -(v.exponent + p);
    if (shift <= 0 || shift >= 128)
      return std::nullopt;
    // The bits shifted out, moved to the top: half is the top bit alone.
    const Wide rest = product << (128 - shift);
    const Wide half = Wide(1) << 127;
    return Scaled{std::uint64_t(product >> shift), rest < half ? -1 : (rest == half ? 0 : 1)};
  }
  // v / 10^q = (m * 2^(e - q)) / 5^q.
  const int q = -p;
  if (q > kLargestPowerOfFive)
    return std::nullopt;
  const std::uint64_t five = kPowersOfFive[std::size_t(q)];
  const int t = v.exponent - q;
  if (t > 127 - 53 || t < -(127 - 64))
    return std::nullopt;
  const Wide numerator = t >= 0 ? Wide(v.significand) << t : Wide(v.significand);
  const Wide divisor = t >= 0 ? Wide(five) : Wide(five) << -t;
  const Wide rest = numerator % divisor;
  const Wide twice = rest * 2;
  return Scaled{std::uint64_t(numerator / divisor),
                twice < divisor ? -1 : (twice == divisor ? 0 : 1)};
}

// "00" to "99", for writing digits two at a time.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = char('0' + i / 10);
    pairs[2 * i + 1] = char('0' + i % 10);
  }
  return pairs;
}();

// 10^0 ... 10^19, every power of ten below 2^64.
constexpr auto kIntegerPowersOfTen = [] {
  std::array<std::uint64_t, 20> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i)
    p[i] = p[i - 1] * 10;
  return p;
}();

// The significant digits of n (10^14 <= n < 10^15): 15 less its trailing
// zeros. Most computed values have none; the others lose at most 14, found
// eight, four, two and one at a time.
int significantDigits(std::uint64_t n) {
  if (n % 10 != 0)
    return 15;
  int zeros = 1;
  const auto more = [n, &zeros](int step) {
    if (n % kIntegerPowersOfTen[std::size_t(zeros) + std::size_t(step)] == 0)
      zeros += step;
  };
  more(8);
  more(4);
  more(2);
  more(1);
  return 15 - zeros;
}

DecimalDigits digitsOf(std::uint64_t fifteen, int point) {
  return {fifteen, significantDigits(fifteen), point};
}

// The fast way: the value scaled by an exact power of ten into [10^14,
// 10^15), rounded half to even as an integer. nullopt outside the range
// that 128-bit integers cover (about 1e-13 to 1e38) or for a subnormal.
std::optional<DecimalDigits> roundedDigitsScaled(double a) {
  if (a < std::numeric_limits<double>::min())
    return std::nullopt;
  const BinaryValue v = binaryOf(a);
  int k = decimalExponentEstimate(v.exponent + 52);
  auto scaled = scaledByPowerOfTen(v, 14 - k);
  if (scaled && scaled->whole >= kTenToThe15) // the estimate was one low
    scaled = scaledByPowerOfTen(v, 14 - ++k);
  if (!scaled || scaled->whole < kTenToThe14)
    return std::nullopt;
  std::uint64_t n = scaled->whole;
  if (scaled->fraction > 0 || (scaled->fraction == 0 && (n & 1) != 0))
    ++n;
  int point = k + 1;
  if (n == kTenToThe15) { // 999...9 rounded up to the next power of ten
    n = kTenToThe14;
    ++point;
  }
  return digitsOf(n, point);
}

// The exact and slow way: the library's own rounding to 15 digits.
DecimalDigits roundedDigitsExactly(double a) {
  char text[40];
  const char* end =
      std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 14).ptr;
  std::uint64_t n = 0;
  const char* c = text;
  for (; c != end && *c != 'e'; ++c)
    if (*c != '.')
      n = n * 10 + std::uint64_t(*c - '0');
  int exponent = 0;
  std::from_chars(c[1] == '+' ? c + 2 : c + 1, end, exponent);
  return digitsOf(n, exponent + 1);
}

// Writes the eight digits of y < 10^8, two at a time: y / 10^6 as a
// fixed-point number of kFractionBits, each pair the whole part, the fraction
// then times 100 for the next. The factor is 2^57 / 10^6 rounded up; the
// error that adds, under 10^8 / 2^57 of a unit and grown a million times by
// the three products, stays below 10^-3: it never reaches the next digit.
void putEightDigits(std::uint32_t y, char* out) {
  constexpr int kFractionBits = 57;
  constexpr std::uint64_t kOne = std::uint64_t(1) << kFractionBits;
  std::uint64_t f = std::uint64_t(y) * (kOne / 1000000 + 1);
  const auto pair = [&f, out](int at) {
    std::memcpy(out + at, &kDigitPairs[2 * (f >> kFractionBits)], 2);
    f = (f & (kOne - 1)) * 100;
  };
  pair(0);
  pair(2);
  pair(4);
  pair(6);
}

// The 15 digits of d at out[0..15), and a zero more after them.
void putFifteenDigits(const DecimalDigits& d, char* out) {
  char sixteen[16];
  putEightDigits(std::uint32_t(d.fifteen / 100000000), sixteen); // a leading zero
  putEightDigits(std::uint32_t(d.fifteen % 100000000), sixteen + 8);
  std::memcpy(out, sixteen + 1, 15);
  out[15] = '0';
}

// "E+07", "E-123": the letter, the sign and at least two digits.
std::size_t putExponent(char* out, int exponent) {
  std::size_t n = 0;
  out[n++] = 'E';
  out[n++] = exponent < 0 ? '-' : '+';
  const int e = std::abs(exponent);
  if (e >= 100)
    out[n++] = char('0' + e / 100);
  out[n++] = char('0' + e / 10 % 10);
  out[n++] = char('0' + e % 10);
  return n;
}

// The text of a non-zero value whose rounded digits are d. Every piece is
// copied at a fixed length of 16, its digits followed by zeros, and the
// length then counted; the buffer has room for the longest such copy.
std::size_t putNumber(char (&out)[kNumberTextCapacity], bool negative, const DecimalDigits& d) {
  char digits[32];
  putFifteenDigits(d, digits);
  std::memset(digits + 16, '0', 16);
  constexpr std::size_t kPiece = 16;
  const std::size_t count = std::size_t(d.count);
  std::size_t n = 0;
  if (negative)
    out[n++] = '-';
  const int exponent = d.point - 1;
  if (exponent < -4 || exponent >= 15) { // d.dddE+XX
    out[n++] = digits[0];
    if (count > 1) {
      out[n] = '.';
      std::memcpy(out + n + 1, digits + 1, kPiece);
      n += count;
    }
    return n + putExponent(out + n, exponent);
  }
  if (d.point <= 0) { // 0.000ddd, at most three zeros after the point
    std::memcpy(out + n, "0.000", 5);
    n += std::size_t(2 - d.point);
    std::memcpy(out + n, digits, kPiece);
    return n + count;
  }
  const std::size_t whole = std::size_t(d.point);
  std::memcpy(out + n, digits, kPiece); // ddd000 whole, or the ddd before the point
  if (whole >= count)
    return n + whole;
  out[n + whole] = '.'; // ddd.ddd
  std::memcpy(out + n + whole + 1, digits + whole, kPiece);
  return n + count + 1;
}

} // namespace

// The digits there are those at places a to b - 1, followed by zeros.
std::uint64_t DecimalDigits::digitsAt(int first, int last) const {
  const int a = std::max(first, 0);
  const int b = std::min(last, 15);
  if (a >= b)
    return 0;
  const std::uint64_t digits =
      fifteen / kIntegerPowersOfTen[std::size_t(15 - b)] % kIntegerPowersOfTen[std::size_t(b - a)];
  return digits * kIntegerPowersOfTen[std::size_t(last - b)];
}

DecimalDigits roundedDigits(double value) {
  const double a = std::fabs(value);
  if (const auto d = roundedDigitsScaled(a))
    return *d;
  return roundedDigitsExactly(a);
}

std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value) {
  if (value == 0.0) {
    buffer[0] = '0';
    return 1;
  }
  return putNumber(buffer, value < 0, roundedDigits(value));
}

std::size_t formatNumberTo(char (&buffer)[kNumberTextCapacity], double value,
                           std::optional<double>& readsAs) {
  if (value == 0.0) {
    buffer[0] = '0';
    readsAs = 0.0;
    return 1;
  }
  const DecimalDigits d = roundedDigits(value);
  // The text is the significant digits x 10^(point - count) exactly.
  readsAs = exactDecimal(d.digitsAt(0, d.count), d.point - d.count);
  if (readsAs && value < 0)
    readsAs = -*readsAs;
  return putNumber(buffer, value < 0, d);
}

std::string formatNumber(double value) {
  char buffer[kNumberTextCapacity];
  return std::string(buffer, formatNumberTo(buffer, value));
}

} // namespace quenlor

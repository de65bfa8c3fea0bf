// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/number_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace quenlor {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentLetter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }
bool isSign(char c) { return c == '+' || c == '-'; }

bool isDigitOfBase(char c, int base) {
  if (base == 8)
    return c >= '0' && c <= '7';
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Significant hexadecimal and octal digits kept: 64 and 63 bits, more than
// the 54 that decide a double's rounding.
constexpr std::size_t kKeptHexDigits = 16;
constexpr std::size_t kKeptOctalDigits = 21;
// Exponent digits kept exactly; more than 18 are far beyond any double.
constexpr std::size_t kExponentDigitsKept = 18;
constexpr std::int64_t kExponentLimit = 1000000000000000000;

// Enough digits to tell apart the doubles near a number in most cases.
constexpr std::size_t kShortDigits = 19;

// 10^place with place at least this is beyond the double range; below the
// other, under half the smallest subnormal.
constexpr std::int64_t kOverflowPlace = 310;
constexpr std::int64_t kUnderflowPlace = -326;

double signedValue(bool negative, double magnitude) { return negative ? -magnitude : magnitude; }

} // namespace

void NumberReader::Digits::push(char digit, std::size_t keep) {
  if (significant == 0 && digit == '0') {
    ++leadingZeros;
    return;
  }
  if (significant < keep)
    kept.push_back(digit);
  else if (digit != '0')
    ++nonZeroDropped;
  ++significant;
}

void NumberReader::Digits::pop(char digit, std::size_t keep) {
  if (significant == 0) {
    --leadingZeros;
    return;
  }
  --significant;
  if (significant < keep)
    kept.pop_back();
  else if (digit != '0')
    --nonZeroDropped;
}

std::size_t NumberReader::keep() const {
  return base_ == 16 ? kKeptHexDigits : (base_ == 8 ? kKeptOctalDigits : kKeptDigits);
}

void NumberReader::reset(std::string_view text) {
  *this = NumberReader();
  append(text);
}

void NumberReader::append(std::string_view characters) {
  for (char c : characters) {
    const std::size_t at = length_++;
    if (ended_ || isBlank(c))
      continue;
    if (!advance(c)) {
      ended_ = true;
      endedAt_ = at;
    }
  }
}

void NumberReader::removeLast(std::string_view characters) {
  for (auto c = characters.rbegin(); c != characters.rend(); ++c) {
    const std::size_t at = --length_;
    if (ended_) {
      ended_ = at != endedAt_; // the ending character gone, the number goes on
      continue;
    }
    if (!isBlank(*c))
      retreat(*c);
  }
}

// Takes one more character of the number, or leaves everything as it was
// and says no when the character cannot continue it.
bool NumberReader::advance(char c) {
  switch (phase_) {
  case Phase::Start:
    if (isSign(c)) {
      signed_ = true;
      negative_ = c == '-';
      phase_ = Phase::Sign;
      return true;
    }
    if (c == '&') {
      phase_ = Phase::Ampersand;
      return true;
    }
    [[fallthrough]];
  case Phase::Sign:
    if (!isDecimalDigit(c) && c != '.')
      return false;
    phase_ = Phase::Mantissa;
    [[fallthrough]];
  case Phase::Mantissa:
    if (isDecimalDigit(c)) {
      mantissa_.push(c, kKeptDigits);
      fractionDigits_ += point_;
    } else if (c == '.' && !point_) {
      point_ = true;
    } else if (isExponentLetter(c) && mantissa_.count() > 0) {
      phase_ = Phase::ExpLetter;
    } else {
      return false;
    }
    return true;
  case Phase::ExpLetter:
    if (isSign(c)) {
      exponentSigned_ = true;
      exponentNegative_ = c == '-';
      phase_ = Phase::ExpSign;
      return true;
    }
    [[fallthrough]];
  case Phase::ExpSign:
    if (!isDecimalDigit(c))
      return false;
    phase_ = Phase::ExpDigits;
    [[fallthrough]];
  case Phase::ExpDigits:
    if (!isDecimalDigit(c))
      return false;
    take(c);
    return true;
  case Phase::Ampersand:
    if (c == 'H' || c == 'h' || c == 'O' || c == 'o') {
      base_ = c == 'H' || c == 'h' ? 16 : 8;
      phase_ = Phase::BasedDigits;
      return true;
    }
    return false;
  case Phase::BasedDigits:
    if (!isDigitOfBase(c, base_))
      return false;
    mantissa_.push(c, keep());
    return true;
  }
  return false;
}

// Gives back the last character the number took.
void NumberReader::retreat(char c) {
  const Phase beforeMantissa = signed_ ? Phase::Sign : Phase::Start;
  switch (phase_) {
  case Phase::Start: return; // not reached: nothing was taken
  case Phase::Sign:
    signed_ = negative_ = false;
    phase_ = Phase::Start;
    return;
  case Phase::Mantissa:
    if (c == '.') {
      point_ = false;
    } else {
      fractionDigits_ -= point_;
      mantissa_.pop(c, kKeptDigits);
    }
    if (mantissa_.count() == 0 && !point_)
      phase_ = beforeMantissa;
    return;
  case Phase::ExpLetter: phase_ = Phase::Mantissa; return;
  case Phase::ExpSign:
    exponentSigned_ = exponentNegative_ = false;
    phase_ = Phase::ExpLetter;
    return;
  case Phase::ExpDigits:
    untake(c);
    if (exponentDigits_ == 0)
      phase_ = exponentSigned_ ? Phase::ExpSign : Phase::ExpLetter;
    return;
  case Phase::Ampersand: phase_ = Phase::Start; return;
  case Phase::BasedDigits:
    if (mantissa_.count() == 0) {
      base_ = 10;
      phase_ = Phase::Ampersand;
    } else {
      mantissa_.pop(c, keep());
    }
    return;
  }
}

// One more exponent digit.
void NumberReader::take(char c) {
  ++exponentDigits_;
  if (exponentSignificant_ == 0 && c == '0') {
    ++exponentLeadingZeros_;
    return;
  }
  if (exponentSignificant_ < kExponentDigitsKept)
    exponentValue_ = exponentValue_ * 10 + std::uint64_t(c - '0');
  ++exponentSignificant_;
}

void NumberReader::untake(char) {
  --exponentDigits_;
  if (exponentSignificant_ == 0) {
    --exponentLeadingZeros_;
    return;
  }
  --exponentSignificant_;
  if (exponentSignificant_ < kExponentDigitsKept)
    exponentValue_ /= 10;
}

double NumberReader::value() const {
  if (phase_ == Phase::BasedDigits)
    return basedValue();
  if (mantissa_.count() == 0)
    return 0.0;
  return decimalValue();
}

namespace {

// Digits d1 d2 ... with d1 standing at 10^place, and a 1 after them where
// `sticky`, read as one short decimal; beyond the double range as parseNumber
// has it: an infinity from the units place up, a zero below.
double readDigits(bool negative, std::string_view digits, bool sticky, std::int64_t place) {
  char text[NumberReader::kKeptDigits + 48];
  std::size_t n = 0;
  if (negative)
    text[n++] = '-';
  std::memcpy(text + n, digits.data(), digits.size());
  n += digits.size();
  if (sticky)
    text[n++] = '1';
  text[n++] = 'e';
  const std::int64_t written = std::int64_t(digits.size()) + sticky;
  const char* end = std::to_chars(text + n, text + sizeof text, place - written + 1).ptr;
  double value = 0.0;
  if (std::from_chars(text, end, value).ec != std::errc::result_out_of_range)
    return value;
  return signedValue(negative, place >= 0 ? std::numeric_limits<double>::infinity() : 0.0);
}

} // namespace

double NumberReader::decimalValue() const {
  const Digits& m = mantissa_;
  if (m.significant == 0)
    return signedValue(negative_, 0.0);
  std::int64_t exponent = exponentSignificant_ > kExponentDigitsKept
                              ? kExponentLimit
                              : std::min(std::int64_t(exponentValue_), kExponentLimit);
  if (exponentNegative_)
    exponent = -exponent;
  const std::int64_t integerDigits = std::int64_t(m.count() - fractionDigits_);
  const std::int64_t place = integerDigits - 1 - std::int64_t(m.leadingZeros) + exponent;
  if (place >= kOverflowPlace)
    return signedValue(negative_, std::numeric_limits<double>::infinity());
  if (place <= kUnderflowPlace)
    return signedValue(negative_, 0.0);

  // A long number lies between its first 19 digits and the next 19-digit
  // number up: where both round to the same double, so does it.
  if (m.significant > kShortDigits) {
    const std::string_view low(m.kept.data(), kShortDigits);
    char high[kShortDigits + 1];
    std::memcpy(high + 1, low.data(), kShortDigits);
    high[0] = '0';
    std::size_t i = kShortDigits;
    for (; high[i] == '9'; --i)
      high[i] = '0';
    ++high[i];
    const bool carried = i == 0;
    const double below = readDigits(negative_, low, false, place);
    const double above =
        readDigits(negative_, std::string_view(high + !carried, kShortDigits + carried), false,
                   place + carried);
    if (below == above)
      return below;
  }
  return readDigits(negative_, m.kept, m.nonZeroDropped > 0, place);
}

// The kept digits as hexadecimal ones (octal regrouped through an integer),
// a 1 for any non-zero digit dropped, and the binary exponent of the rest.
double NumberReader::basedValue() const {
  const Digits& m = mantissa_;
  if (m.significant == 0)
    return 0.0;
  std::string text;
  std::int64_t exponent = 0;
  if (base_ == 16) {
    text = m.kept;
    exponent = 4 * std::int64_t(m.significant - m.kept.size());
  } else {
    std::uint64_t n = 0;
    for (char c : m.kept)
      n = n * 8 + std::uint64_t(c - '0');
    char hex[16];
    text.assign(hex, std::to_chars(hex, hex + sizeof hex, n, 16).ptr);
    exponent = 3 * std::int64_t(m.significant - m.kept.size());
  }
  if (m.nonZeroDropped > 0) {
    text += '1';
    exponent -= 4;
  }
  if (exponent > 1100) // 2^1100 and more
    return std::numeric_limits<double>::infinity();
  text += 'p';
  text += std::to_string(exponent);
  double value = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::hex);
  if (result.ec == std::errc::result_out_of_range)
    return std::numeric_limits<double>::infinity();
  return value;
}

} // namespace quenlor

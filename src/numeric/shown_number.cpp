// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/shown_number.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace quenlor {
namespace {

constexpr std::string_view kEllipsis = "…";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A number text as the boxes write one: [-]digits[.digits][E(+|-)digits].
struct NumberParts {
  std::string_view sign, digits, exponent; // digits keep their point
};

bool splitNumber(std::string_view text, NumberParts& parts) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-')
    ++i;
  const std::size_t start = i;
  bool point = false;
  while (i < text.size() && (isDigit(text[i]) || (text[i] == '.' && !point))) {
    point = point || text[i] == '.';
    ++i;
  }
  if (i == start || !isDigit(text[start]))
    return false;
  const std::size_t e = i;
  if (i < text.size()) {
    if (text[i] != 'E' || i + 2 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-'))
      return false;
    for (std::size_t j = i + 2; j < text.size(); ++j)
      if (!isDigit(text[j]))
        return false;
  }
  parts = {text.substr(0, start), text.substr(start, e - start), text.substr(e)};
  return true;
}

// The longest start of `body`, at least `least` characters and not ending
// on the point, for which sign + start + ellipsis + tail fits; nothing when
// none does.
std::optional<std::string> longestFitting(std::string_view sign, std::string_view body,
                                          std::size_t least, std::string_view tail,
                                          const std::function<bool(std::string_view)>& fits) {
  std::optional<std::string> best;
  for (std::size_t n = least; n < body.size(); ++n) {
    if (body[n - 1] == '.')
      continue;
    std::string candidate = std::string(sign) + std::string(body.substr(0, n));
    candidate += kEllipsis;
    candidate += tail;
    if (!fits(candidate))
      break;
    best = std::move(candidate);
  }
  return best;
}

// The digits as d.ddd with the exponent of their first significant digit:
// 3456789.123 gives 3.456789123 and E+06, 0.000123 gives 1.23 and E-04.
std::string scientific(std::string_view digits, std::string& mantissa) {
  std::string plain;
  int exponent =
      int(digits.find('.') == std::string_view::npos ? digits.size() : digits.find('.')) - 1;
  for (char c : digits)
    if (c != '.')
      plain += c;
  const std::size_t first = plain.find_first_not_of('0');
  if (first == std::string::npos) {
    mantissa = "0";
    return "";
  }
  exponent -= int(first);
  mantissa = plain.substr(first, 1) + "." + plain.substr(first + 1);
  char text[16];
  std::snprintf(text, sizeof text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return text;
}

} // namespace

std::string shownNumber(std::string_view text, const std::function<bool(std::string_view)>& fits) {
  if (fits(text))
    return std::string(text);
  NumberParts parts;
  if (!splitNumber(text, parts))
    return longestFitting({}, text, 1, {}, fits)
        .value_or(std::string(text.substr(0, 1)) + std::string(kEllipsis));
  if (!parts.exponent.empty() && parts.digits.size() == 1)
    return std::string(text); // no digit to leave out
  if (!parts.exponent.empty())
    return longestFitting(parts.sign, parts.digits, 1, parts.exponent, fits)
        .value_or(std::string(parts.sign) + parts.digits[0] + std::string(kEllipsis) +
                  std::string(parts.exponent));
  // Plain digits: all the whole ones and a first significant digit at least,
  // else the same number with an exponent.
  const std::size_t point = parts.digits.find('.');
  const std::size_t whole = point == std::string_view::npos ? parts.digits.size() : point;
  const std::size_t significant = parts.digits.find_first_not_of("0.");
  const std::size_t least =
      std::max(whole, significant == std::string_view::npos ? whole : significant + 1);
  if (auto shown = longestFitting(parts.sign, parts.digits, least, {}, fits))
    return *shown;
  std::string mantissa;
  const std::string exponent = scientific(parts.digits, mantissa);
  return longestFitting(parts.sign, mantissa, 1, exponent, fits)
      .value_or(std::string(parts.sign) + mantissa.substr(0, 1) + std::string(kEllipsis) +
                exponent);
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/shown_number.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

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

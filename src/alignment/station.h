// SPDX-License-Identifier: GPL-3.0-or-later
// A station: a chainage, and which of its occurrences along the centre line
// it is. After a long chain break of a route some chainages occur twice, so a
// chainage alone may name two points; the occurrence, counted along the line
// from 0, says which. Written the surveyors' way, K3+080.500.
#pragma once

#include "numeric/chainage_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

struct Station {
  double chainage = 0;
  int occurrence = 0; // 0 the first time the chainage occurs along the line

  bool operator==(const Station&) const = default;
};

// A station as its chainage text (numeric/chainage_text.h), marked with the
// occurrence when it is not the first:
// "K3+090.000" and "K3+090.000 (2)".
std::string stationText(const Station& station, int decimals = 3);

// A station as the tools read one: a chainage as surveyors write it
// (numeric/chainage_text.h: parseChainage), followed by the occurrence in
// brackets where a long chain break repeats it ("K3+090(2)", "3090 (2)" or
// stationText's "K3+090.000 (2)" is the second time K3+090 occurs); the
// first occurrence without. Nothing for any other text, "(0)" and "(1x)"
// included.
std::optional<Station> parseStation(std::string_view text);

} // namespace quenlor

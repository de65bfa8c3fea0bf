// SPDX-License-Identifier: GPL-3.0-or-later
// A station: a chainage, and which of its occurrences along the route it is.
// After a long chain break some chainages occur twice, so a chainage alone
// may name two points; the occurrence, counted in route order from 0, says
// which. Written the surveyors' way, K3+080.500.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quenlor::route {

struct Station {
  double chainage = 0;
  int occurrence = 0; // 0 the first time the chainage occurs along the route

  bool operator==(const Station&) const = default;
};

// "K3+080.500" for 3080.5 with decimals (0 to 6) decimals, rounded first, so
// 1999.9996 is "K2+000.000". A negative chainage is "K-0+012.500". Beyond a
// trillion metres, or not finite, the plain number.
std::string chainageText(double chainage, int decimals = 3);

// The same, marked with the occurrence when it is not the first:
// "K3+090.000" and "K3+090.000 (2)".
std::string stationText(const Station& station, int decimals = 3);

// Reads a chainage as a surveyor types it: "K3+080.5", "k3+080.500",
// "K-0+012.5", or a plain number "3080.5"; spaces around it are ignored.
// Nothing for any other text.
std::optional<double> parseChainage(std::string_view text);

} // namespace quenlor::route

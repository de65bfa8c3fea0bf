// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignment/station.h"

namespace quenlor {

std::string stationText(const Station& station, int decimals) {
  std::string text = chainageText(station.chainage, decimals);
  if (station.occurrence > 0)
    text += " (" + std::to_string(station.occurrence + 1) + ")";
  return text;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// When a file is written, as the files say it: the date on a stake sheet,
// the date and time LandXML requires. Local time, or the moment named by
// SOURCE_DATE_EPOCH (seconds since 1970, UTC) when it is set, so that a
// test or a reproducible build writes the same bytes every time.
#pragma once

#include <string>

namespace quenlor::exchange {

struct Stamp {
  std::string date; // 2024-05-01
  std::string time; // 14:03:27
};

Stamp nowStamp();

// The stamp of a moment, seconds since 1970, in UTC.
Stamp utcStamp(long long seconds);

} // namespace quenlor::exchange

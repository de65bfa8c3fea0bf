// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/stamp.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace quenlor::exchange {
namespace {

Stamp stampOf(const std::tm& t) {
  char date[32], time[32];
  std::strftime(date, sizeof date, "%Y-%m-%d", &t);
  std::strftime(time, sizeof time, "%H:%M:%S", &t);
  return {date, time};
}

} // namespace

Stamp utcStamp(long long seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&t, &parts);
  return stampOf(parts);
}

Stamp nowStamp() {
  if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH")) {
    const std::string_view text(fixed);
    long long seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (!text.empty() && error == std::errc{} && end == text.data() + text.size())
      return utcStamp(seconds);
  }
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return stampOf(parts);
}

} // namespace quenlor::exchange

// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/split.h"

namespace quenlor {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos)
      return parts;
    from = at + 1;
  }
}

} // namespace quenlor

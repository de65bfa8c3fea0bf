// SPDX-License-Identifier: GPL-3.0-or-later
// Text cut at a separator, as a spreadsheet's copied rows (lines) and cells
// (tabs) come: every piece, empty ones too, in order; a text without the
// separator is one piece.
#pragma once

#include <string_view>
#include <vector>

namespace quenlor {

std::vector<std::string_view> split(std::string_view text, char separator);

} // namespace quenlor

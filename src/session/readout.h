// SPDX-License-Identifier: GPL-3.0-or-later
// The form's results at field precision, to read at a glance: the boxes are
// as narrow as their table makes them and show the leading digits of a
// fifteen-digit number, while a surveyor copies millimetres and whole
// seconds. The readout reads the boxes' texts with the same lenient parse as
// every computation and writes them as a stake sheet does; it changes
// nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

class Form;

// One result: its short caption and its text at field precision, empty where
// its box holds no number.
struct ReadoutItem {
  std::string_view caption;
  std::string text;
};

// In three columns of five: the curve's T, E, L, deflection (转角, the word
// of the route table and the design's table) and R; its main points ZH to
// HZ as chainages (K1+095.204), a curve's end without transition as ZY or
// YZ with the other item of that place blank; the point of the chainage box
// with its X, Y, setting-out azimuth (方位, 310°07′00″) and distance (距离),
// and its elevation. Column by column, top to bottom.
inline constexpr int kReadoutRows = 5;
std::vector<ReadoutItem> formReadout(const Form& form);

} // namespace quenlor

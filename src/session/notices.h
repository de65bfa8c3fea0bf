// SPDX-License-Identifier: GPL-3.0-or-later
// What the panels beside the boxes say while it holds, in one line: things in
// the boxes that a surveyor should know before staking out from them. The
// boxes themselves report nothing; these notices do not change them.
#pragma once

#include <string>
#include <vector>

namespace quenlor {

class Form;

enum class Notice {
  // The deflection typed into Text6 differs by more than a second from the
  // one the coordinates give in Text19.
  DeflectionDisagrees,
  // The transitions are too long for the deflection: the main points in
  // Text21 to Text25 come out of chainage order.
  TransitionsTooLong,
  // The radius in Text9 is zero or negative.
  RadiusNotPositive,
  // The transitions differ (Text10 and Text42): the point at a chainage in
  // the boxes treats the curve as symmetric, the plan and the field tools
  // follow the true curve.
  TransitionsDiffer,
};

std::vector<Notice> noticesOf(const Form& form);

// The notice as the panel says it, in Chinese.
std::string noticeText(Notice notice);

} // namespace quenlor

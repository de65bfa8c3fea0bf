// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the window: kind, caption, place and size in twips, and
// tab index, row by row from the top. A view builds its widgets from this
// table; it knows no toolkit.
#pragma once

#include <array>
#include <string_view>

namespace quenlor {

enum class ControlKind { Label, TextBox, Button };

struct WindowControl {
  std::string_view name; // "Text26", "Command1(0)", "Label5(2)"
  ControlKind kind;
  std::string_view caption;     // UTF-8; empty for text boxes
  int left, top, width, height; // twips from the client area's top-left corner
  int tabIndex;                 // labels hold one but never take the focus
};

inline constexpr int kControlCount = 94;
inline constexpr int kTwipsPerPixel = 15; // at 96 dots per inch

inline constexpr std::string_view kWindowName = "main";
inline constexpr std::string_view kWindowCaption = "Quenlor-测试";

// The title, Label1, in the LiShu calligraphic face at this size.
inline constexpr double kTitlePointSize = 21.75;

// The smallest client area that shows every control, in twips.
inline constexpr int kClientWidthTwips = 11895;
inline constexpr int kClientHeightTwips = 6630;

const std::array<WindowControl, kControlCount>& windowControls();

} // namespace quenlor

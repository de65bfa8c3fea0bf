// SPDX-License-Identifier: GPL-3.0-or-later
// The text boxes and buttons of the window, by the names the window gives them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

// Text1 ... Text45; there is no box numbered 43.
enum class Box : int {
  Text1 = 1,
  Text2,
  Text3,
  Text4,
  Text5,
  Text6,
  Text7,
  Text8,
  Text9,
  Text10,
  Text11,
  Text12,
  Text13,
  Text14,
  Text15,
  Text16,
  Text17,
  Text18,
  Text19,
  Text20,
  Text21,
  Text22,
  Text23,
  Text24,
  Text25,
  Text26,
  Text27,
  Text28,
  Text29,
  Text30,
  Text31,
  Text32,
  Text33,
  Text34,
  Text35,
  Text36,
  Text37,
  Text38,
  Text39,
  Text40,
  Text41,
  Text42,
  Text44 = 44,
  Text45
};

inline constexpr int kBoxCount = 44;
inline constexpr int kHighestBoxNumber = 45;

enum class Button : int { Command1, Command2, Command3, Command4, Command5, Command6 };

inline constexpr int kButtonCount = 6;

// Every box in numeric order.
const std::array<Box, kBoxCount>& allBoxes();

constexpr int boxNumber(Box box) { return static_cast<int>(box); }

// "Text26"
std::string boxName(Box box);

// "Command1(0)", "Command2", ...
std::string buttonName(Button button);

// The box of a name such as "Text26"; nothing for an unknown name.
std::optional<Box> boxFromName(std::string_view name);

// The button of a name; "Command1(0)" and "Command1" both name the first.
std::optional<Button> buttonFromName(std::string_view name);

} // namespace quenlor

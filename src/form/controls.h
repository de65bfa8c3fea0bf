// SPDX-License-Identifier: GPL-3.0-or-later
// The text boxes and buttons of the window, by the names the window gives them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

// Text1 ... Text45, each with its role; there is no box numbered 43.
enum class Box : int {
  Text1 = 1,   // backsight Y (后视y)
  Text2,       // backsight elevation, display-only (后视高)
  Text3,       // distance from the station to the backsight (距离)
  Text4,       // azimuth from the station to the backsight, packed (方位角)
  Text5,       // height difference of the distance row (高差)
  Text6,       // deflection at the JD, packed, signed (偏角)
  Text7,       // JD number, read by no computation (交点编号)
  Text8,       // JD chainage (交点桩号)
  Text9,       // radius R
  Text10,      // first transition Ls (缓和曲线Ls)
  Text11,      // tangent length T1 (切线T)
  Text12,      // external distance E (外距E)
  Text13,      // JD X (交点X)
  Text14,      // JD Y (交点Y)
  Text15,      // next JD X (下交点X)
  Text16,      // next JD Y (下交点Y)
  Text17,      // azimuth of the incoming straight, packed (上直线方位)
  Text18,      // azimuth of the outgoing straight, packed (下直线方位)
  Text19,      // deflection from the coordinates, packed (交点偏角)
  Text20,      // next JD chainage (下交点桩号)
  Text21,      // chainage of ZH
  Text22,      // chainage of HY
  Text23,      // chainage of QZ
  Text24,      // chainage of YH
  Text25,      // chainage of HZ
  Text26,      // chainage to compute (计算桩号)
  Text27,      // X of the point at the chainage
  Text28,      // Y of the point at the chainage
  Text29,      // setting-out azimuth, packed (放线方位角)
  Text30,      // setting-out distance (放线距离)
  Text31,      // height difference of the point (高差)
  Text32,      // elevation of the point (高程)
  Text33,      // computation number, read by no computation (计算编号)
  Text34,      // curve length L (曲线L)
  Text35,      // station X (测站X)
  Text36,      // station Y (测站y)
  Text37,      // station elevation (测站高)
  Text38,      // instrument height (仪高)
  Text39,      // backsight X (后视x)
  Text40,      // height difference of the station rows (高差)
  Text41,      // prism height (镜高)
  Text42,      // second transition ls2 (缓和曲线ls2)
  Text44 = 44, // tangent offset x (切线支距X)
  Text45       // tangent offset y (切线支距Y)
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/controls.h"

#include <charconv>

namespace quenlor {

const std::array<Box, kBoxCount>& allBoxes() {
  static const std::array<Box, kBoxCount> boxes = [] {
    std::array<Box, kBoxCount> list{};
    int i = 0;
    for (int n = 1; n <= kHighestBoxNumber; ++n)
      if (n != 43)
        list[std::size_t(i++)] = static_cast<Box>(n);
    return list;
  }();
  return boxes;
}

std::string boxName(Box box) { return "Text" + std::to_string(boxNumber(box)); }

std::string buttonName(Button button) {
  const int n = static_cast<int>(button) + 1;
  return n == 1 ? "Command1(0)" : "Command" + std::to_string(n);
}

std::optional<Box> boxFromName(std::string_view name) {
  constexpr std::string_view prefix = "Text";
  if (!name.starts_with(prefix))
    return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits.front() == '0')
    return std::nullopt;
  int n = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (result.ec != std::errc{} || result.ptr != digits.data() + digits.size())
    return std::nullopt;
  if (n < 1 || n > kHighestBoxNumber || n == 43)
    return std::nullopt;
  return static_cast<Box>(n);
}

std::optional<Button> buttonFromName(std::string_view name) {
  if (name == "Command1(0)" || name == "Command1")
    return Button::Command1;
  for (int i = 1; i < kButtonCount; ++i)
    if (name == buttonName(static_cast<Button>(i)))
      return static_cast<Button>(i);
  return std::nullopt;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The main points of a curve, in chainage order, with the box that shows each
// one's chainage and the state value that keeps it.
//
//   JD  交点  the intersection point of the two straights
//   ZH  直缓  straight to transition: where the curve begins
//   HY  缓圆  transition to circular arc
//   QZ  曲中  the middle of the circular arc
//   YH  圆缓  circular arc to transition
//   HZ  缓直  transition to straight: where the curve ends
//
// Without transitions ZH and HY fall together, and so do YH and HZ.
#pragma once

#include "form/calc_state.h"
#include "form/controls.h"

#include <array>
#include <string_view>

namespace quenlor {

struct MainPoint {
  std::string_view name;
  Box box;
  double CalcState::*chainage;
};

inline constexpr std::array<MainPoint, 5> kMainPoints{{
    {"ZH", Box::Text21, &CalcState::zhChainage},
    {"HY", Box::Text22, &CalcState::hyChainage},
    {"QZ", Box::Text23, &CalcState::qzChainage},
    {"YH", Box::Text24, &CalcState::yhChainage},
    {"HZ", Box::Text25, &CalcState::hzChainage},
}};

} // namespace quenlor

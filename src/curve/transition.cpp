// SPDX-License-Identifier: GPL-3.0-or-later
#include "curve/transition.h"

#include <cmath>

namespace quenlor {

TransitionElements transitionElements(double ls, double radius) {
  TransitionElements t{};
  t.shift = ls * ls / 24.0 / radius;
  t.tangentExtension = ls / 2.0 - std::pow(ls, 3) / 240.0 / radius / radius;
  t.spiralAngle = ls / 2.0 / radius;
  return t;
}

} // namespace quenlor

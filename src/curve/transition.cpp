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

double tangentLengthOf(const TransitionElements& near, const TransitionElements& far, double radius,
                       double alpha) {
  return near.tangentExtension +
         ((radius + far.shift) - (radius + near.shift) * std::cos(alpha)) / std::sin(alpha);
}

} // namespace quenlor

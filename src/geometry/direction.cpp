// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/direction.h"

#include <cmath>

namespace quenlor {

void xjjs(double& angle, const double& x, const double& y) {
  const double t = y / x;
  angle = std::atan(t);
}

} // namespace quenlor

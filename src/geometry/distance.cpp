// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/distance.h"

#include <cmath>

namespace quenlor {

double planeDistance(double xA, double yA, double xB, double yB) {
  const double dx = xA - xB;
  const double dy = yA - yB;
  return std::sqrt(dx * dx + dy * dy);
}

} // namespace quenlor

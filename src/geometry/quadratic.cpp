// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/quadratic.h"

#include <cmath>

namespace quenlor {

void qg(double& x, const double& a, const double& b, const double& c) {
  const double discriminant = b * b - c * (4.0 * a);
  if (discriminant < 0) {
    x = 0.0;
    return;
  }
  x = (std::sqrt(discriminant) + (-b)) / 2.0 / a;
}

} // namespace quenlor

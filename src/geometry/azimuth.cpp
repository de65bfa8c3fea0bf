// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/azimuth.h"

#include "geometry/angle.h"
#include "geometry/constants.h"

#include <cmath>

namespace quenlor {

void fwjjs(double& azimuth, const double& xA, const double& yA, const double& xB,
           const double& yB) {
  const double dX = xB - xA;
  const double dY = yB - yA;
  // The guard turns a vertical line into an enormous finite slope.
  const double t = dY / (dX + kCoordinateGuard);
  double w = std::atan(t);
  if (xA > xB)
    w = w + kPi;
  if (yA > yB)
    w = w + kTwoPi;
  // Strict tests: a w that rounds to exactly 2 pi stays, and shows 360.
  if (w > kTwoPi)
    w = w - kTwoPi;
  if (w < 0)
    w = w + kTwoPi;
  hd(azimuth, w);
}

} // namespace quenlor

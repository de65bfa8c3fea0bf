// SPDX-License-Identifier: GPL-3.0-or-later
// Azimuth of a line between two points of the plane.
#pragma once

namespace quenlor {

// fwjjs: the azimuth of the line from A to B as packed DMS with whole seconds,
// 0 up to 360 degrees, measured from +X toward +Y. The arctangent is the
// library's full-precision one while the quadrant corrections and hd use kPi,
// so a line in the second or fourth quadrant, or along -Y, whose true azimuth
// is a whole second shows one second less (to (-100, 100): 134.5959). The
// same point twice gives 0.
void fwjjs(double& azimuth, const double& xA, const double& yA, const double& xB, const double& yB);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Direction of a chord in the local frame of a curve.
#pragma once

namespace quenlor {

// xjjs: the angle in radians between the tangent at the curve's start point
// and the chord to the local point (x, y): the principal arctangent of y / x,
// with no quadrant correction. x = 0 divides by zero, an arithmetic fault.
void xjjs(double& angle, const double& x, const double& y);

} // namespace quenlor

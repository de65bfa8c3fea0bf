// SPDX-License-Identifier: GPL-3.0-or-later
// One real root of a quadratic equation.
#pragma once

namespace quenlor {

// qg: the root (sqrt(D) - b) / 2 / a of a x^2 + b x + c = 0, with
// D = b^2 - 4ac: the larger root for a > 0, the smaller for a < 0. No real
// root (D < 0) gives 0, which a caller cannot tell from a root that is 0.
// a = 0 divides by zero, an arithmetic fault.
void qg(double& x, const double& a, const double& b, const double& c);

} // namespace quenlor

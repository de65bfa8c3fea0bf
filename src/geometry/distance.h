// SPDX-License-Identifier: GPL-3.0-or-later
// Horizontal distance between two points of the plane.
#pragma once

namespace quenlor {

// sqrt((xA - xB)^2 + (yA - yB)^2), each square as a product. An overflowing
// square is an arithmetic fault.
double planeDistance(double xA, double yA, double xB, double yB);

} // namespace quenlor

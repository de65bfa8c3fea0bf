// SPDX-License-Identifier: GPL-3.0-or-later
// Local coordinates of a point on a curve made of a transition (clothoid) of
// length Ls followed by a circular arc of radius R, at the distance l along the
// curve from its start point. Origin at the start point, x along its tangent
// towards the intersection point, y towards the inside of the curve; for
// positive l, R and Ls both come out positive whichever way the curve turns.
// Each series is cut at three terms and the arc's shift at one, so the two
// families do not meet exactly at l = Ls. R = 0, and Ls = 0 on the
// transition, divide by zero: an arithmetic fault.
#pragma once

namespace quenlor {

// x on the transition: l - l^5 / (40 R^2 Ls^2) + l^9 / (3456 R^4 Ls^4).
void lsxjs(double& x, const double& l, const double& r, const double& ls);

// y on the transition: l^3 / (6 R Ls) - l^7 / (336 R^3 Ls^3)
// + l^11 / (42240 R^5 Ls^5).
void lsyjs(double& y, const double& l, const double& r, const double& ls);

// x on the arc: R sin(phi) + q, phi = (l - Ls) / R + (Ls / 2) / R,
// q = Ls / 2 - Ls^3 / (240 R^2).
void quxjs(double& x, const double& l, const double& r, const double& ls);

// y on the arc: (R + p) - R cos(phi), p = Ls^2 / (24 R).
void quyjs(double& y, const double& l, const double& r, const double& ls);

} // namespace quenlor

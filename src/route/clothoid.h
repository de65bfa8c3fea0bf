// SPDX-License-Identifier: GPL-3.0-or-later
// The transition curve as it is: a clothoid, whose curvature grows in
// proportion to the length l from 0 at its start to 1/R at l = Ls.
//
// Local frame at its start: x along the start tangent, y towards the side the
// curve turns to (so y >= 0 whichever way it turns). With A^2 = R Ls and the
// tangent angle theta = l^2 / (2 A^2):
//
//   x(l) = integral_0^l cos(t^2 / (2 A^2)) dt
//        = l * sum_{n even} (-1)^(n/2) theta^n / (n! (2n + 1))
//   y(l) = integral_0^l sin(t^2 / (2 A^2)) dt
//        = l * sum_{n odd} (-1)^((n-1)/2) theta^n / (n! (2n + 1))
//
// (the Fresnel integrals, expanded term by term). The terms are summed until
// the next one is below 1e-17 and no longer growing; past that point the
// series alternates with shrinking terms, so what is left off is smaller than
// the first term left off: below 1e-17 l. For theta up to a half turn (pi)
// the largest term is below 1, so the rounding of the sum stays near
// 1e-15 l: a micrometre-fraction for any spiral that fits a curve.
// tests/route/clothoid_test.cpp compares it with an independent numerical
// integration and with tabulated Fresnel integrals.
#pragma once

namespace quenlor::route {

struct LocalPoint {
  double x = 0, y = 0;
};

// The point at length l >= 0 of the clothoid with A^2 = rls > 0. Meant for
// theta = l^2 / (2 rls) up to pi (every transition that fits its curve); the
// sum stops after a bounded number of terms whatever the arguments.
LocalPoint clothoidPoint(double l, double rls);

// Its tangent angle at l, in radians: l^2 / (2 rls).
double clothoidAngle(double l, double rls);

// What a transition of length ls > 0 before an arc of radius R > 0 does to the
// curve, exactly (no truncated series):
//   spiral angle  beta = Ls / (2R)
//   shift         p    = y(Ls) - R (1 - cos beta)  the arc moved inwards
//   extension     q    = x(Ls) - R sin beta        the arc's tangent point moved back
// Ls = 0 gives zeros.
struct TransitionShape {
  LocalPoint end; // x(Ls), y(Ls): HY seen from ZH (or YH from HZ)
  double spiralAngle = 0;
  double shift = 0;
  double extension = 0;
};
TransitionShape transitionShape(double ls, double radius);

// The clothoid of any start and end curvature: a partial clothoid, the egg
// between two arcs of different radius, either half of an S-curve. Its
// curvature is k0 at its start and changes by `rate` per metre (either sign),
// k(l) = k0 + rate l, so its tangent angle is theta(l) = k0 l + rate l^2 / 2;
// local frame at its start as above, y towards the side a positive curvature
// turns to. k0 = 0 is the transition above, whose series spiralPoint does not
// use.
//
// Method. [0, l] is cut into the fewest n equal pieces of length h on which
//   |a| + |b| <= 1,   a = k(l_i) h,   b = rate h^2 / 2
// (l_i the start of piece i; n = ceil((K l + |rate| l^2 / 2)), K the larger
// curvature of the two ends, suffices), and on each piece
//   integral over it of e^{i theta} = e^{i theta(l_i)} h J(a, b),
//   J(a, b) = integral_0^1 e^{i (a u + b u^2)} du
//           = sum_{p, q >= 0} (i a)^p (i b)^q / (p! q! (p + 2q + 1)),
// each exponential's series integrated term by term. The series in a and in b
// are each cut where the next term is below 1e-17 and shrinking; what is left
// off of each is then below twice that term, and the other series' terms add
// to at most e, so |J - J_cut| < 1.1e-16. The sizes of all terms add to at
// most e^{|a| + |b|} <= e, so rounding adds a few 1e-16. The pieces' sum,
// each turned by a cosine and a sine correct to the last bit, is therefore
// within 1e-14 l of the true point: its length's 1e-9 with five orders of
// magnitude to spare. tests/route/clothoid_test.cpp compares it with an
// independent numerical integration and with an egg worked by hand.
//
// At most kMostSpiralPieces pieces are used (a clothoid turning more than
// ten thousand whole turns); beyond that the bound no longer holds.
inline constexpr int kMostSpiralPieces = 65536;
LocalPoint spiralPoint(double l, double k0, double rate);

// Its tangent angle at l, in radians: k0 l + rate l^2 / 2.
double spiralAngle(double l, double k0, double rate);

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// One curve's superelevation (超高) and widening (加宽) along its runoff
// (超高过渡段), as Chinese highway practice turns the normal crown of a road
// without a median into a one-way section and back. Falls in per cent,
// signed as in road_template.h; lengths, widths and rises in metres;
// measures along the route's centre line.
//
// Where. The full section holds from HY to YH (the whole arc); the runoff
// into the curve ends at HY and the one out of it starts at YH:
//   entry [HY - L1, HY], exit [YH, YH + L2],
// L1, L2 the typed runoff length, or else the first and second transitions'
// lengths Ls1 = HY - ZH and Ls2 = HZ - YH. So by default the runoff is the
// transition; a shorter typed runoff lies on the transition's end next to the
// arc; a longer one reaches onto the straight before ZH (reported); and on a
// curve without transitions (ZY = HY, YH = YZ) it lies wholly on the
// straight, the arc at full superelevation from ZY to YZ. A curve with
// superelevation or widening but no runoff length steps at HY and YH.
//
// How far along: k from 0 at the runoff's start (the normal crown) to 1 at
// its end (the full section): k = (m - start) / L1 on the entry,
// (end - m) / L2 on the exit, 1 on the arc, 0 outside; on a runoff of no
// length 0 before its main point and 1 from it on (to it on the exit).
//
// The rotation (outer side o, inner side n: a curve to the right has its
// inner side right). g_o, g_n are the sides' crowns (normal falls of the
// lanes), W_o, W_n the lanes' widths to the edge the axes run along,
// i_h the full superelevation. First the outer side turns, the inner side
// keeping its fall, until it lies in one plane with the inner side (fall
// -g_n); it turns about the centre line, or, about the outer edge, about
// that edge, the centre line and the inner side going down with it. Then the
// whole section turns about the axis until it falls towards the inside at
// i_h: outer side +q, inner side -q, q from -g_n to i_h. The edge farthest
// from the axis (the outer edge; the inner edge when turning about the outer
// edge) moves at a constant rate relative to the axis over the whole runoff
// (超高渐变率 = its travel / L):
//   travel in the first step  T1 = W_o |g_o + g_n|
//   travel in the second step T2 = A (i_h + g_n),  A = W_o about the centre
//                                 line, W_o + W_n about an edge
//   s = k (T1 + T2) travelled; the first step ends at k0 = T1 / (T1 + T2)
//   first step:   f_o = g_o - (g_o + g_n) s / T1,  f_n = g_n
//   second step:  q = -g_n + (i_h + g_n) (s - T1) / T2,  f_o = q,  f_n = -q
// (where the lanes have no width the travel is counted with W = 1: the same
// steps, now by fall). The axis keeps its elevation under the normal crown:
//   about the centre line (绕中线)      the centre line stays at the design
//                                        elevation;
//   about the inner edge (绕内边线)     the inner lanes' edge before widening
//                                        stays, the centre line rises by
//                                        W_n (g_n - f_n) / 100;
//   about the outer edge (绕外边线)     the outer lanes' edge stays, the centre
//                                        line falls: rise W_o (g_o - f_o) / 100.
// A full superelevation below the inner side's crown (0 < i_h < -g_n) cannot
// make a one-way section: it is raised to -g_n (reported). With i_h = 0 the
// curve keeps its normal crown.
//
// Widening: the full widening b on the inside, b k along the runoff
// (linear), or b (4 k^3 - 3 k^4) (the high-order curve, 高次抛物线).
//
// Worked example: lanes 3.5 m at -2 % on each side, i_h = 6 %, the runoff
// the transition from ZH at 1000 to HY at 1060, widening b = 1 m.
//   about the centre line: T1 = 3.5 * 4 % = 0.14, T2 = 3.5 * 4 % = 0.14;
//     the outer side level at s = 0.07, k = 1/4, 1015; one plane at k0 = 1/2,
//     1030 (x0 = 2 i_G L / (i_G + i_h) = 30 m); centre line at the design
//     elevation throughout.
//   about the inner edge: T2 = 7 * 4 % = 0.28; level at k = 1/6, 1010; one
//     plane at k0 = 1/3, 1020 (x0 = i_G L / i_h = 20 m); at HY the centre
//     line rises 3.5 * (-2 + 6) % = 0.14.
//   about the outer edge: the same steps; at HY the centre line falls
//     3.5 * (-2 - 6) % = -0.28.
//   widening at 1015 (k = 1/4): linear 0.25; high order 4/64 - 3/256 =
//     0.05078125.
#pragma once

#include <optional>

namespace quenlor::section {

enum class Axis {
  Centre,    // 绕中线
  InnerEdge, // 绕内边线
  OuterEdge, // 绕外边线
};

enum class WideningShape {
  Linear,    // b k
  HighOrder, // b (4 k^3 - 3 k^4)
};

// A curve's own settings, as the route keeps them with its JD.
struct CurveSettings {
  double superelevation = 0;    // i_h, per cent, a size; 0: the normal crown kept
  std::optional<double> runoff; // metres, each end; empty: the transitions' lengths
  Axis axis = Axis::Centre;
  double widening = 0; // b, metres, on the inside; 0: none
  WideningShape shape = WideningShape::Linear;

  bool operator==(const CurveSettings&) const = default;
};

// A curve as the cross section sees it: its main points as measures
// (ZY = HY and YH = YZ where a transition is 0), its side and its settings.
struct CurveSpan {
  double zh = 0, hy = 0, yh = 0, hz = 0;
  int turn = 0; // +1 to the right, -1 to the left, 0: no curve
  CurveSettings settings;
};

// The two runoffs of a curve, placed.
struct Runoffs {
  double entryStart = 0, entryEnd = 0; // entryEnd = HY
  double exitStart = 0, exitEnd = 0;   // exitStart = YH
};

// Where the runoffs lie for runoff lengths l1, l2 (see above).
Runoffs placeRunoffs(const CurveSpan& curve, double l1, double l2);

// k at a measure.
double runoffProgress(const Runoffs& r, double measure);

// The lanes' width and crown of the inner and outer sides, and the full
// superelevation (per cent) as used.
struct Rotation {
  double outerWidth = 0, innerWidth = 0;
  double outerCrown = 0, innerCrown = 0;
  double full = 0; // i_h, at least -innerCrown; 0: no rotation
  Axis axis = Axis::Centre;
};

// The section at progress k: the lanes' falls on each side and the centre
// line's rise.
struct Rotated {
  double outerFall = 0, innerFall = 0; // per cent
  double centreRise = 0;               // metres
};
Rotated rotate(const Rotation& r, double k);

// k0, where the first step ends (the outer side in one plane with the inner).
double firstStepEnd(const Rotation& r);

// How far the edge farthest from the axis moves relative to it over the
// whole runoff, T1 + T2 above, in metres (counted with W = 1 where the lanes
// have no width): over a runoff of length L its rate of rise is travel / L
// (超高渐变率 1/p).
double runoffTravel(const Rotation& r);

// The widening at progress k.
double wideningAt(double full, WideningShape shape, double k);

} // namespace quenlor::section

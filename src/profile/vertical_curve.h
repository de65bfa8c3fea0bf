// SPDX-License-Identifier: GPL-3.0-or-later
// The vertical curve (竖曲线) at one grade point (变坡点) of the profile: a
// parabola between the incoming grade i1 and the outgoing grade i2, as Chinese
// highway design sets it out. Measures and lengths in metres along the route's
// centre line, elevations in metres, grades as rise over run (0.05 is 5 %).
//
//   ω = i2 − i1                 the change of grade; ω < 0 crest (凸形), ω > 0 sag (凹形)
//   L = Rv·|ω|                  the curve's length
//   T = L / 2                   its tangent
//   E = T² / (2·Rv)             its external, the ordinate at the grade point
//   start = PVI − T, end = PVI + T
//
// At a measure m inside the curve:
//
//   tangent elevation   before the grade point on the incoming grade,
//                       H_PVI − i1·(PVI − m); from it on, on the outgoing one,
//                       H_PVI + i2·(m − PVI)
//   x                   from the nearer end: m − start before the grade point,
//                       end − m from it on
//   y = x² / (2·Rv)     subtracted on a crest, added on a sag
//   elevation           tangent elevation ∓ y
//   grade               i1 ∓ x/Rv before the grade point, i2 ± x/Rv from it on
//                       (upper signs crest): i1 at the start, (i1 + i2)/2 at the
//                       grade point, i2 at the end, so elevation and grade run on
//                       without a step into the grades on either side.
//
// Worked examples (measure = chainage here, K5+030 is 5030):
//
//   Crest: grade point K5+030 at 427.680, i1 = +5 %, i2 = −4 %, Rv = 2000.
//     ω = −0.09 (crest), L = 180, T = 90, E = 8100 / 4000 = 2.025,
//     start K4+940 at 423.180, end K5+120 at 424.080.
//     K4+980: x = 40, tangent 427.68 − 50·0.05 = 425.180, y = 1600/4000 = 0.400,
//             elevation 424.780, grade 5 % − 40/2000 = 3 %
//     K5+030: x = 90, tangent 427.680, y = E = 2.025, elevation 425.655, grade 0.5 %
//     K5+100: x = 20, tangent 427.68 − 70·0.04 = 424.880, y = 400/4000 = 0.100,
//             elevation 424.780, grade −4 % + 20/2000 = −3 %
//
//   Sag: grade point K5+400 at 412.880, i1 = −4 %, i2 = +3 %, Rv = 3000.
//     ω = +0.07 (sag), L = 210, T = 105, E = 11025 / 6000 = 1.8375,
//     start K5+295 at 417.080, end K5+505 at 416.030.
//     K5+350: x = 55, tangent 412.88 + 50·0.04 = 414.880, y = 3025/6000 = 0.50417,
//             elevation 415.38417, grade −4 % + 55/3000 = −2.1667 %
//     K5+400: x = 105, tangent 412.880, y = E = 1.8375, elevation 414.7175, grade −0.5 %
//     K5+460: x = 45, tangent 412.88 + 60·0.03 = 414.680, y = 2025/6000 = 0.3375,
//             elevation 415.0175, grade 3 % − 45/3000 = 1.5 %
//
// An asymmetric curve (不对称竖曲线), as design packages give one: the lengths
// T1 before the grade point and T2 after it instead of Rv. Two parabolas meet
// under the grade point with a common tangent:
//
//   E = T1·T2·|ω| / (2·(T1 + T2))       the ordinate at the grade point
//   R1 = T1² / (2E), R2 = T2² / (2E)     each parabola's parameter: y = x² / (2·R)
//   start = PVI − T1, end = PVI + T2
//
// and everything above holds with R1 before the grade point and R2 from it on.
// With T1 = T2 = T it is the symmetric curve: E = T·|ω|/4 = T²/(2Rv), R1 = R2 = Rv.
//
//   Worked: grade point 1000 at 100, i1 = +2 %, i2 = −4 %, T1 = 100, T2 = 200.
//     ω = −0.06 (crest), E = 100·200·0.06 / 600 = 2, R1 = 10000 / 4 = 2500,
//     R2 = 40000 / 4 = 10000; start 900 at 98, end 1200 at 92.
//     950:  x = 50,  tangent 99,  y = 2500/5000 = 0.5, elevation 98.5, grade 2 % − 50/2500 = 0
//     1000: x = 200 from the end, tangent 100, y = 40000/20000 = E = 2, elevation 98,
//           grade −4 % + 200/10000 = −2 % (= 2 % − 100/2500: the tangent they share)
//     1100: x = 100, tangent 96,  y = 10000/20000 = 0.5, elevation 95.5,
//           grade −4 % + 100/10000 = −3 %
#pragma once

#include <cstddef>

namespace quenlor {

enum class CurveShape { Crest, Sag }; // 凸形, 凹形

struct VerticalCurve {
  std::size_t point = 0; // the grade point's index in the list the profile was built from
  double pviMeasure = 0, pviElevation = 0;
  double gradeIn = 0, gradeOut = 0;   // i1, i2
  double radius = 0;                  // Rv; 0 for an asymmetric curve
  double gradeChange = 0;             // ω
  double length = 0;                  // L = T1 + T2
  double tangent = 0;                 // T = L / 2
  double tangentIn = 0;               // T1: from the start to the grade point (T when symmetric)
  double tangentOut = 0;              // T2: from the grade point to the end (T when symmetric)
  double radiusIn = 0, radiusOut = 0; // R1, R2 (Rv when symmetric)
  double external = 0;                // E
  CurveShape shape = CurveShape::Crest;
  double start = 0, end = 0; // measures
  // On this curve alone: at its start, at the grade point (H_PVI ∓ E), at its end.
  double startElevation = 0, middleElevation = 0, endElevation = 0;
};

// The curve at a grade point. Needs radius > 0 and gradeIn != gradeOut (with
// equal grades there is no curve); other values are not checked.
VerticalCurve verticalCurve(double pviMeasure, double pviElevation, double gradeIn, double gradeOut,
                            double radius);

// The asymmetric curve of lengths T1 (tangentIn) and T2 (tangentOut). Needs
// both > 0 and gradeIn != gradeOut; other values are not checked.
VerticalCurve asymmetricCurve(double pviMeasure, double pviElevation, double gradeIn,
                              double gradeOut, double tangentIn, double tangentOut);

// The signed correction to the tangent elevation at a measure: −y on a crest,
// +y on a sag, with x from the nearer end and the parabola of that side; 0
// outside [start, end].
double ordinate(const VerticalCurve& curve, double measure);

// Its derivative along the measure: what the curve adds to the tangent's grade.
double ordinateSlope(const VerticalCurve& curve, double measure);

} // namespace quenlor

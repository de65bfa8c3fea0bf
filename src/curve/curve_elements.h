// SPDX-License-Identifier: GPL-3.0-or-later
// Curve elements and main-point chainages at one intersection point.
#pragma once

namespace quenlor {

class Form;
struct CalcState;

// From the deflection (Text6), the intersection-point chainage (Text8), the
// radius (Text9) and the two transition lengths (Text10, Text42): the tangent
// length T1, external distance E, curve length L and the chainages of ZH, HY,
// QZ, YH and HZ (Text11, Text12, Text34, Text21 ... Text25). The same body
// serves all five input boxes and always rewrites all eight results. The
// curve formulas use the magnitude of the deflection; an empty radius or
// deflection is replaced by a tiny one so that nothing divides by zero.
void curveElements(Form& form);

// The chainages of ZH, HY, QZ, YH and HZ, each from the one before: from the
// JD's chainage back by T1, on by Ls, half the arc, the other half, ls2; with
// T1, Ls, ls2 and the arc's length as the state holds them.
void storeMainPointChainages(CalcState& st);

// Writes the five main-point chainages from the state into their boxes.
void writeMainPointChainages(Form& form);

inline void Text6_Change(Form& form) { curveElements(form); }
inline void Text8_Change(Form& form) { curveElements(form); }
inline void Text9_Change(Form& form) { curveElements(form); }
inline void Text10_Change(Form& form) { curveElements(form); }
inline void Text42_Change(Form& form) { curveElements(form); }

} // namespace quenlor

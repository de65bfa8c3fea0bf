// SPDX-License-Identifier: GPL-3.0-or-later
#include "curve/radius.h"

#include "curve/curve_elements.h"
#include "curve/transition.h"
#include "form/form.h"
#include "geometry/angle.h"
#include "geometry/constants.h"
#include "geometry/quadratic.h"
#include "numeric/fault.h"

#include <cmath>

namespace quenlor {
namespace {

// Steps shared by both buttons: the deflection, the chainage and Ls.
double readCurveInputs(Form& form) {
  CalcState& st = form.state();
  store(st.deflectionDms, form.read(Box::Text6));
  store(st.deflection, radiansOf(st.deflectionDms));
  store(st.jdChainage, form.read(Box::Text8));
  return form.read(Box::Text10);
}

void guardRootAndDeflection(CalcState& st, double root) {
  store(st.radius, root);
  if (st.deflection == 0)
    st.deflection = kZeroGuard;
  if (st.radius == 0)
    st.radius = kZeroGuard;
}

void storeSymmetricTransition(CalcState& st, double ls) {
  const TransitionElements t = transitionElements(ls, st.radius);
  store(st.shift1, t.shift);
  store(st.tangentExtension1, t.tangentExtension);
  store(st.spiralAngle1, t.spiralAngle);
}

// Ly = (a - beta - beta) R and L = Ly + Ls + Ls.
void storeSymmetricLengths(CalcState& st, double ls, double alpha) {
  store(st.circularCurveLength, (alpha - st.spiralAngle1 - st.spiralAngle1) * st.radius);
  store(st.curveLength, st.circularCurveLength + ls + ls);
}

void writeLengthAndChainages(Form& form) {
  form.write(Box::Text34, form.state().curveLength);
  writeMainPointChainages(form);
}

} // namespace

void Command3_Click(Form& form) {
  CalcState& st = form.state();
  const double ls = readCurveInputs(form);
  store(st.tangentLength, form.read(Box::Text11));

  // t R^2 + (Ls/2 - T) R + Ls^2 t / 24 = 0
  double alpha = std::fabs(st.deflection);
  const double t = std::tan(alpha / 2.0);
  const double a = t;
  const double b = ls / 2.0 - st.tangentLength;
  const double c = ls * ls * t / 24.0;
  double root = 0;
  qg(root, a, b, c);
  guardRootAndDeflection(st, root);
  alpha = std::fabs(st.deflection);

  storeSymmetricTransition(st, ls);
  const double r = st.radius;
  store(st.externalDistance, (st.shift1 + r) / std::cos(alpha / 2.0) - r);
  storeSymmetricLengths(st, ls, alpha);
  // The chainages start from T1 and the transition lengths as the
  // curve-element computation last left them, not from the wanted values.
  storeMainPointChainages(st);

  form.write(Box::Text9, st.radius);
  form.write(Box::Text12, st.externalDistance);
  writeLengthAndChainages(form);
}

void Command4_Click(Form& form) {
  CalcState& st = form.state();
  const double ls = readCurveInputs(form);
  store(st.externalDistance, form.read(Box::Text12));

  // (s - 1) R^2 - E R + Ls^2 s / 24 = 0, with s = 1 / cos(a / 2)
  double alpha = std::fabs(st.deflection);
  const double s = 1.0 / std::cos(alpha / 2.0);
  const double a = s - 1.0;
  const double b = -st.externalDistance;
  const double c = ls * ls * s / 24.0;
  double root = 0;
  qg(root, a, b, c);
  guardRootAndDeflection(st, root);
  alpha = std::fabs(st.deflection);

  storeSymmetricTransition(st, ls);
  const double r = st.radius;
  const double rp = r + st.shift1;
  store(st.tangentLength, (rp - rp * std::cos(alpha)) / std::sin(alpha) + st.tangentExtension1);
  storeSymmetricLengths(st, ls, alpha);
  // The chainages start from T1 and the transition lengths as the
  // curve-element computation last left them, not from the wanted values.
  storeMainPointChainages(st);

  form.write(Box::Text9, st.radius);
  form.write(Box::Text12, st.externalDistance);
  form.write(Box::Text11, st.tangentLength);
  writeLengthAndChainages(form);
}

} // namespace quenlor

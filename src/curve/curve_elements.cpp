// SPDX-License-Identifier: GPL-3.0-or-later
#include "curve/curve_elements.h"

#include "curve/transition.h"
#include "form/form.h"
#include "form/main_points.h"
#include "geometry/angle.h"
#include "geometry/constants.h"
#include "numeric/fault.h"

#include <cmath>

namespace quenlor {
namespace {

// E = (R + p1) / cos(a / 2) - R; the second shift does not enter it.
double externalDistanceOf(double r, const TransitionElements& first, double alpha) {
  return (r + first.shift) / std::cos(alpha / 2.0) - r;
}

// Ly = R (a - beta1 - beta2), the arc from HY to YH.
double circularLength(double r, const TransitionElements& first, const TransitionElements& second,
                      double alpha) {
  return r * (alpha - first.spiralAngle - second.spiralAngle);
}

} // namespace

void storeMainPointChainages(CalcState& st) {
  const double ly = st.circularCurveLength;
  store(st.zhChainage, st.jdChainage - st.tangentLength1);
  store(st.hyChainage, st.zhChainage + st.transitionLength1);
  store(st.qzChainage, st.hyChainage + ly / 2.0);
  store(st.yhChainage, st.hyChainage + ly);
  store(st.hzChainage, st.yhChainage + st.transitionLength2);
}

void writeMainPointChainages(Form& form) {
  for (const MainPoint& point : kMainPoints)
    form.write(point.box, form.state().*point.chainage);
}

void curveElements(Form& form) {
  CalcState& st = form.state();
  store(st.deflectionDms, form.read(Box::Text6));
  store(st.deflection, radiansOf(st.deflectionDms));
  store(st.jdChainage, form.read(Box::Text8));
  store(st.transitionLength1, form.read(Box::Text10));
  store(st.transitionLength2, form.read(Box::Text42));
  const double ls = form.read(Box::Text10);
  store(st.radius, form.read(Box::Text9) + kRadiusGuard);
  if (st.deflection == 0)
    st.deflection = kZeroGuard;
  if (st.radius == 0)
    st.radius = kZeroGuard;

  const double r = st.radius;
  const TransitionElements first = transitionElements(ls, r);
  store(st.shift1, first.shift);
  store(st.tangentExtension1, first.tangentExtension);
  store(st.spiralAngle1, first.spiralAngle);
  const TransitionElements second = transitionElements(st.transitionLength2, r);

  const double alpha = std::fabs(st.deflection);
  store(st.tangentLength1, tangentLengthOf(first, second, r, alpha));
  store(st.externalDistance, externalDistanceOf(r, first, alpha));
  const double ly = circularLength(r, first, second, alpha);
  store(st.curveLength, ly + st.transitionLength1 + st.transitionLength2);
  store(st.circularCurveLength, ly);

  storeMainPointChainages(st);

  form.write(Box::Text11, st.tangentLength1);
  form.write(Box::Text12, st.externalDistance);
  form.write(Box::Text34, st.curveLength);
  writeMainPointChainages(form);
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/curve_of_boxes.h"

#include "chainage/curve_boxes.h"
#include "curve/transition.h"
#include "form/form.h"
#include "form/main_points.h"
#include "geometry/angle.h"
#include "geometry/constants.h"
#include "numeric/number_text.h"

#include <cmath>

namespace quenlor {

namespace {

// The second transition (Text42) and the tangent from the JD to HZ, when the
// transitions differ: the tangent in Text11 is the first, and the second
// differs from it by what the curve elements' formulas give for the two.
void addSecondTransition(const Form& form, BoxCurve& in) {
  const double ls2 = form.number(Box::Text42);
  if (!std::isfinite(ls2) || ls2 == in.transitionLength)
    return;
  double r = in.radius + kRadiusGuard;
  if (r == 0)
    r = kZeroGuard;
  const double alpha = std::fabs(in.deflection == 0 ? kZeroGuard : in.deflection);
  const TransitionElements first = transitionElements(in.transitionLength, r);
  const TransitionElements second = transitionElements(ls2, r);
  in.transitionLength2 = ls2;
  in.tangentLength2 = in.tangentLength + (tangentLengthOf(second, first, r, alpha) -
                                          tangentLengthOf(first, second, r, alpha));
}

} // namespace

std::optional<BoxCurve> curveOfBoxes(const Form& form) {
  BoxCurve in;
  for (const CurveBox& r : kCurveBoxes) {
    const double value = form.number(r.box);
    if (!std::isfinite(value))
      return std::nullopt;
    if (r.box == kDeflectionBox)
      in.turnSign = turnSignOf(value);
    in.*r.input = r.keptRadians == nullptr ? value : radiansOf(value);
    if (!std::isfinite(in.*r.input))
      return std::nullopt;
  }
  addSecondTransition(form, in);
  if (in.tangentLength2 && !std::isfinite(*in.tangentLength2))
    return std::nullopt;
  return in;
}

std::optional<PlanePoint> stationOfBoxes(const Form& form) {
  const std::string& x = form.text(Box::Text35);
  const std::string& y = form.text(Box::Text36);
  const PlanePoint station{form.number(Box::Text35), form.number(Box::Text36)};
  if (x.empty() || y.empty() || !isFinite(station))
    return std::nullopt;
  return station;
}

std::optional<BoxCurveLine::Inputs> curveLineOfBoxes(const Form& form) {
  const auto curve = curveOfBoxes(form);
  if (!curve)
    return std::nullopt;
  BoxCurveLine::Inputs inputs{*curve, {}, std::nullopt};
  for (std::size_t i = 0; i < kMainPoints.size(); ++i)
    inputs.mainChainages[i] = form.number(kMainPoints[i].box);
  const PlanePoint next{form.number(Box::Text15), form.number(Box::Text16)};
  if (!form.text(Box::Text15).empty() && !form.text(Box::Text16).empty() && isFinite(next))
    inputs.nextJd = next;
  return inputs;
}

} // namespace quenlor

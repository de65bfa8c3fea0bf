// SPDX-License-Identifier: GPL-3.0-or-later
// The boxes the curve around the JD is read from, in the order the point at a
// chainage reads them after the chainage itself (Text26). Every reader of
// the curve from the boxes goes through this one table: the point at a
// chainage, which keeps each value in the calculation state as it reads it,
// and the plan and the field tools, which read without touching the state.
#pragma once

#include "chainage/curve_point.h"
#include "form/calc_state.h"
#include "form/controls.h"

#include <array>

namespace quenlor {

struct CurveBox {
  Box box;
  double BoxCurve::*input; // radians for a packed angle
  double CalcState::*kept; // where the point at a chainage keeps the value read
  // For a packed angle, where it keeps the angle in radians; otherwise null.
  double CalcState::*keptRadians;
};

inline constexpr std::array<CurveBox, 11> kCurveBoxes{{
    {Box::Text9, &BoxCurve::radius, &CalcState::radius, nullptr},
    {Box::Text10, &BoxCurve::transitionLength, nullptr, nullptr},
    {Box::Text11, &BoxCurve::tangentLength, &CalcState::tangentLength, nullptr},
    {Box::Text13, &BoxCurve::jdX, &CalcState::jdX, nullptr},
    {Box::Text14, &BoxCurve::jdY, &CalcState::jdY, nullptr},
    {Box::Text21, &BoxCurve::zhChainage, &CalcState::zhChainage, nullptr},
    {Box::Text23, &BoxCurve::qzChainage, &CalcState::qzChainage, nullptr},
    {Box::Text25, &BoxCurve::hzChainage, &CalcState::hzChainage, nullptr},
    {Box::Text17, &BoxCurve::incomingAzimuth, &CalcState::incomingAzimuthDms,
     &CalcState::incomingAzimuth},
    {Box::Text6, &BoxCurve::deflection, &CalcState::deflectionDms, &CalcState::deflection},
    {Box::Text18, &BoxCurve::outgoingAzimuth, &CalcState::outgoingAzimuthDms,
     &CalcState::outgoingAzimuth},
}};

// The deflection's box: its sign as typed is the side the curve turns to.
inline constexpr Box kDeflectionBox = Box::Text6;

} // namespace quenlor

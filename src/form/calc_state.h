// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation state: the named values that the computations keep between
// their steps and, in a few places, hand on to each other. All start at zero.
#pragma once

#include <array>
#include <string_view>

namespace quenlor {

struct CalcState {
  // Instrument station and the point sighted from it.
  double stationX = 0, stationY = 0, stationElevation = 0, instrumentHeight = 0;
  double prismHeight = 0, heightDifference = 0, targetX = 0, targetY = 0;
  double backsightElevation = 0, horizontalDistance = 0;
  double backsightAzimuth = 0, backsightAzimuthRadians = 0, pointElevation = 0;
  // Curve at the intersection point.
  double deflectionDms = 0, deflection = 0, jdChainage = 0, radius = 0;
  double transitionLength1 = 0, transitionLength2 = 0;
  double shift1 = 0, tangentExtension1 = 0, spiralAngle1 = 0, tangentLength1 = 0;
  double tangentLength = 0, externalDistance = 0, curveLength = 0, circularCurveLength = 0;
  double zhChainage = 0, hyChainage = 0, qzChainage = 0, yhChainage = 0, hzChainage = 0;
  // Intersection points and tangent azimuths.
  double jdX = 0, jdY = 0, nextJdX = 0, nextJdY = 0, nextJdChainage = 0;
  double incomingAzimuthDms = 0, outgoingAzimuthDms = 0, incomingAzimuth = 0, outgoingAzimuth = 0;
  double jdDeflection = 0, jdDeflectionDms = 0;
  // Working values of the point at a chainage.
  double chordDeflection = 0, chordAzimuth = 0, setOutAzimuth = 0, setOutDistance = 0;
};

struct StateField {
  std::string_view name;
  double CalcState::*member;
};

inline constexpr int kStateFieldCount = 47;

// Every value with its name, in the order of the state listing.
const std::array<StateField, kStateFieldCount>& stateFields();

} // namespace quenlor

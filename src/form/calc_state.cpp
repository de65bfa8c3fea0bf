// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/calc_state.h"

namespace quenlor {

#define QUENLOR_FIELD(name)                                                                        \
  StateField { #name, &CalcState::name }

const std::array<StateField, kStateFieldCount>& stateFields() {
  static const std::array<StateField, kStateFieldCount> fields{
      QUENLOR_FIELD(stationX),
      QUENLOR_FIELD(stationY),
      QUENLOR_FIELD(stationElevation),
      QUENLOR_FIELD(instrumentHeight),
      QUENLOR_FIELD(prismHeight),
      QUENLOR_FIELD(heightDifference),
      QUENLOR_FIELD(targetX),
      QUENLOR_FIELD(targetY),
      QUENLOR_FIELD(backsightElevation),
      QUENLOR_FIELD(horizontalDistance),
      QUENLOR_FIELD(backsightAzimuth),
      QUENLOR_FIELD(backsightAzimuthRadians),
      QUENLOR_FIELD(pointElevation),
      QUENLOR_FIELD(deflectionDms),
      QUENLOR_FIELD(deflection),
      QUENLOR_FIELD(jdChainage),
      QUENLOR_FIELD(radius),
      QUENLOR_FIELD(transitionLength1),
      QUENLOR_FIELD(transitionLength2),
      QUENLOR_FIELD(shift1),
      QUENLOR_FIELD(tangentExtension1),
      QUENLOR_FIELD(spiralAngle1),
      QUENLOR_FIELD(tangentLength1),
      QUENLOR_FIELD(tangentLength),
      QUENLOR_FIELD(externalDistance),
      QUENLOR_FIELD(curveLength),
      QUENLOR_FIELD(circularCurveLength),
      QUENLOR_FIELD(zhChainage),
      QUENLOR_FIELD(hyChainage),
      QUENLOR_FIELD(qzChainage),
      QUENLOR_FIELD(yhChainage),
      QUENLOR_FIELD(hzChainage),
      QUENLOR_FIELD(jdX),
      QUENLOR_FIELD(jdY),
      QUENLOR_FIELD(nextJdX),
      QUENLOR_FIELD(nextJdY),
      QUENLOR_FIELD(nextJdChainage),
      QUENLOR_FIELD(incomingAzimuthDms),
      QUENLOR_FIELD(outgoingAzimuthDms),
      QUENLOR_FIELD(incomingAzimuth),
      QUENLOR_FIELD(outgoingAzimuth),
      QUENLOR_FIELD(jdDeflection),
      QUENLOR_FIELD(jdDeflectionDms),
      QUENLOR_FIELD(chordDeflection),
      QUENLOR_FIELD(chordAzimuth),
      QUENLOR_FIELD(setOutAzimuth),
      QUENLOR_FIELD(setOutDistance),
  };
  return fields;
}

#undef QUENLOR_FIELD

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Field tools on the curve the boxes describe: points of the centre line with
// their tangent, side stakes at right angles to it, the chainage and offset of
// a measured point, and the setting-out of a point from the station. All of
// them stand on the point-at-chainage geometry, so a centre-line point here is
// the one the chainage box gives (on a symmetric curve).
#pragma once

#include "alignment/centre_line.h"
#include "chainage/curve_point.h"
#include "geometry/plane_point.h"

#include <optional>

namespace quenlor {

// The point at a chainage (its measure the chainage) with the azimuth of the
// curve's tangent there (radians, the direction of increasing chainage, not
// reduced). The tangent follows the same model as the coordinates: along the straights
// their azimuths (the outgoing one as the incoming azimuth plus the
// deflection, as points beyond HZ are placed), on a transition the clothoid's
// angle l^2 / (2 R Ls), on the arc the arc's angle, each turned to the side the
// deflection says. Nothing where the curve faults (a zero radius).
std::optional<CentrePoint> centreAt(BoxCurve curve, double chainage);

// The chainage and offset of a point (its station the chainage, the first
// occurrence): the foot of the perpendicular from the point to the centre
// line, found by iterating on the centre line until the along-line residual
// is below a hundredth of a millimetre. Points beyond the ends of the two
// straights lie on the straights extended. Of several feet the nearest is
// taken. Nothing when no foot is found.
std::optional<Location> locate(const BoxCurve& curve, double x, double y);

// Setting-out from the station: packed DMS azimuth and distance.
struct SetOut {
  double azimuthDms, distance;

  bool operator==(const SetOut&) const = default;
};

// From the station to the point as its boxes would show it: each coordinate
// taken through its 15-digit number text first, as the setting-out of the
// point at a chainage reads it back from its boxes, so that the two agree to
// the last digit.
SetOut setOutFrom(const PlanePoint& station, const PlanePoint& point);

// A tangent azimuth as packed DMS, reduced to the full circle.
double azimuthDms(double radians);

} // namespace quenlor

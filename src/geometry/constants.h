// SPDX-License-Identifier: GPL-3.0-or-later
// Constants of the route computations, named once.
#pragma once

namespace quenlor {

// Every angle conversion and every half or full turn uses this eight-digit pi,
// not the full-precision one: the results a surveyor compares against were
// made with it, and dh and hd undo each other only when both use it.
inline constexpr double kPi = 3.1415926;
inline constexpr double kTwoPi = 6.2831852;

inline constexpr double kDegreesPerHalfTurn = 180.0;
inline constexpr double kMinutesPerDegree = 60.0;
inline constexpr double kSecondsPerMinute = 60.0;
inline constexpr double kSecondsPerDegree = 3600.0;
// A full circle in seconds: the scale of the rounding noise of a sum or
// difference of two azimuths.
inline constexpr double kSecondsPerTurn = 1296000.0;

// Guards that keep a division finite instead of reporting anything.
inline constexpr double kCoordinateGuard = 1e-20; // added to a coordinate difference
inline constexpr double kRadiusGuard = 1e-20;     // added to every radius read
inline constexpr double kZeroGuard = 1e-18;       // replaces a zero radius or deflection
inline constexpr double kTransitionGuard = 1e-17; // replaces a zero transition length
// Added to the tangent length when the incoming azimuth is edited.
inline constexpr double kAzimuthEditNudge = 1e-10;

} // namespace quenlor

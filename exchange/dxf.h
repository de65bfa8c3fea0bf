// SPDX-License-Identifier: GPL-3.0-or-later
// The plan for CAD: a DXF drawing (AutoCAD 2000 ASCII, written by dxflib) in
// survey coordinates, with CAD's x the survey's Y (east) and CAD's y the
// survey's X (north), so that north is up in the drawing as on the map.
//
// Layers:
//   ZX_STRAIGHT   the straights of the centre line, as LINEs
//   ZX_ARC        its circular arcs, as ARCs
//   ZX_TRANSITION its clothoids, as polylines no further than half a
//                 millimetre from the curve (so is the arc of the boxes'
//                 curve, on ZX_ARC: its points come from a series)
//   JD_TANGENT    the tangent polygon BP - JD - ... - EP
//   JD            the JDs, POINTs with their names as TEXT
//   MAIN_POINT    BP, ZH, HY, QZ, YH, HZ (ZY, YZ), EP: POINTs labelled with
//                 the point and its chainage ("ZH K0+836.282")
//   STAKE         the stakes of the stake-out table: the centre stake
//                 labelled by its chainage, the side stakes by the chainage
//                 and L or R (as in the point list)
// Text that is not ASCII is written as \U+XXXX, which CAD programs show as
// the character.
#pragma once

#include "files/save_file.h"
#include "geometry/plane_point.h"

#include <string>
#include <vector>

namespace quenlor {
class CentreLine;
class Form;
class RouteModel;
struct TableAnswer;
} // namespace quenlor

namespace quenlor::exchange {

namespace layer {
inline constexpr const char* kStraight = "ZX_STRAIGHT";
inline constexpr const char* kArc = "ZX_ARC";
inline constexpr const char* kTransition = "ZX_TRANSITION";
inline constexpr const char* kTangent = "JD_TANGENT";
inline constexpr const char* kJd = "JD";
inline constexpr const char* kMainPoint = "MAIN_POINT";
inline constexpr const char* kStake = "STAKE";
} // namespace layer

// Half the greatest distance of a transition's polyline from the clothoid.
inline constexpr double kTransitionChordTolerance = 5e-4;

// What the drawing holds, in survey coordinates (X north, Y east).
struct Drawing {
  struct Line {
    PlanePoint from, to;
    const char* layer;
  };
  struct Arc {
    PlanePoint centre, from, to; // from and to in the route's direction
    double radius;
    bool turnsRight;
  };
  struct Polyline {
    std::vector<PlanePoint> points;
    const char* layer;
  };
  struct Mark {
    PlanePoint at;
    std::string label;
    const char* layer;
  };
  std::vector<Line> lines;
  std::vector<Arc> arcs;
  std::vector<Polyline> polylines;
  std::vector<Mark> marks;
};

// A centre line (alignment/centre_line.h): its pieces on their layers, its
// main points labelled with their stations, and the stakes of the table when
// one is given. What every drawing holds, written once.
Drawing lineDrawing(const CentreLine& line, const TableAnswer* stakes);
// A route's: its centre line, the tangent polygon BP - JD - ... - EP with
// the JDs (a route by elements has none), BP and EP labelled with their
// chainages.
Drawing routeDrawing(const RouteModel& route, const TableAnswer* stakes);
// The boxes' curve's, where the plan draws it: its centre line, and the
// tangents from the JD to ZH and HZ with the JDs the plan marks.
Drawing curveDrawing(const Form& form, const TableAnswer* stakes);

Expected<Done> saveDxf(const std::string& path, const Drawing& drawing);

// A text as DXF carries it: ASCII as it is, every other character \U+XXXX.
std::string dxfText(std::string_view utf8);

} // namespace quenlor::exchange

// SPDX-License-Identifier: GPL-3.0-or-later
// A route as LandXML 1.2 (namespace http://www.landxml.org/schema/LandXML-1.2),
// the exchange format of road design packages, written and read with Qt's
// XML streams.
//
// Written: one Alignment named as the route, staStart its BP chainage,
// length its length, holding
//   - CoordGeom: the centre line in route order, a Line for each straight,
//     a Spiral (spiType="clothoid", radiusStart or radiusEnd "INF" at its
//     straight end, rot "cw" turning right or "ccw" turning left, with its
//     Start, PI and End) for each transition and a Curve (crvType="arc",
//     rot, radius, length, with Start, Center, End and PI) for each arc;
//     a JD without curve is where two Lines meet;
//   - a StaEquation for each chain break: staBack its chainage behind,
//     staAhead the one ahead, staInternal where it stands;
//   - the profile as Profile/ProfAlign: a PVI for each grade point without
//     a vertical curve, a ParaCurve (length = Rv |change of grade|) for each
//     one with a curve.
// Every element carries staStart. Stations without a name (staStart,
// staInternal, the profile's stations) are internal stations: BP's chainage
// plus the distance along the centre line, which chain breaks do not
// interrupt. Points are "northing easting": X (north) first, then Y (east).
// Numbers are the shortest text that reads back to the same double.
//
// Read: the one Alignment of a file whose CoordGeom is a run of straights and
// curves, each curve a clothoid from the straight (or none), an arc, and a
// clothoid back to the straight (or none); consecutive curves may meet
// without a straight between them, and a curve may be two clothoids without
// an arc. The JDs are the intersections of the straights (a straight between
// two curves with no Line between them is their common tangent), R comes from
// the arc (or the clothoids' radius), Ls and ls2 from the clothoids, BP and
// EP from the ends, the chain breaks from the StaEquations, the grade points
// from the first ProfAlign (a ParaCurve's Rv = length / |change of grade|, a
// CircCurve's its radius). The route so made must meet every main point the
// file gives to within a centimetre. Anything else (a spiral between two
// arcs, several alignments or none, elements other than lines, spirals and
// arcs, points given by reference, a file that is not well-formed) is
// refused with a message saying what was found; nothing is changed then.
#pragma once

#include "exchange/stamp.h"
#include "files/save_file.h"
#include "route/definition.h"

#include <optional>
#include <string>
#include <string_view>

namespace quenlor {
class RouteModel;
}

namespace quenlor::exchange {

inline constexpr std::string_view kLandXmlNamespace = "http://www.landxml.org/schema/LandXML-1.2";
// Files larger than this are not read (their size from the file system,
// before a byte is read). The largest route the program supports, 100,000
// JDs with as many grade points, writes about 120 MiB.
inline constexpr std::size_t kMostLandXmlBytes = 256u << 20;
// The most a main point of the route made may lie from the file's, metres.
inline constexpr double kLandXmlFit = 0.01;

// The file's text, or why the route cannot be written (no geometry, or
// curves that overlap or reach beyond BP or EP: no continuous alignment).
Expected<std::string> landXmlText(const RouteModel& route, const Stamp& stamp);
Expected<Done> saveLandXml(const std::string& path, const RouteModel& route, const Stamp& stamp);

struct LandXmlImport {
  std::optional<route::RouteDefinition> route;
  std::string message; // none read: why, in English
  std::string notice;  // the same for the window, in Chinese
};

LandXmlImport readLandXml(std::string_view bytes);
LandXmlImport openLandXml(const std::string& path);

} // namespace quenlor::exchange

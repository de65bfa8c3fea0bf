// SPDX-License-Identifier: GPL-3.0-or-later
// A route as LandXML 1.2 (namespace http://www.landxml.org/schema/LandXML-1.2),
// the exchange format of road design packages, written and read with Qt's
// XML streams.
//
// Written, with every attribute the LandXML 1.2 schema requires (Units/Metric
// in metres and decimal degrees, celsius and milliBars): one Alignment named
// as the route, staStart its BP chainage, length its length, holding
//   - CoordGeom: the centre line in route order as its element table gives
//     it (route/element_table.h), of a route by JDs or by elements alike: a
//     Line for each straight, a Spiral (spiType="clothoid", radiusStart and
//     radiusEnd, "INF" at an end on a straight and both finite for a
//     partial one, rot "cw" turning right or "ccw" turning left, with its
//     Start, PI and End) for each clothoid and a Curve (crvType="arc", rot,
//     radius, length, with Start, Center, End and PI) for each arc; the
//     pieces of a JD's curve are named by the JD, a route by elements'
//     elements by their rows; a JD without curve is where two Lines meet;
//   - a StaEquation for each chain break: staBack its chainage behind,
//     staAhead the one ahead, staInternal where it stands;
//   - the profile as Profile/ProfAlign: a PVI for each grade point without
//     a vertical curve, a ParaCurve (length = Rv |change of grade|) for each
//     one with a curve, an UnsymParaCurve (lengthIn T1, lengthOut T2) for an
//     asymmetric one; points beyond the route's ends too.
// Every element carries staStart. Stations without a name (staStart,
// staInternal, the profile's stations) are internal stations: BP's chainage
// plus the distance along the centre line, which chain breaks do not
// interrupt. Points are "northing easting": X (north) first, then Y (east).
// Numbers are the shortest text that reads back to the same double.
//
// Read, streaming (the file is never held whole): one Alignment, the one
// named or else the first, whose CoordGeom is any run of Lines, Curves and
// Spirals (clothoids, each end's radius INF or finite, rot, elements of no
// length), as a route by JDs where it fits their pattern exactly, else as a
// route by elements.
//
// By JDs: a run of straights and curves, each curve a clothoid from the
// straight (or none), an arc, and a clothoid back to the straight (or none);
// consecutive curves may meet without a straight between them, and a curve
// may be two clothoids without an arc. The JDs are the intersections of the
// straights (a straight between two curves with no Line between them is
// their common tangent), R comes from the arc (or the clothoids' radius), Ls
// and ls2 from the clothoids, BP and EP from the ends; every main point of
// the route made must be the file's to within kLandXmlFit.
//
// By elements, where that fails (a spiral between two arcs, a partial one,
// a compound curve, a route that starts on a curve): each element of some
// length a row (route/definition.h: ElementRow) named as in the file, its
// length (a Line's or an arc's from its points where the file gives none),
// its radii (a Spiral's two the same: the arc, or straight, it is), its turn
// from rot (an arc's from its Center where rot is missing), the file's Start
// as its given start, a check; BP at the first one's Start, along the
// direction that brings the route made nearest every Start and End of the
// file (least squares about BP: not one short chord's rounded digits). Every
// element's Start and End must then be where the route puts them, to within
// kLandXmlFit.
//
// Either way the chain breaks come from the StaEquations (staBack, or
// counted on from the break before when it is missing), the grade points
// from the first ProfAlign: every one, those beyond the alignment's ends too,
// a ParaCurve's Rv = length / |change of grade|, a CircCurve's its |radius|
// (or its length over the change of grade), an UnsymParaCurve's lengthIn and
// lengthOut kept as an asymmetric curve (profile.h).
//
// Units: <Units><Metric> or <Imperial>'s linearUnit (meter, millimeter,
// centimeter, kilometer, foot = 0.3048 m, USSurveyFoot = 1200/3937 m, inch;
// none: metres, as the schema says), and elevationUnit where it is given, are
// converted to metres: coordinates, lengths, radii, stations, elevations.
// Angles and directions (dir, delta, theta) are not read, the geometry
// coming from points, lengths and radii, so the angular and direction units
// (radians, grads, decimal degrees, decimal dd.mm.ss) change nothing.
//
// Superelevation (超高), each a curve's: its stations BeginRunoutSta
// (the normal crown), BeginRunoffSta (the outer side level), FullSuperSta
// and RunoffSta (the full section between them), StartofRunoutSta (the
// outer side level again), EndofRunoutSta (the normal crown again), internal
// stations as above, and FullSuperelev, the full rate. The schema gives the
// rate as one slope value in per cent with no side and no sign rule: its size
// is taken as the full superelevation, the side from the turn of the route's
// curve that holds the full section, and written with the house sign (a
// fall in per cent, negative falling away from the centre line): the outer
// side +i_h, the inner -i_h, the outer side 0 where it is level, the normal
// crown (an empty fall: the template's) where the section is normal. They
// go into the station table (超高加宽表), a row for each station given,
// the table's rows interpolated linearly (LandXML 1.2 names no
// reverse-crown station: from level to full both sides turn at once).
// Skipped, each with a notice in `skipped` and the rest read: a
// Superelevation whose numbers are not numbers, without FullSuperelev
// from 0 to kMostLandXmlSuperelevation or without FullSuperSta and
// RunoffSta, whose stations do not follow one another, whose full section
// lies on no curve, that begins before the one before it ends, marked
// adverse (AdverseSE), or beyond kMostLandXmlSuperelevations.
//
// Elements the route does not need inside the alignment read (Feature,
// Property, ProfSurf, a second ProfAlign, elements of another namespace,
// anything unknown) are skipped and listed in `ignored`. Refused, with a
// message saying what was found and nothing changed: a file that is not
// well-formed XML (a NUL character named by its line and column) or not
// LandXML, no alignment or none of the name asked for, an element inside
// CoordGeom or ProfAlign of the LandXML namespace other than the ones above
// (it would change the geometry), elements that do not join (as JDs nor as
// elements), a spiral without rot or length, points given by reference, a unit of length not
// listed, a number attribute or point that is not one strict number (numeric/strict_number.h:
// "+1200", "1,5", "NaN" are not; "1e308" is beyond +-1e9, "1e-400" too small), each named by its
// line and column; files larger than kMostLandXmlBytes (told from the file
// system before a byte is read) or an alignment beyond the largest route the
// program keeps (kMostLandXmlJds and the counts below).
#pragma once

#include "exchange/stamp.h"
#include "files/save_file.h"
#include "route/definition.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {
class RouteModel;
}

namespace quenlor::exchange {

inline constexpr std::string_view kLandXmlNamespace = "http://www.landxml.org/schema/LandXML-1.2";
// The largest route read: as many JDs, and as many grade points and chain
// breaks; its geometry at most four elements a JD and one more.
inline constexpr std::size_t kMostLandXmlJds = 100'000;
inline constexpr std::size_t kMostLandXmlElements = 4 * kMostLandXmlJds + 1;
inline constexpr std::size_t kMostLandXmlGradePoints = kMostLandXmlJds;
inline constexpr std::size_t kMostLandXmlBreaks = kMostLandXmlJds;
// As many Superelevations as JDs; the rest are skipped.
inline constexpr std::size_t kMostLandXmlSuperelevations = kMostLandXmlJds;
// The steepest full superelevation read, per cent: more is no road's.
inline constexpr double kMostLandXmlSuperelevation = 20;
// Files larger than this are not read: the program's own file of the largest
// route takes 117 MiB (bench/landxml_bench.cpp), this leaves room for longer
// names, and at this size an import stays within 5 s.
inline constexpr std::size_t kMostLandXmlBytes = 160u << 20;
// The most a main point of the route made may lie from the file's, metres.
inline constexpr double kLandXmlFit = 0.01;

// The file's text, or why the route cannot be written (no geometry, or
// curves that overlap or reach beyond BP or EP: no continuous alignment).
Expected<std::string> landXmlText(const RouteModel& route, const Stamp& stamp);
Expected<Done> saveLandXml(const std::string& path, const RouteModel& route, const Stamp& stamp);

// The file's unit of length, converted to metres.
enum class LengthUnit { Metre, Millimetre, Centimetre, Kilometre, Foot, UsSurveyFoot, Inch };

// An element skipped, and how often.
struct IgnoredElement {
  std::string name; // as the file writes it, with its prefix
  std::size_t count = 0;
};

struct LandXmlImport {
  std::optional<route::RouteDefinition> route;
  std::string message; // none read: why, in English
  std::string notice;  // the same for the window, in Chinese
  // What was read: every alignment's name in file order, the one read, the
  // unit converted from, and what was skipped inside it.
  std::vector<std::string> alignments;
  std::size_t chosen = 0;
  LengthUnit unit = LengthUnit::Metre;
  std::vector<IgnoredElement> ignored;
  std::size_t superelevations = 0; // read into the station table
  std::vector<Failure> skipped;    // Superelevations not read, and why
};

// The alignment named, or without a name the first.
LandXmlImport readLandXml(std::string_view bytes, const std::string& alignment = {});
LandXmlImport openLandXml(const std::string& path, const std::string& alignment = {});

// What an import read, for the driver (English) and the window (Chinese):
// "3 JDs, 5 grade points; alignment 'K线', 1 of 2; converted from US survey
// feet" ("7 elements, ..." for a route by elements; "; superelevation of 2
// curves" where it read some), and "ignored: Feature (12), ProfSurf" with
// the Superelevations skipped (empty when nothing was).
std::string importSummary(const LandXmlImport& read);
std::string importSummaryZh(const LandXmlImport& read);
std::string ignoredSummary(const LandXmlImport& read);
std::string ignoredSummaryZh(const LandXmlImport& read);

} // namespace quenlor::exchange

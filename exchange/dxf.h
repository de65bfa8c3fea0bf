// SPDX-License-Identifier: GPL-3.0-or-later
// The plan for CAD: a DXF drawing (AutoCAD R12 ASCII, AC1009, written through
// dxflib's writer) in survey coordinates, with CAD's x the survey's Y (east)
// and CAD's y the survey's X (north), so that north is up in the drawing as
// on the map.
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
//   STAKE         the stakes of the stake-out table, POINTs: the centre
//                 stake labelled by its chainage, its side stakes beside it
//                 without labels of their own (the point list names them
//                 by the chainage and L or R)
// Text that is not ASCII is written as \U+XXXX, which CAD programs show as
// the character.
//
// The file is as small as the format lets it be, since a stake table may have
// a hundred thousand rows: R12 (no handles, no subclass markers), each entity
// with its layer and its own values only (colour and line type by layer, a
// label's height its one setting), numbers to kDxfDecimals decimals without
// trailing zeros, one label a stake row. Group codes stand right-aligned in
// three columns and every point has its Z (0), as CAD programs write them: a
// reader may expect either. A stake row is about 2.6 times its line of the
// CSV stake sheet without a station (bench/dxf_bench.cpp).
//
// The drawing is written as it is made, each entity onto the save path's sink
// (files/save_file.h) as it comes: memory does not grow with the stakes.
#pragma once

#include "files/save_file.h"
#include "geometry/plane_point.h"

#include <functional>
#include <string>
#include <string_view>
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
// Decimals of every coordinate, radius and angle in the file: a micrometre,
// a millionth of a degree.
inline constexpr int kDxfDecimals = 6;

// Where a drawing goes, one entity at a time as it is made, in survey
// coordinates (X north, Y east): the file being written, or a Drawing.
class DrawingOut {
public:
  virtual ~DrawingOut() = default;
  virtual void line(PlanePoint from, PlanePoint to, const char* layer) = 0;
  // A circular arc on ZX_ARC; from and to in the route's direction.
  virtual void arc(PlanePoint centre, PlanePoint from, PlanePoint to, double radius,
                   bool turnsRight) = 0;
  virtual void polyline(const std::vector<PlanePoint>& points, const char* layer) = 0;
  // A point and its label (UTF-8; none when empty).
  virtual void mark(PlanePoint at, std::string_view label, const char* layer) = 0;
};

// A centre line (alignment/centre_line.h): its pieces on their layers, its
// main points labelled with their stations, and the stakes of the table when
// one is given. What every drawing holds, written once.
void drawLine(const CentreLine& line, const TableAnswer* stakes, DrawingOut& out);
// A route's: its centre line, the tangent polygon BP - JD - ... - EP with
// the JDs (a route by elements has none), BP and EP labelled with their
// chainages.
void drawRoute(const RouteModel& route, const TableAnswer* stakes, DrawingOut& out);
// The boxes' curve's, where the plan draws it: its centre line, and the
// tangents from the JD to ZH and HZ with the JDs the plan marks.
void drawCurve(const Form& form, const TableAnswer* stakes, DrawingOut& out);

// A drawing kept whole, in the order it was drawn.
struct Drawing final : DrawingOut {
  struct Line {
    PlanePoint from, to;
    const char* layer;
  };
  struct Arc {
    PlanePoint centre, from, to;
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

  void line(PlanePoint from, PlanePoint to, const char* layer) override {
    lines.push_back({from, to, layer});
  }
  void arc(PlanePoint centre, PlanePoint from, PlanePoint to, double radius,
           bool turnsRight) override {
    arcs.push_back({centre, from, to, radius, turnsRight});
  }
  void polyline(const std::vector<PlanePoint>& points, const char* layer) override {
    polylines.push_back({points, layer});
  }
  void mark(PlanePoint at, std::string_view label, const char* layer) override {
    marks.push_back({at, std::string(label), layer});
  }
};

// The DXF of what `draw` draws, written as it draws it.
Expected<Done> saveDxf(const std::string& path, const std::function<void(DrawingOut&)>& draw);
Expected<Done> saveRouteDxf(const std::string& path, const RouteModel& route,
                            const TableAnswer* stakes);
Expected<Done> saveCurveDxf(const std::string& path, const Form& form, const TableAnswer* stakes);

// A text as DXF carries it: ASCII as it is, every other character \U+XXXX.
std::string dxfText(std::string_view utf8);
// A number as the file writes it: kDxfDecimals decimals, trailing zeros and
// a trailing point left off, no minus before a zero ("512345.678", "0").
std::string dxfNumber(double value);

} // namespace quenlor::exchange

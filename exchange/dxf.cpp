// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/dxf.h"

#include "exchange/stake_sheet.h"
#include "form/form.h"
#include "route/route.h"
#include "session/curve_of_boxes.h"
#include "session/field_tools.h"
#include "session/plan_scene.h"
#include "session/route_model.h"
#include "text/utf8.h"

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace quenlor::exchange {
namespace {

using route::Route;

constexpr double kMainPointTextHeight = 2.0, kStakeTextHeight = 1.0; // metres
constexpr double kDegreesPerRadian = 180 / std::numbers::pi;
// Layer colours (the AutoCAD colour index) and "as the layer" for entities.
constexpr int kByLayer = 256;

struct LayerStyle {
  const char* name;
  int colour;
};
constexpr LayerStyle kLayers[] = {
    {layer::kStraight, 7}, {layer::kArc, 1},       {layer::kTransition, 3}, {layer::kTangent, 8},
    {layer::kJd, 6},       {layer::kMainPoint, 5}, {layer::kStake, 2},
};

// dxflib's ASCII writer with its lines going onto the save path's sink
// instead of a file it opens itself (it is given no file: its own stream
// stays shut). Its reals and hex numbers it formats itself and hands to
// dxfString, which is this one: a group code right-aligned in three
// columns on a line, the value on the next.
class SinkWriter final : public DL_WriterA {
public:
  explicit SinkWriter(FileSink& sink) : DL_WriterA("", DL_Codes::AC1015), sink_(sink) {}

  void dxfInt(int gc, int value) const override { line(gc, std::to_string(value)); }
  void dxfString(int gc, const char* value) const override {
    if (value)
      line(gc, value);
  }
  void dxfString(int gc, const std::string& value) const override { line(gc, value); }

private:
  void line(int gc, std::string_view value) const {
    char code[8];
    std::snprintf(code, sizeof code, "%3d\n", gc);
    sink_.write(code);
    sink_.write(value);
    sink_.write("\n");
  }

  FileSink& sink_;
};

// ----- what to draw -----

void addStakes(Drawing& d, const TableAnswer* stakes) {
  if (!stakes)
    return;
  for (std::size_t i = 0; i < stakes->size(); ++i) {
    const StakeRow row = stakes->row(i);
    if (!row.centre)
      continue;
    const PlanePoint centre = row.centre->point;
    d.marks.push_back({centre, pointName(row, ""), layer::kStake});
    for (const auto& [side, p] : {std::pair{"L", row.left}, std::pair{"R", row.right}})
      if (p && std::hypot(p->x - centre.x, p->y - centre.y) >= kSideOnCentre)
        d.marks.push_back({*p, pointName(row, side), layer::kStake});
  }
}

// Chords of a curve no further than the tolerance from it: a chord c on a
// curvature k lies k c^2 / 8 from the curve, and the curvature is at most
// 1 / R. At most kMostChords.
constexpr double kMostChords = 100000;
int chordsOf(double length, double radius) {
  const double chord = std::sqrt(8 * kTransitionChordTolerance * radius);
  const double chords = std::ceil(length / chord);
  return chords >= 1 ? int(std::min(chords, kMostChords)) : 1;
}

void addPiece(Drawing& d, const CentreLine& line, const Piece& piece) {
  const auto a = line.pointAt(piece.from), b = line.pointAt(piece.to);
  if (!a || !b)
    return;
  if (piece.kind == PieceKind::Straight) {
    d.lines.push_back({a->point, b->point, layer::kStraight});
    return;
  }
  if (piece.circle) {
    const Circle& c = *piece.circle;
    d.arcs.push_back({c.centre, a->point, b->point, c.radius, c.turnsRight});
    return;
  }
  const int n = chordsOf(piece.to - piece.from, piece.leastRadius);
  Drawing::Polyline drawn{{}, piece.kind == PieceKind::Arc ? layer::kArc : layer::kTransition};
  for (int i = 0; i <= n; ++i)
    if (const auto at =
            line.pointAt(i == n ? piece.to : piece.from + (piece.to - piece.from) * i / n))
      drawn.points.push_back(at->point);
  d.polylines.push_back(std::move(drawn));
}

void addMainPoints(Drawing& d, const CentreLine& line) {
  for (const NamedPoint& m : line.mainPoints())
    if (const auto at = line.pointAt(m.measure))
      d.marks.push_back(
          {at->point,
           line.pointName(m.kind, m.index) + ' ' + stationText(line.stationAt(m.measure)),
           layer::kMainPoint});
}

void addPolylineAsLines(Drawing& d, const Polyline& line, const char* layerName) {
  for (std::size_t i = 1; i < line.size(); ++i)
    d.lines.push_back({line[i - 1], line[i], layerName});
}

// ----- the file -----

// CAD's x is the survey's Y (east), CAD's y its X (north).
struct Cad {
  double x, y;
};
Cad cad(PlanePoint p) { return {p.y, p.x}; }

// The angle of a point seen from a centre, as CAD counts it: degrees
// anticlockwise from CAD's x axis (east).
double cadAngle(PlanePoint centre, PlanePoint p) {
  return std::atan2(p.x - centre.x, p.y - centre.y) * kDegreesPerRadian;
}

void writeTables(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionTables();
  dxf.writeVPort(dw);
  dw.tableLinetypes(3);
  dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  dw.tableEnd();
  dw.tableLayers(int(std::size(kLayers)) + 1);
  dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", 7, 0, "CONTINUOUS", 1.0));
  for (const LayerStyle& l : kLayers)
    dxf.writeLayer(dw, DL_LayerData(l.name, 0), DL_Attributes("", l.colour, 0, "CONTINUOUS", 1.0));
  dw.tableEnd();
  dw.tableStyle(1);
  dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
  dw.tableEnd();
  dxf.writeView(dw);
  dxf.writeUcs(dw);
  dw.tableAppid(1);
  dxf.writeAppid(dw, "ACAD");
  dw.tableEnd();
  dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
  dxf.writeBlockRecord(dw);
  dw.tableEnd();
  dw.sectionEnd();
}

void writeBlocks(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionBlocks();
  for (const char* name : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
    dxf.writeBlock(dw, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, name);
  }
  dw.sectionEnd();
}

DL_Attributes on(const char* layerName) {
  return DL_Attributes(layerName, kByLayer, -1, "BYLAYER", 1.0);
}

void writeEntities(DL_Dxf& dxf, DL_WriterA& dw, const Drawing& d) {
  dw.sectionEntities();
  for (const Drawing::Line& l : d.lines) {
    const Cad a = cad(l.from), b = cad(l.to);
    dxf.writeLine(dw, DL_LineData(a.x, a.y, 0, b.x, b.y, 0), on(l.layer));
  }
  // An ARC runs anticlockwise in CAD from its first angle to its second: a
  // curve turning right runs from its end to its start that way.
  for (const Drawing::Arc& a : d.arcs) {
    const Cad c = cad(a.centre);
    const double from = cadAngle(a.centre, a.from), to = cadAngle(a.centre, a.to);
    dxf.writeArc(
        dw, DL_ArcData(c.x, c.y, 0, a.radius, a.turnsRight ? to : from, a.turnsRight ? from : to),
        on(layer::kArc));
  }
  for (const Drawing::Polyline& p : d.polylines) {
    dxf.writePolyline(dw, DL_PolylineData(int(p.points.size()), 0, 0, 0), on(p.layer));
    for (const PlanePoint& point : p.points) {
      const Cad v = cad(point);
      dxf.writeVertex(dw, DL_VertexData(v.x, v.y, 0, 0));
    }
    dxf.writePolylineEnd(dw);
  }
  for (const Drawing::Mark& m : d.marks) {
    const Cad p = cad(m.at);
    dxf.writePoint(dw, DL_PointData(p.x, p.y, 0), on(m.layer));
    const double height =
        m.layer == std::string_view(layer::kStake) ? kStakeTextHeight : kMainPointTextHeight;
    const double gap = height / 2;
    dxf.writeText(dw,
                  DL_TextData(p.x + gap, p.y + gap, 0, 0, 0, 0, height, 1, 0, 0, 0,
                              dxfText(m.label), "Standard", 0),
                  on(m.layer));
  }
  dw.sectionEnd();
}

} // namespace

std::string dxfText(std::string_view utf8) {
  constexpr unsigned char kFirstPrintable = 0x20, kDelete = 0x7f;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8Length(utf8, i);
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (length > 1) {
      char escape[16];
      std::snprintf(escape, sizeof escape, "\\U+%04X", unsigned(codePointAt(utf8, i, length)));
      out += escape;
    } else
      out += length == 1 && byte >= kFirstPrintable && byte != kDelete ? char(byte) : '?';
    i += std::max<std::size_t>(length, 1);
  }
  return out;
}

Drawing lineDrawing(const CentreLine& line, const TableAnswer* stakes) {
  Drawing d;
  if (const auto extent = line.extent())
    line.piecesWithin(extent->first, extent->second,
                      [&](const Piece& piece) { addPiece(d, line, piece); });
  addMainPoints(d, line);
  addStakes(d, stakes);
  return d;
}

Drawing routeDrawing(const RouteModel& model, const TableAnswer* stakes) {
  const Route& route = model.route();
  Drawing d = lineDrawing(route, stakes);
  const route::RouteDefinition& def = route.definition();
  const PlanePoint bp{def.start.x, def.start.y}, ep = route.endPoint();
  if (!route.byElements()) {
    Polyline tangents{bp};
    for (std::size_t i = 0; i < route.jdCount(); ++i) {
      if (!route.jd(i).inRoute)
        continue;
      const PlanePoint jd{def.jds[i].x, def.jds[i].y};
      tangents.push_back(jd);
      d.marks.push_back({jd, def.jds[i].name, layer::kJd});
    }
    tangents.push_back(ep);
    addPolylineAsLines(d, tangents, layer::kTangent);
  }
  if (route.hasGeometry()) {
    d.marks.push_back(
        {bp, def.start.name + ' ' + stationText(route.stationAt(0)), layer::kMainPoint});
    d.marks.push_back(
        {ep, def.end.name + ' ' + stationText(route.stationAt(route.length())), layer::kMainPoint});
  }
  return d;
}

Drawing curveDrawing(const Form& form, const TableAnswer* stakes) {
  // The curve where the plan draws it; the table's stakes in any case.
  const auto inputs = curveLineOfBoxes(form);
  Drawing d;
  if (inputs && !form.text(Box::Text9).empty())
    d = lineDrawing(BoxCurveLine(*inputs), stakes);
  else
    addStakes(d, stakes);
  const PlanScene scene = buildPlanScene(form);
  for (const PlanSegment& s : scene.tangents)
    d.lines.push_back({s.from, s.to, layer::kTangent});
  for (const PlanMarker& m : scene.markers)
    if (m.kind == MarkerKind::IntersectionPoint || m.kind == MarkerKind::NextIntersectionPoint)
      d.marks.push_back({m.at, m.label, layer::kJd});
  return d;
}

Expected<Done> saveDxf(const std::string& path, const Drawing& drawing) {
  return saveFile(path, [&](FileSink& sink) -> Expected<Done> {
    DL_Dxf dxf;
    SinkWriter dw(sink);
    dxf.writeHeader(dw);
    dw.sectionEnd();
    writeTables(dxf, dw);
    writeBlocks(dxf, dw);
    writeEntities(dxf, dw, drawing);
    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    return Done{};
  });
}

} // namespace quenlor::exchange

// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/dxf.h"

#include "exchange/stake_sheet.h"
#include "route/route.h"
#include "session/field_tools.h"
#include "session/plan_scene.h"
#include "session/route_model.h"

#include <dl_dxf.h>

#include <cmath>
#include <memory>
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

PlanePoint operator+(PlanePoint a, PlanePoint b) { return {a.x + b.x, a.y + b.y}; }

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

// Chords of a clothoid no further than the tolerance from it: a chord c on
// a curvature k lies k c^2 / 8 from the curve, and the curvature is at
// most 1 / R.
int chordsOf(double length, double radius) {
  const double chord = std::sqrt(8 * kTransitionChordTolerance * radius);
  return std::max(1, int(std::ceil(length / chord)));
}

void addPiece(Drawing& d, const Route& route, const Route::Span& piece) {
  const route::Element e = route.element(std::size_t(piece.element));
  const PlanePoint origin = route.origin();
  const double s0 = piece.from - e.start, s1 = piece.to - e.start;
  const auto at = [&](double s) { return route::pointOn(e, s).point + origin; };
  switch (e.stretch) {
  case route::Stretch::Straight: d.lines.push_back({at(s0), at(s1), layer::kStraight}); return;
  case route::Stretch::Arc:
    d.arcs.push_back({e.centre + origin, at(s0), at(s1), e.radius, e.turn > 0});
    return;
  case route::Stretch::FirstTransition:
  case route::Stretch::SecondTransition: {
    const int n = chordsOf(s1 - s0, e.radius);
    Drawing::Polyline line{{}, layer::kTransition};
    for (int i = 0; i <= n; ++i)
      line.points.push_back(at(i == n ? s1 : s0 + (s1 - s0) * i / n));
    d.polylines.push_back(std::move(line));
    return;
  }
  }
}

void addMainPoints(Drawing& d, const Route& route, std::size_t index) {
  const route::JdResult jd = route.jd(index);
  if (!jd.inRoute || !jd.curve.curved)
    return;
  const route::Curve& c = jd.curve;
  const route::MainPoints& m = jd.mainPoints;
  const bool first = c.ls1 > 0, second = c.ls2 > 0;
  const struct {
    const char* name;
    PlanePoint at;
    double measure;
    bool shown;
  } points[] = {{first ? "ZH" : "ZY", c.zh, m.zh, true},
                {"HY", c.hy, m.hy, first},
                {"QZ", c.qz, m.qz, true},
                {"YH", c.yh, m.yh, second},
                {second ? "HZ" : "YZ", c.hz, m.hz, true}};
  for (const auto& p : points)
    if (p.shown)
      d.marks.push_back({p.at, std::string(p.name) + ' ' + stationText(route.stationAt(p.measure)),
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
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (n == 1 || i + n > utf8.size()) {
      out += lead < 0x80 && lead >= 0x20 ? char(lead) : '?';
      ++i;
      continue;
    }
    char32_t code = lead & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n; ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    char escape[16];
    std::snprintf(escape, sizeof escape, "\\U+%04X", unsigned(code));
    out += escape;
    i += n;
  }
  return out;
}

Drawing routeDrawing(const RouteModel& model, const TableAnswer* stakes) {
  Drawing d;
  const Route& route = model.route();
  const route::RouteDefinition& def = route.definition();
  for (const Route::Span& piece : route.spans())
    addPiece(d, route, piece);
  Polyline tangents{{def.start.x, def.start.y}};
  for (std::size_t i = 0; i < route.jdCount(); ++i) {
    if (!route.jd(i).inRoute)
      continue;
    const PlanePoint jd{def.jds[i].x, def.jds[i].y};
    tangents.push_back(jd);
    d.marks.push_back({jd, def.jds[i].name, layer::kJd});
    addMainPoints(d, route, i);
  }
  tangents.push_back({def.end.x, def.end.y});
  addPolylineAsLines(d, tangents, layer::kTangent);
  if (route.hasGeometry()) {
    d.marks.push_back({tangents.front(), def.start.name + ' ' + stationText(route.stationAt(0)),
                       layer::kMainPoint});
    d.marks.push_back({tangents.back(),
                       def.end.name + ' ' + stationText(route.stationAt(route.length())),
                       layer::kMainPoint});
  }
  addStakes(d, stakes);
  return d;
}

Drawing sceneDrawing(const PlanScene& scene, const TableAnswer* stakes) {
  Drawing d;
  addPolylineAsLines(d, scene.incomingStraight, layer::kStraight);
  addPolylineAsLines(d, scene.outgoingStraight, layer::kStraight);
  for (const Polyline* piece : {&scene.firstTransition, &scene.secondTransition})
    if (piece->size() > 1)
      d.polylines.push_back({*piece, layer::kTransition});
  if (scene.arc.size() > 1)
    d.polylines.push_back({scene.arc, layer::kArc});
  for (const PlanSegment& s : scene.tangents)
    d.lines.push_back({s.from, s.to, layer::kTangent});
  for (const PlanMarker& m : scene.markers) {
    if (m.kind == MarkerKind::IntersectionPoint || m.kind == MarkerKind::NextIntersectionPoint)
      d.marks.push_back({m.at, m.label, layer::kJd});
    else if (m.kind == MarkerKind::MainPoint)
      d.marks.push_back({m.at, m.label, layer::kMainPoint});
  }
  addStakes(d, stakes);
  return d;
}

Expected<Done> saveDxf(const std::string& path, const Drawing& drawing) {
  return saveThroughPath(path, [&](const std::string& scratch) -> std::optional<std::string> {
    DL_Dxf dxf;
    const std::unique_ptr<DL_WriterA> dw(dxf.out(scratch.c_str(), DL_Codes::AC1015));
    if (!dw || dw->openFailed())
      return "the drawing cannot be opened";
    dxf.writeHeader(*dw);
    dw->sectionEnd();
    writeTables(dxf, *dw);
    writeBlocks(dxf, *dw);
    writeEntities(dxf, *dw, drawing);
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    dw->close();
    return std::nullopt;
  });
}

} // namespace quenlor::exchange

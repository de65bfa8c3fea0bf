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

#include <dl_writer_ascii.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace quenlor::exchange {
namespace {

using route::Route;

constexpr double kMainPointTextHeight = 2.0, kStakeTextHeight = 1.0; // metres
constexpr double kDegreesPerRadian = 180 / std::numbers::pi;

struct LayerStyle {
  const char* name;
  int colour; // the AutoCAD colour index
};
constexpr LayerStyle kLayers[] = {
    {"0", 7},
    {layer::kStraight, 7},
    {layer::kArc, 1},
    {layer::kTransition, 3},
    {layer::kTangent, 8},
    {layer::kJd, 6},
    {layer::kMainPoint, 5},
    {layer::kStake, 2},
};
constexpr const char* kLineType = "CONTINUOUS";
constexpr const char* kTextStyle = "STANDARD";

// dxflib's ASCII writer with its lines going onto the save path's sink
// instead of a file it opens itself (it is given no file: its own stream
// stays shut), in R12: its sections and tables then carry no handles. Each
// group is its code right-aligned in three columns on a line, its value on
// the next; numbers as dxfNumber writes them.
class SinkWriter final : public DL_WriterA {
public:
  explicit SinkWriter(FileSink& sink) : DL_WriterA("", DL_Codes::AC1009), sink_(sink) {}

  void dxfReal(int gc, double value) const override { line(gc, dxfNumber(value)); }
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

// The file: its head when made, each entity as it is drawn, its end when
// finished.
class DxfFile final : public DrawingOut {
public:
  explicit DxfFile(FileSink& sink) : dw_(sink) {
    dw_.sectionHeader();
    dw_.dxfString(9, "$ACADVER");
    dw_.dxfString(1, "AC1009");
    dw_.sectionEnd();
    writeTables();
    dw_.sectionEntities();
  }
  void finish() {
    dw_.sectionEnd();
    dw_.dxfEOF();
  }

  void line(PlanePoint from, PlanePoint to, const char* layer) override {
    entity("LINE", layer);
    point(10, from);
    point(11, to);
  }
  // An ARC runs anticlockwise in CAD from its first angle to its second: a
  // curve turning right runs from its end to its start that way.
  void arc(PlanePoint centre, PlanePoint from, PlanePoint to, double radius,
           bool turnsRight) override {
    const double a = cadAngle(centre, from), b = cadAngle(centre, to);
    entity("ARC", layer::kArc);
    point(10, centre);
    dw_.dxfReal(40, radius);
    dw_.dxfReal(50, turnsRight ? b : a);
    dw_.dxfReal(51, turnsRight ? a : b);
  }
  // An R12 polyline: its head (66: vertices follow; its own point, always
  // 0, carries the elevation), a VERTEX a point, SEQEND.
  void polyline(const std::vector<PlanePoint>& points, const char* layer) override {
    entity("POLYLINE", layer);
    dw_.dxfInt(66, 1);
    point(10, {0, 0});
    for (const PlanePoint& p : points) {
      entity("VERTEX", layer);
      point(10, p);
    }
    entity("SEQEND", layer);
  }
  void mark(PlanePoint at, std::string_view label, const char* layer) override {
    entity("POINT", layer);
    point(10, at);
    if (label.empty())
      return;
    const double height =
        layer == std::string_view(layer::kStake) ? kStakeTextHeight : kMainPointTextHeight;
    const double gap = height / 2;
    entity("TEXT", layer);
    point(10, {at.x + gap, at.y + gap});
    dw_.dxfReal(40, height);
    dw_.dxfString(1, dxfText(label));
  }

private:
  void entity(const char* type, const char* layer) {
    dw_.dxfString(0, type);
    dw_.dxfString(8, layer);
  }
  // A point in CAD's axes: its x under `code`, its y under code + 10, its
  // z (0) under code + 20.
  void point(int code, PlanePoint p) {
    const Cad c = cad(p);
    dw_.dxfReal(code, c.x);
    dw_.dxfReal(code + 10, c.y);
    dw_.dxfReal(code + 20, 0);
  }

  void writeTables() {
    dw_.sectionTables();
    dw_.tableLinetypes(1);
    dw_.dxfString(0, "LTYPE");
    dw_.dxfString(2, kLineType);
    dw_.dxfInt(70, 0);
    dw_.dxfString(3, "Solid line");
    dw_.dxfInt(72, 65); // 'A', the one alignment
    dw_.dxfInt(73, 0);  // no dashes
    dw_.dxfReal(40, 0);
    dw_.tableEnd();
    dw_.tableLayers(int(std::size(kLayers)));
    for (const LayerStyle& l : kLayers) {
      dw_.dxfString(0, "LAYER");
      dw_.dxfString(2, l.name);
      dw_.dxfInt(70, 0);
      dw_.dxfInt(62, l.colour);
      dw_.dxfString(6, kLineType);
    }
    dw_.tableEnd();
    dw_.tableStyle(1);
    dw_.dxfString(0, "STYLE");
    dw_.dxfString(2, kTextStyle);
    dw_.dxfInt(70, 0);
    dw_.dxfReal(40, 0); // no fixed height: each text has its own
    dw_.dxfReal(41, 1);
    dw_.dxfReal(50, 0);
    dw_.dxfInt(71, 0);
    dw_.dxfReal(42, kStakeTextHeight);
    dw_.dxfString(3, "txt");
    dw_.dxfString(4, "");
    dw_.tableEnd();
    dw_.sectionEnd();
  }

  SinkWriter dw_;
};

// ----- what to draw -----

void drawStakes(const TableAnswer* stakes, DrawingOut& out) {
  if (!stakes)
    return;
  for (std::size_t i = 0; i < stakes->size(); ++i) {
    const StakeRow row = stakes->row(i);
    if (!row.centre)
      continue;
    const PlanePoint centre = row.centre->point;
    out.mark(centre, pointName(row, ""), layer::kStake);
    for (const auto& p : {row.left, row.right})
      if (p && std::hypot(p->x - centre.x, p->y - centre.y) >= kSideOnCentre)
        out.mark(*p, "", layer::kStake);
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

void drawPiece(const CentreLine& line, const Piece& piece, std::vector<PlanePoint>& points,
               DrawingOut& out) {
  const auto a = line.pointAt(piece.from), b = line.pointAt(piece.to);
  if (!a || !b)
    return;
  if (piece.kind == PieceKind::Straight)
    return out.line(a->point, b->point, layer::kStraight);
  if (piece.circle) {
    const Circle& c = *piece.circle;
    return out.arc(c.centre, a->point, b->point, c.radius, c.turnsRight);
  }
  const int n = chordsOf(piece.to - piece.from, piece.leastRadius);
  points.clear();
  for (int i = 0; i <= n; ++i)
    if (const auto at =
            line.pointAt(i == n ? piece.to : piece.from + (piece.to - piece.from) * i / n))
      points.push_back(at->point);
  out.polyline(points, piece.kind == PieceKind::Arc ? layer::kArc : layer::kTransition);
}

void drawMainPoints(const CentreLine& line, DrawingOut& out) {
  for (const NamedPoint& m : line.mainPoints())
    if (const auto at = line.pointAt(m.measure))
      out.mark(at->point,
               line.pointName(m.kind, m.index) + ' ' + stationText(line.stationAt(m.measure)),
               layer::kMainPoint);
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

// std::to_chars: exact, and the same whatever the locale (the window's may
// write a decimal comma).
std::string dxfNumber(double value) {
  std::array<char, 64> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                     std::chars_format::fixed, kDxfDecimals);
  std::string_view text(digits.data(),
                        written.ec == std::errc() ? std::size_t(written.ptr - digits.data()) : 0);
  if (text.empty()) // beyond 64 characters: more than a drawing holds
    return std::isnan(value) ? "0" : std::string(value < 0 ? "-1e300" : "1e300");
  if (text.find('.') != std::string_view::npos) {
    text.remove_suffix(text.size() - 1 - text.find_last_not_of('0'));
    if (text.back() == '.')
      text.remove_suffix(1);
  }
  return text == "-0" ? "0" : std::string(text);
}

void drawLine(const CentreLine& line, const TableAnswer* stakes, DrawingOut& out) {
  std::vector<PlanePoint> points; // one polyline's, made again for each
  if (const auto extent = line.extent())
    line.piecesWithin(extent->first, extent->second,
                      [&](const Piece& piece) { drawPiece(line, piece, points, out); });
  drawMainPoints(line, out);
  drawStakes(stakes, out);
}

void drawRoute(const RouteModel& model, const TableAnswer* stakes, DrawingOut& out) {
  const Route& route = model.route();
  drawLine(route, stakes, out);
  const route::RouteDefinition& def = route.definition();
  const PlanePoint bp{def.start.x, def.start.y}, ep = route.endPoint();
  if (!route.byElements()) {
    PlanePoint from = bp;
    for (std::size_t i = 0; i < route.jdCount(); ++i) {
      if (!route.jd(i).inRoute)
        continue;
      const PlanePoint jd = route.jdPoint(i);
      out.line(from, jd, layer::kTangent);
      out.mark(jd, def.jds[i].name, layer::kJd);
      from = jd;
    }
    out.line(from, ep, layer::kTangent);
  }
  if (route.hasGeometry()) {
    out.mark(bp, def.start.name + ' ' + stationText(route.stationAt(0)), layer::kMainPoint);
    out.mark(ep, def.end.name + ' ' + stationText(route.stationAt(route.length())),
             layer::kMainPoint);
  }
}

void drawCurve(const Form& form, const TableAnswer* stakes, DrawingOut& out) {
  // The curve where the plan draws it; the table's stakes in any case.
  const auto inputs = curveLineOfBoxes(form);
  if (inputs && !form.text(Box::Text9).empty())
    drawLine(BoxCurveLine(*inputs), stakes, out);
  else
    drawStakes(stakes, out);
  const PlanScene scene = buildPlanScene(form);
  for (const PlanSegment& s : scene.tangents)
    out.line(s.from, s.to, layer::kTangent);
  for (const PlanMarker& m : scene.markers)
    if (m.kind == MarkerKind::IntersectionPoint || m.kind == MarkerKind::NextIntersectionPoint)
      out.mark(m.at, m.label, layer::kJd);
}

Expected<Done> saveDxf(const std::string& path, const std::function<void(DrawingOut&)>& draw) {
  return saveFile(path, [&](FileSink& sink) -> Expected<Done> {
    DxfFile file(sink);
    draw(file);
    file.finish();
    return Done{};
  });
}

Expected<Done> saveRouteDxf(const std::string& path, const RouteModel& route,
                            const TableAnswer* stakes) {
  return saveDxf(path, [&](DrawingOut& out) { drawRoute(route, stakes, out); });
}

Expected<Done> saveCurveDxf(const std::string& path, const Form& form, const TableAnswer* stakes) {
  return saveDxf(path, [&](DrawingOut& out) { drawCurve(form, stakes, out); });
}

} // namespace quenlor::exchange

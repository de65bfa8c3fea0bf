// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/jd_sheet.h"

#include "geometry/angle_text.h"

#include <cmath>
#include <numbers>

namespace quenlor {
namespace {

using Row = const JdSheetRow&;
using P = Precision;

// The route's angles carry the true pi: degrees, minutes and whole seconds
// rounded once, or packed to a millionth of a second.
std::string angleText(double radians, Precision precision) {
  return precision == Precision::Field ? dmsText(radians, 0) : packedAzimuthText(radians);
}

std::string lengthOf(const std::optional<double>& v, Precision precision) {
  return v ? lengthText(*v, precision) : std::string();
}

// A point in the route, BP, a JD or EP, on its row of the sheet, and the
// measures where its curve starts and ends (its own for BP, EP and an angle
// point).
struct Vertex {
  std::size_t row;
  PlanePoint point;
  double zh, hz;
};

JdSheetRow jdRow(const route::Route& route, std::size_t i) {
  const route::JdResult jd = route.jd(i);
  JdSheetRow row{route.definition().jds[i].name, jd.point, {}, {}, {}, {}, {}};
  if (!jd.inRoute)
    return row;
  row.station = route.stationAt(jd.measure);
  row.deflection = jd.curve.deflection;
  if (!jd.curve.curved)
    return row;
  row.curve = jd.curve;
  const route::MainPoints& m = jd.mainPoints;
  const bool first = jd.curve.ls1 > 0, second = jd.curve.ls2 > 0;
  const std::optional<double> at[] = {first ? std::optional(m.zh) : std::nullopt,
                                      first ? m.hy : m.zh, m.qz, second ? m.yh : m.hz,
                                      second ? std::optional(m.hz) : std::nullopt};
  for (std::size_t k = 0; k < row.mainPoints.size(); ++k)
    if (at[k])
      row.mainPoints[k] = route.stationAt(*at[k]);
  return row;
}

// The straights between the points in the route, each on the row of the
// point it leaves.
void addStraights(std::vector<JdSheetRow>& rows, const std::vector<Vertex>& vertices) {
  for (std::size_t v = 0; v + 1 < vertices.size(); ++v) {
    const Vertex &from = vertices[v], &to = vertices[v + 1];
    const double dx = to.point.x - from.point.x, dy = to.point.y - from.point.y;
    double azimuth = std::atan2(dy, dx);
    if (azimuth < 0)
      azimuth += 2 * std::numbers::pi;
    rows[from.row].ahead = JdSheetRow::Straight{to.zh - from.hz, std::hypot(dx, dy), azimuth};
  }
}

std::string station(const std::optional<Station>& s) { return s ? stationText(*s) : std::string(); }

template <double route::Curve::*Field> std::string curveLength(Row r, P p) {
  return r.curve ? lengthText((*r.curve).*Field, p) : std::string();
}

// A transition's length and its parameter A = sqrt(R Ls), where it has one.
template <double route::Curve::*Ls> std::optional<double> transition(Row r) {
  return r.curve && (*r.curve).*Ls > 0 ? std::optional((*r.curve).*Ls) : std::nullopt;
}
template <double route::Curve::*Ls> std::string transitionLength(Row r, P p) {
  return lengthOf(transition<Ls>(r), p);
}
template <double route::Curve::*Ls> std::string parameter(Row r, P p) {
  const auto ls = transition<Ls>(r);
  return lengthOf(ls ? std::optional(std::sqrt(r.curve->radius * *ls)) : std::nullopt, p);
}

// J = T1 + T2 - L.
std::string correction(Row r, P p) {
  const auto& c = r.curve;
  return c ? lengthText(c->tangent1 + c->tangent2 - c->length, p) : std::string();
}

// The deflection in the column of its side (a turn of none in neither).
template <int Side> std::string deflection(Row r, P p) {
  if (!r.deflection || !(*r.deflection * Side > 0))
    return {};
  return angleText(std::fabs(*r.deflection), p);
}

template <std::size_t K> std::string mainPoint(Row r, P) { return station(r.mainPoints[K]); }

template <double JdSheetRow::Straight::*Field> std::string straightLength(Row r, P p) {
  return r.ahead ? lengthText((*r.ahead).*Field, p) : std::string();
}

} // namespace

std::vector<JdSheetRow> jdSheetRows(const route::Route& route) {
  if (route.byElements() || !route.hasGeometry())
    return {};
  const route::RouteDefinition& d = route.definition();
  std::vector<JdSheetRow> rows;
  rows.reserve(route.jdCount() + 2);
  const PlanePoint start{d.start.x, d.start.y};
  rows.push_back({d.start.name, start, route.stationAt(0), {}, {}, {}, {}});
  std::vector<Vertex> vertices{{0, start, 0, 0}};
  for (std::size_t i = 0; i < route.jdCount(); ++i) {
    rows.push_back(jdRow(route, i));
    const route::JdResult jd = route.jd(i);
    if (jd.inRoute)
      vertices.push_back({rows.size() - 1, jd.point, jd.mainPoints.zh, jd.mainPoints.hz});
  }
  const double end = route.length();
  rows.push_back({d.end.name, route.endPoint(), route.stationAt(end), {}, {}, {}, {}});
  vertices.push_back({rows.size() - 1, route.endPoint(), end, end});
  addStraights(rows, vertices);
  return rows;
}

std::string_view jdSheetTitle() { return "直线、曲线及转角表"; }

const std::vector<JdSheetColumn>& jdSheetColumns() {
  using C = route::Curve;
  using S = JdSheetRow::Straight;
  static const std::vector<JdSheetColumn> columns{
      {"", "交点号", [](Row r, P) { return r.name; }},
      {"交点坐标", "X", [](Row r, P p) { return lengthText(r.point.x, p); }},
      {"交点坐标", "Y", [](Row r, P p) { return lengthText(r.point.y, p); }},
      {"", "交点桩号", [](Row r, P) { return station(r.station); }},
      {"转角值", "左转", &deflection<-1>},
      {"转角值", "右转", &deflection<1>},
      {"曲线要素值", "R", &curveLength<&C::radius>},
      {"曲线要素值", "Ls1", &transitionLength<&C::ls1>},
      {"曲线要素值", "Ls2", &transitionLength<&C::ls2>},
      {"曲线要素值", "A1", &parameter<&C::ls1>},
      {"曲线要素值", "A2", &parameter<&C::ls2>},
      {"曲线要素值", "T1", &curveLength<&C::tangent1>},
      {"曲线要素值", "T2", &curveLength<&C::tangent2>},
      {"曲线要素值", "L", &curveLength<&C::length>},
      {"曲线要素值", "E", &curveLength<&C::external>},
      {"曲线要素值", "J", &correction},
      {"曲线主点桩号", "ZH", &mainPoint<0>},
      {"曲线主点桩号", "HY(ZY)", &mainPoint<1>},
      {"曲线主点桩号", "QZ", &mainPoint<2>},
      {"曲线主点桩号", "YH(YZ)", &mainPoint<3>},
      {"曲线主点桩号", "HZ", &mainPoint<4>},
      {"直线长度及方向", "直线段长", &straightLength<&S::length>},
      {"直线长度及方向", "交点间距", &straightLength<&S::between>},
      {"直线长度及方向", "计算方位角",
       [](Row r, P p) { return r.ahead ? angleText(r.ahead->azimuth, p) : std::string(); }},
  };
  return columns;
}

} // namespace quenlor

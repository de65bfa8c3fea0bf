// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_columns.h"

#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>

namespace quenlor {
namespace {

using Model = const RouteModel&;
using route::Jd;

// Deflections to a tenth of a second.
constexpr int kDeflectionDecimals = 1;

std::string metresText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

std::string percentText(double fraction) { return metresText(fraction * 100); }

std::string stationOf(const route::Route& route, double measure) {
  if (!std::isfinite(measure))
    return {};
  return route::stationText(route.stationAt(measure));
}

// The deflection as the design's table writes it: signed DMS with the side
// it turns to.
std::string deflectionText(double deflection) {
  if (deflection == 0)
    return dmsText(deflection, kDeflectionDecimals);
  return dmsText(deflection, kDeflectionDecimals) + (deflection > 0 ? " 右" : " 左");
}

// A typed text taken into a change, or refused as the reader refuses it.
template <class T, class Make> Taken<RouteChange> taking(const Taken<T>& read, Make make) {
  if (const auto* refused = std::get_if<CellRefusal>(&read))
    return *refused;
  return RouteChange(make(std::get<T>(read)));
}

bool everyRow(Model, std::size_t) { return true; }

// The JD table.

std::size_t jdRows(Model m) { return m.route().jdCount() + 2; }
bool isJdRow(Model m, std::size_t row) { return jdOfRow(m.definition(), row).has_value(); }

// Calls `f` with the row's point: BP, the JD or EP, whichever it shows.
template <class F> auto withPoint(const route::RouteDefinition& d, std::size_t row, F f) {
  if (row == 0)
    return f(d.start);
  if (row > d.jds.size())
    return f(d.end);
  return f(d.jds[row - 1]);
}

// The change that sets one field of a row's point: `set` edits a copy.
template <class Set> RouteChange changePoint(Model m, std::size_t row, Set set) {
  const route::RouteDefinition& d = m.definition();
  if (row == 0) {
    route::StartPoint bp = d.start;
    set(bp);
    return [bp](route::Route& r) { r.setStart(bp); };
  }
  if (row > d.jds.size()) {
    route::EndPoint ep = d.end;
    set(ep);
    return [ep](route::Route& r) { r.setEnd(ep); };
  }
  Jd jd = d.jds[row - 1];
  set(jd);
  return [jd, index = row - 1](route::Route& r) { r.replaceJd(index, jd); };
}

// X and Y of BP, a JD or EP alike.
struct North {
  static auto& of(auto& point) { return point.x; }
};
struct East {
  static auto& of(auto& point) { return point.y; }
};

std::string pointName(Model m, std::size_t row) {
  return withPoint(m.definition(), row, [](const auto& p) { return p.name; });
}

// A JD or EP placed by its distance (BP never is).
bool isPlaced(Model m, std::size_t row) {
  return withPoint(m.definition(), row, [](const auto& p) {
    if constexpr (requires { p.distance; })
      return p.distance.has_value();
    else
      return false;
  });
}

// Where a row's point stands as the route takes it: as typed, or placed.
PlanePoint routePoint(Model m, std::size_t row) {
  const route::RouteDefinition& d = m.definition();
  if (row == 0)
    return {d.start.x, d.start.y};
  return row > d.jds.size() ? m.route().endPoint() : m.route().jdPoint(row - 1);
}

// A placed point's coordinates are computed: shown to the millimetre, its
// editor starting from every digit.
template <class Axis> std::string pointCoordinate(Model m, std::size_t row) {
  if (PlanePoint at = routePoint(m, row); isPlaced(m, row))
    return metresText(Axis::of(at));
  return withPoint(m.definition(), row, [](const auto& p) { return exactText(Axis::of(p)); });
}
template <class Axis> std::string pointCoordinateTyped(Model m, std::size_t row) {
  if (PlanePoint at = routePoint(m, row); isPlaced(m, row))
    return exactText(Axis::of(at));
  return pointCoordinate<Axis>(m, row);
}

// A placed point given X or Y is placed by its coordinates again, the other
// one where the distance put it.
template <class Point> void unplace(Model m, std::size_t row, Point& p) {
  if constexpr (requires { p.distance; }) {
    if (p.distance) {
      const PlanePoint at = routePoint(m, row);
      p.x = at.x;
      p.y = at.y;
      p.distance.reset();
    }
  }
}
Taken<RouteChange> applyPointName(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellName(typed), [&](std::string name) {
    return changePoint(m, row, [&](auto& p) { p.name = std::move(name); });
  });
}
template <class Axis>
Taken<RouteChange> applyPointCoordinate(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double value) {
    return changePoint(m, row, [&](auto& p) {
      unplace(m, row, p);
      Axis::of(p) = value;
    });
  });
}

// R, Ls and ls2: the JDs' own, typed on their rows only.
template <class Set> RouteChange changeJd(Model m, std::size_t row, Set set) {
  Jd jd = m.definition().jds.at(row - 1);
  set(jd);
  return [jd, index = row - 1](route::Route& r) { r.replaceJd(index, jd); };
}
template <double Jd::*Field> std::string jdNumber(Model m, std::size_t row) {
  const auto jd = jdOfRow(m.definition(), row);
  return jd ? exactText(m.definition().jds[*jd].*Field) : std::string();
}
template <double Jd::*Field>
Taken<RouteChange> applyJdNumber(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed),
                [&](double value) { return changeJd(m, row, [&](Jd& jd) { jd.*Field = value; }); });
}
std::string secondTransition(Model m, std::size_t row) {
  const auto jd = jdOfRow(m.definition(), row);
  if (!jd || !m.definition().jds[*jd].ls2)
    return {};
  return exactText(*m.definition().jds[*jd].ls2);
}
// Blank: equal to Ls again.
Taken<RouteChange> applySecondTransition(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed))
    return changeJd(m, row, [](Jd& jd) { jd.ls2.reset(); });
  return taking(readCellNumber(typed),
                [&](double value) { return changeJd(m, row, [&](Jd& jd) { jd.ls2 = value; }); });
}

// The JD's computed results, where the route has them.
std::optional<route::JdResult> computedJd(Model m, std::size_t row) {
  const auto jd = jdOfRow(m.definition(), row);
  if (!jd || !m.route().hasGeometry())
    return std::nullopt;
  route::JdResult r = m.route().jd(*jd);
  return r.inRoute ? std::optional(r) : std::nullopt;
}

// The chainage: BP's typed, a JD's and EP's computed.
std::string pointChainage(Model m, std::size_t row) {
  const route::Route& route = m.route();
  if (row == 0)
    return chainageText(m.definition().start.chainage);
  if (row > m.definition().jds.size())
    return route.hasGeometry() ? stationOf(route, route.length()) : std::string();
  const auto r = computedJd(m, row);
  return r ? stationOf(route, r->measure) : std::string();
}
// The chainage a JD's or EP's row gives to be checked, if any.
std::optional<double> givenChainage(Model m, std::size_t row) {
  return withPoint(m.definition(), row, [](const auto& p) -> std::optional<double> {
    if constexpr (requires { p.distance; })
      return p.chainage;
    else
      return std::nullopt;
  });
}
// What the editor starts from: BP's typed chainage, a JD's or EP's given one
// (blank for none: what is typed there is the table's, not the route's).
std::string chainageTyped(Model m, std::size_t row) {
  if (row == 0)
    return exactText(m.definition().start.chainage);
  const auto given = givenChainage(m, row);
  return given ? exactText(*given) : std::string();
}
// BP's chainage; a JD's or EP's as the design's table gives it, a check
// (blank: none).
Taken<RouteChange> applyChainage(Model m, std::size_t row, std::string_view typed) {
  if (row == 0)
    return taking(readCellChainage(typed), [&](double chainage) {
      route::StartPoint bp = m.definition().start;
      bp.chainage = chainage;
      return RouteChange([bp](route::Route& r) { r.setStart(bp); });
    });
  if (isBlankCell(typed))
    return changePoint(m, row, [](auto& p) {
      if constexpr (requires { p.distance; })
        p.chainage.reset();
    });
  return taking(readCellChainage(typed), [&](double chainage) {
    return changePoint(m, row, [&](auto& p) {
      if constexpr (requires { p.distance; })
        p.chainage = chainage;
    });
  });
}

// The deflection: as the route computes it, else as typed.
std::optional<double> typedDeflection(Model m, std::size_t row) {
  const auto jd = jdOfRow(m.definition(), row);
  return jd ? m.definition().jds[*jd].deflection : std::nullopt;
}
std::string deflection(Model m, std::size_t row) {
  if (const auto r = computedJd(m, row))
    return deflectionText(r->curve.deflection);
  const auto typed = typedDeflection(m, row);
  return typed ? deflectionText(radiansOfPackedDms(*typed)) : std::string();
}
// The typed one in full, packed, with its side; blank for none.
std::string deflectionTyped(Model m, std::size_t row) {
  const auto typed = typedDeflection(m, row);
  if (!typed)
    return {};
  return exactText(std::fabs(*typed)) + (*typed < 0 ? " 左" : *typed > 0 ? " 右" : "");
}
// Blank: the deflection from the coordinates alone again.
Taken<RouteChange> applyDeflection(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed))
    return changeJd(m, row, [](Jd& jd) { jd.deflection.reset(); });
  return taking(readCellDeflection(typed), [&](double packed) {
    return changeJd(m, row, [&](Jd& jd) { jd.deflection = packed; });
  });
}

// The distance from the point before, the in-route JD before or BP: the
// typed one of a placed point, else the one the route's points make.
bool isJdOrEndRow(Model m, std::size_t row) {
  return row > 0 && row <= m.definition().jds.size() + 1;
}
std::optional<double> distanceBefore(Model m, std::size_t row) {
  const route::Route& route = m.route();
  if (row == 0 || route.byElements() || !route.hasGeometry())
    return std::nullopt;
  if (row <= m.definition().jds.size() && !route.jd(row - 1).inRoute)
    return std::nullopt;
  std::size_t before = row - 1;
  while (before > 0 && !route.jd(before - 1).inRoute)
    --before;
  const PlanePoint from = before == 0 ? routePoint(m, 0) : route.jdPoint(before - 1);
  const PlanePoint to = routePoint(m, row);
  return std::hypot(to.x - from.x, to.y - from.y);
}
std::optional<double> typedDistance(Model m, std::size_t row) {
  return withPoint(m.definition(), row, [](const auto& p) -> std::optional<double> {
    if constexpr (requires { p.distance; })
      return p.distance;
    else
      return std::nullopt;
  });
}
std::string distance(Model m, std::size_t row) {
  const auto d = typedDistance(m, row) ? typedDistance(m, row) : distanceBefore(m, row);
  return d ? metresText(*d) : std::string();
}
std::string distanceTyped(Model m, std::size_t row) {
  const auto typed = typedDistance(m, row);
  return typed ? exactText(*typed) : std::string();
}
// A distance places the point; blank places it by its coordinates again,
// where the distance put it.
Taken<RouteChange> applyDistance(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed))
    return changePoint(m, row, [&](auto& p) { unplace(m, row, p); });
  return taking(readCellNumber(typed), [&](double value) {
    return changePoint(m, row, [&](auto& p) {
      if constexpr (requires { p.distance; }) {
        p.distance = value;
        p.x = p.y = 0; // not used, and not saved
      }
    });
  });
}
template <double route::Curve::*Field> std::string curveLength(Model m, std::size_t row) {
  const auto r = computedJd(m, row);
  return r && r->curve.curved ? metresText(r->curve.*Field) : std::string();
}
template <double route::MainPoints::*Point> std::string mainPoint(Model m, std::size_t row) {
  const auto r = computedJd(m, row);
  return r && r->curve.curved ? stationOf(m.route(), r->mainPoints.*Point) : std::string();
}

// A table of one list of the definition (the chain breaks, the grade
// points): its rows, their typed fields as cells, and the change that edits
// a copy of a row and sets the whole list again.
template <auto List, auto SetList> struct ListRows {
  using Row =
      typename std::remove_reference_t<decltype(route::RouteDefinition().*List)>::value_type;

  static std::size_t count(Model m) { return (m.definition().*List).size(); }
  static const Row& row(Model m, std::size_t i) { return (m.definition().*List)[i]; }
  template <class Edit> static RouteChange change(Model m, std::size_t i, Edit edit) {
    auto rows = m.definition().*List;
    edit(rows.at(i));
    return [rows = std::move(rows)](route::Route& r) { (r.*SetList)(rows); };
  }

  static std::string name(Model m, std::size_t i) { return row(m, i).name; }
  static Taken<RouteChange> applyName(Model m, std::size_t i, std::string_view typed) {
    // NOLINTNEXTLINE(performance-unnecessary-value-param): moved into the row
    return taking(readCellName(typed), [&](std::string name) {
      return change(m, i, [&](Row& r) { r.name = std::move(name); });
    });
  }
  template <double Row::*Field> static std::string chainage(Model m, std::size_t i) {
    return chainageText(row(m, i).*Field);
  }
  template <double Row::*Field> static std::string metres(Model m, std::size_t i) {
    return metresText(row(m, i).*Field);
  }
  // What the editor starts from: the number in full.
  template <double Row::*Field> static std::string exact(Model m, std::size_t i) {
    return exactText(row(m, i).*Field);
  }
  template <double Row::*Field>
  static Taken<RouteChange> applyChainage(Model m, std::size_t i, std::string_view typed) {
    return taking(readCellChainage(typed),
                  [&](double value) { return change(m, i, [&](Row& r) { r.*Field = value; }); });
  }
  template <double Row::*Field>
  static Taken<RouteChange> applyNumber(Model m, std::size_t i, std::string_view typed) {
    return taking(readCellNumber(typed),
                  [&](double value) { return change(m, i, [&](Row& r) { r.*Field = value; }); });
  }
};

using Breaks = ListRows<&route::RouteDefinition::breaks, &route::Route::setBreaks>;
using Stations = ListRows<&route::RouteDefinition::stations, &route::Route::setStations>;
using StationRow = route::StationRow;

// A station's elevation or instrument height: empty where not known.
template <std::optional<double> StationRow::*Field>
std::string stationHeight(Model m, std::size_t i) {
  const auto v = Stations::row(m, i).*Field;
  return v ? metresText(*v) : std::string();
}
template <std::optional<double> StationRow::*Field>
std::string stationHeightTyped(Model m, std::size_t i) {
  const auto v = Stations::row(m, i).*Field;
  return v ? exactText(*v) : std::string();
}
template <std::optional<double> StationRow::*Field>
Taken<RouteChange> applyStationHeight(Model m, std::size_t i, std::string_view typed) {
  if (isBlankCell(typed))
    return Stations::change(m, i, [](StationRow& r) { r.*Field = std::nullopt; });
  return taking(readCellNumber(typed), [&](double value) {
    return Stations::change(m, i, [&](StationRow& r) { r.*Field = value; });
  });
}
std::string backsightName(Model m, std::size_t i) { return Stations::row(m, i).backsightName; }
Taken<RouteChange> applyBacksightName(Model m, std::size_t i, std::string_view typed) {
  return taking(readCellName(typed), [&](std::string name) {
    return Stations::change(m, i, [&](StationRow& r) { r.backsightName = std::move(name); });
  });
}
std::string inUse(Model m, std::size_t i) { return Stations::row(m, i).inUse ? "在用" : ""; }
using GradePoints = ListRows<&route::RouteDefinition::gradePoints, &route::Route::setGradePoints>;

// Ahead before behind: a long break, whose chainages occur twice.
std::string breakKind(Model m, std::size_t row) {
  const double gap = Breaks::row(m, row).ahead - Breaks::row(m, row).behind;
  if (gap == 0)
    return "无";
  return (gap < 0 ? "长链 " : "短链 ") + metresText(std::fabs(gap));
}

// The grade from the point on to the next, and the curve at the point: both
// lists are in the order of the points.
const GradeSegment* gradeFrom(Model m, std::size_t row) {
  const auto& grades = m.profile().grades();
  const auto it = std::ranges::lower_bound(grades, row, {}, &GradeSegment::from);
  return it != grades.end() && it->from == row ? &*it : nullptr;
}
const VerticalCurve* curveAt(Model m, std::size_t row) {
  const auto& curves = m.profile().curves();
  const auto it = std::ranges::lower_bound(curves, row, {}, &VerticalCurve::point);
  return it != curves.end() && it->point == row ? &*it : nullptr;
}
std::string grade(Model m, std::size_t row) {
  const GradeSegment* s = gradeFrom(m, row);
  return s ? percentText(s->grade) : std::string();
}
std::string gradeLength(Model m, std::size_t row) {
  const GradeSegment* s = gradeFrom(m, row);
  return s ? metresText(s->length) : std::string();
}
std::string gradeChange(Model m, std::size_t row) {
  const VerticalCurve* c = curveAt(m, row);
  return c ? percentText(c->gradeChange) : std::string();
}
std::string curveShape(Model m, std::size_t row) {
  const VerticalCurve* c = curveAt(m, row);
  return c ? (c->shape == CurveShape::Crest ? "凸" : "凹") : std::string();
}
template <double VerticalCurve::*Field> std::string verticalLength(Model m, std::size_t row) {
  const VerticalCurve* c = curveAt(m, row);
  return c ? metresText(c->*Field) : std::string();
}
template <double VerticalCurve::*End> std::string verticalEnd(Model m, std::size_t row) {
  const VerticalCurve* c = curveAt(m, row);
  return c ? stationOf(m.route(), c->*End) : std::string();
}

constexpr std::string_view kStationSample = "K00+000.000";

} // namespace

bool isEditable(const RouteColumn& column, const RouteModel& model, std::size_t row) {
  return column.apply && column.editable && column.editable(model, row);
}

std::string editTextOf(const RouteColumn& column, const RouteModel& model, std::size_t row) {
  return column.editText ? column.editText(model, row) : column.text(model, row);
}

const RouteTable& jdTable() {
  using C = route::Curve;
  using P = route::MainPoints;
  static const RouteTable table{
      &jdRows,
      {
          {"名称", "", "JD000", &pointName, &everyRow, nullptr, &applyPointName},
          {"X", "", "3456789.1234", &pointCoordinate<North>, &everyRow,
           &pointCoordinateTyped<North>, &applyPointCoordinate<North>},
          {"Y", "", "3456789.1234", &pointCoordinate<East>, &everyRow, &pointCoordinateTyped<East>,
           &applyPointCoordinate<East>},
          {"R", "", "12000", &jdNumber<&Jd::radius>, &isJdRow, nullptr,
           &applyJdNumber<&Jd::radius>},
          {"Ls", "", "120.5", &jdNumber<&Jd::ls1>, &isJdRow, nullptr, &applyJdNumber<&Jd::ls1>},
          {"ls2", "第二缓和曲线长；空白：等于 Ls", "120.5", &secondTransition, &isJdRow, nullptr,
           &applySecondTransition},
          {"桩号",
           "交点桩号（计算值）；起点 BP 的桩号可改；在交点和终点行输入设计表的桩号，与计算值相差 1 "
           "mm "
           "以上时在“检查”列注明，空白取消",
           "K00+000.000 (2)", &pointChainage, &everyRow, &chainageTyped, &applyChainage},
          {"转角",
           "转角，右转为正：由坐标算得；可输入（如 25°30′15.2″ 右、25-30-15.2 左、-25.30152），"
           "与坐标相差 1″ 以上时在“检查”列注明；下一点按间距定位时由它定出方向；空白取消",
           "-000°00′00.0″ 右", &deflection, &isJdRow, &deflectionTyped, &applyDeflection},
          {"交点间距",
           "与前一交点（或起点）的距离；在交点或终点行输入时，该点按前一交点输入的转角和此距离定位"
           "，"
           "X、Y 由此算出；空白恢复按坐标定位",
           "00000.000", &distance, &isJdOrEndRow, &distanceTyped, &applyDistance},
          {"T1", "", "00000.000", &curveLength<&C::tangent1>},
          {"T2", "", "00000.000", &curveLength<&C::tangent2>},
          {"L", "", "00000.000", &curveLength<&C::length>},
          {"E", "", "0000.000", &curveLength<&C::external>},
          {"ZH", "", kStationSample, &mainPoint<&P::zh>},
          {"HY", "", kStationSample, &mainPoint<&P::hy>},
          {"QZ", "", kStationSample, &mainPoint<&P::qz>},
          {"YH", "", kStationSample, &mainPoint<&P::yh>},
          {"HZ", "", kStationSample, &mainPoint<&P::hz>},
      }};
  return table;
}

const RouteTable& breakTable() {
  using B = Breaks;
  using Row = route::ChainBreak;
  static const RouteTable table{
      &B::count,
      {
          {"名称", "", "DL000", &B::name, &everyRow, nullptr, &B::applyName},
          {"断链前桩号", "", kStationSample, &B::chainage<&Row::behind>, &everyRow,
           &B::exact<&Row::behind>, &B::applyChainage<&Row::behind>},
          {"断链后桩号", "", kStationSample, &B::chainage<&Row::ahead>, &everyRow,
           &B::exact<&Row::ahead>, &B::applyChainage<&Row::ahead>},
          {"长短链", "", "短链 0000.000", &breakKind},
      }};
  return table;
}

const RouteTable& gradeTable() {
  using G = GradePoints;
  using Row = route::GradePointRow;
  using V = VerticalCurve;
  static const RouteTable table{
      &G::count,
      {
          {"名称", "", "SJD000", &G::name, &everyRow, nullptr, &G::applyName},
          {"桩号", "", kStationSample, &G::chainage<&Row::chainage>, &everyRow,
           &G::exact<&Row::chainage>, &G::applyChainage<&Row::chainage>},
          {"高程", "", "0000.000", &G::metres<&Row::elevation>, &everyRow,
           &G::exact<&Row::elevation>, &G::applyNumber<&Row::elevation>},
          {"竖曲线半径", "竖曲线半径；0：不设竖曲线", "竖曲线半径", &G::exact<&Row::verticalRadius>,
           &everyRow, nullptr, &G::applyNumber<&Row::verticalRadius>},
          {"坡度%", "到下一变坡点的坡度，百分数", "-00.000", &grade},
          {"坡长", "", "00000.000", &gradeLength},
          {"ω%", "坡差 ω = i2 − i1，百分数", "-00.000", &gradeChange},
          {"凸凹", "", "凸凹", &curveShape},
          {"T", "", "00000.000", &verticalLength<&V::tangent>},
          {"E", "", "0000.000", &verticalLength<&V::external>},
          {"L", "", "00000.000", &verticalLength<&V::length>},
          {"起点桩号", "", kStationSample, &verticalEnd<&V::start>},
          {"终点桩号", "", kStationSample, &verticalEnd<&V::end>},
      }};
  return table;
}

const RouteTable& stationTable() {
  using S = Stations;
  using Row = route::StationRow;
  static const RouteTable table{
      &S::count,
      {
          {"名称", "", "T000", &S::name, &everyRow, nullptr, &S::applyName},
          {"X", "测站 X", "3456789.1234", &S::metres<&Row::x>, &everyRow, &S::exact<&Row::x>,
           &S::applyNumber<&Row::x>},
          {"Y", "测站 Y", "3456789.1234", &S::metres<&Row::y>, &everyRow, &S::exact<&Row::y>,
           &S::applyNumber<&Row::y>},
          {"高程", "测站高程；空白：未知", "0000.000", &stationHeight<&Row::elevation>, &everyRow,
           &stationHeightTyped<&Row::elevation>, &applyStationHeight<&Row::elevation>},
          {"仪器高", "空白：未知", "仪器高", &stationHeight<&Row::instrumentHeight>, &everyRow,
           &stationHeightTyped<&Row::instrumentHeight>,
           &applyStationHeight<&Row::instrumentHeight>},
          {"后视", "后视点名", "JD000", &backsightName, &everyRow, nullptr, &applyBacksightName},
          {"后视X", "", "3456789.1234", &S::metres<&Row::backsightX>, &everyRow,
           &S::exact<&Row::backsightX>, &S::applyNumber<&Row::backsightX>},
          {"后视Y", "", "3456789.1234", &S::metres<&Row::backsightY>, &everyRow,
           &S::exact<&Row::backsightY>, &S::applyNumber<&Row::backsightY>},
          {"在用", "放样表和放样单从在用的测站放样（“用此测站”）", "在用", &inUse},
      }};
  return table;
}

std::optional<std::size_t> columnOf(const RouteTable& table, std::string_view heading) {
  const auto it = std::ranges::find(table.columns, heading, &RouteColumn::heading);
  return it == table.columns.end() ? std::nullopt
                                   : std::optional(std::size_t(it - table.columns.begin()));
}

std::optional<std::size_t> jdOfRow(const route::RouteDefinition& definition, std::size_t row) {
  if (row < 1 || row > definition.jds.size())
    return std::nullopt;
  return row - 1;
}

std::optional<std::size_t> jdRowOfCheck(const route::Check& check,
                                        const route::RouteDefinition& definition) {
  if (check.chainBreak >= 0)
    return std::nullopt;
  if (check.jd >= 0)
    return rowOfJd(std::size_t(check.jd));
  if (check.message.rfind("BP", 0) == 0)
    return 0;
  return definition.jds.size() + 1;
}

std::optional<std::size_t> breakRowOfCheck(const route::Check& check,
                                           const route::RouteDefinition& definition) {
  if (check.chainBreak < 0 || std::size_t(check.chainBreak) >= definition.breaks.size())
    return std::nullopt;
  return std::size_t(check.chainBreak);
}

} // namespace quenlor

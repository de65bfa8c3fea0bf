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
bool isStartRow(Model, std::size_t row) { return row == 0; }

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
template <class Axis> std::string pointCoordinate(Model m, std::size_t row) {
  return withPoint(m.definition(), row, [](const auto& p) { return exactText(Axis::of(p)); });
}
Taken<RouteChange> applyPointName(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellName(typed), [&](std::string name) {
    return changePoint(m, row, [&](auto& p) { p.name = std::move(name); });
  });
}
template <class Axis>
Taken<RouteChange> applyPointCoordinate(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double value) {
    return changePoint(m, row, [&](auto& p) { Axis::of(p) = value; });
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
std::string startChainageTyped(Model m, std::size_t row) {
  return row == 0 ? exactText(m.definition().start.chainage) : pointChainage(m, row);
}
Taken<RouteChange> applyStartChainage(Model m, std::size_t, std::string_view typed) {
  return taking(readCellChainage(typed), [&](double chainage) {
    route::StartPoint bp = m.definition().start;
    bp.chainage = chainage;
    return [bp](route::Route& r) { r.setStart(bp); };
  });
}

std::string deflection(Model m, std::size_t row) {
  const auto r = computedJd(m, row);
  return r ? deflectionText(r->curve.deflection) : std::string();
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
          {"X", "", "3456789.1234", &pointCoordinate<North>, &everyRow, nullptr,
           &applyPointCoordinate<North>},
          {"Y", "", "3456789.1234", &pointCoordinate<East>, &everyRow, nullptr,
           &applyPointCoordinate<East>},
          {"R", "", "12000", &jdNumber<&Jd::radius>, &isJdRow, nullptr,
           &applyJdNumber<&Jd::radius>},
          {"Ls", "", "120.5", &jdNumber<&Jd::ls1>, &isJdRow, nullptr, &applyJdNumber<&Jd::ls1>},
          {"ls2", "第二缓和曲线长；空白：等于 Ls", "120.5", &secondTransition, &isJdRow, nullptr,
           &applySecondTransition},
          {"桩号", "交点桩号；起点 BP 的桩号可改", "K00+000.000 (2)", &pointChainage, &isStartRow,
           &startChainageTyped, &applyStartChainage},
          {"转角", "转角，右转为正", "-000°00′00.0″ 右", &deflection},
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

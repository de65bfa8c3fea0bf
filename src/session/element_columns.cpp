// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/element_columns.h"

#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "session/element_edits.h"

#include <cstdio>

namespace quenlor {
namespace {

using Model = const RouteModel&;
using route::ElementRow;

// Azimuths to a tenth of a second, as the JD table shows deflections.
constexpr int kAzimuthDecimals = 1;

std::string metresText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

template <class T, class Make> Taken<RouteChange> taking(const Taken<T>& read, Make make) {
  if (const auto* refused = std::get_if<CellRefusal>(&read))
    return *refused;
  return RouteChange(make(std::get<T>(read)));
}

std::size_t rows(Model m) { return m.definition().elements.size() + 2; }
bool everyRow(Model, std::size_t) { return true; }
bool isStartRow(Model, std::size_t row) { return row == 0; }
bool isElementRow(Model m, std::size_t row) {
  return elementOfRow(m.definition(), row).has_value();
}
bool isEndRow(Model m, std::size_t row) { return row + 1 == rows(m); }

const ElementRow* elementAt(Model m, std::size_t row) {
  const auto k = elementOfRow(m.definition(), row);
  return k ? &m.definition().elements[*k] : nullptr;
}

// The change that edits a copy of the row's element.
template <class Edit> RouteChange changeElement(Model m, std::size_t row, Edit edit) {
  const std::size_t k = *elementOfRow(m.definition(), row);
  ElementRow e = m.definition().elements[k];
  edit(e);
  return [e, k](route::Route& r) { r.replaceElement(k, e); };
}

// The change that edits a copy of BP.
template <class Edit> RouteChange changeStart(Model m, Edit edit) {
  route::StartPoint bp = m.definition().start;
  edit(bp);
  return [bp](route::Route& r) { r.setStart(bp); };
}

// Names: BP's, an element's, EP's.
std::string name(Model m, std::size_t row) {
  const route::RouteDefinition& d = m.definition();
  if (row == 0)
    return d.start.name;
  if (const ElementRow* e = elementAt(m, row))
    return e->name;
  return d.end.name;
}
Taken<RouteChange> applyName(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellName(typed), [&](std::string text) -> RouteChange {
    if (row == 0)
      return changeStart(m, [&](route::StartPoint& bp) { bp.name = text; });
    if (isElementRow(m, row))
      return changeElement(m, row, [&](ElementRow& e) { e.name = text; });
    route::EndPoint ep = m.definition().end;
    ep.name = text;
    return [ep](route::Route& r) { r.setEnd(ep); };
  });
}

// An element's typed fields.
std::string kind(Model m, std::size_t row) {
  const ElementRow* e = elementAt(m, row);
  return e ? std::string(elementKindText(e->kind)) : std::string();
}
Taken<RouteChange> applyKind(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellElementKind(typed), [&](route::ElementKind k) {
    return changeElement(m, row, [&](ElementRow& e) { e.kind = k; });
  });
}
template <double ElementRow::*Field> std::string radius(Model m, std::size_t row) {
  const ElementRow* e = elementAt(m, row);
  return e ? radiusText(e->*Field) : std::string();
}
template <double ElementRow::*Field>
Taken<RouteChange> applyRadius(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellRadius(typed), [&](double r) {
    return changeElement(m, row, [&](ElementRow& e) { e.*Field = r; });
  });
}
std::string length(Model m, std::size_t row) {
  const ElementRow* e = elementAt(m, row);
  return e ? exactText(e->length) : std::string();
}
Taken<RouteChange> applyLength(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double l) {
    return changeElement(m, row, [&](ElementRow& e) { e.length = l; });
  });
}
std::string turn(Model m, std::size_t row) {
  const ElementRow* e = elementAt(m, row);
  return e ? std::string(turnText(e->turn)) : std::string();
}
Taken<RouteChange> applyTurn(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellTurn(typed), [&](route::Turn t) {
    return changeElement(m, row, [&](ElementRow& e) { e.turn = t; });
  });
}

// The start a row gives: blank for none.
template <std::optional<double> ElementRow::*Axis> std::string given(Model m, std::size_t row) {
  const ElementRow* e = elementAt(m, row);
  return e && e->*Axis ? exactText(*(e->*Axis)) : std::string();
}
template <std::optional<double> ElementRow::*Axis>
Taken<RouteChange> applyGiven(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed))
    return changeElement(m, row, [](ElementRow& e) { (e.*Axis).reset(); });
  return taking(readCellNumber(typed), [&](double v) {
    return changeElement(m, row, [&](ElementRow& e) { e.*Axis = v; });
  });
}

// Where each row starts as the chain puts it: BP's typed, an element's
// computed, EP's where the last element ends. Nothing without geometry.
std::optional<CentrePoint> chained(Model m, std::size_t row) {
  const route::Route& r = m.route();
  if (!r.hasGeometry())
    return std::nullopt;
  if (isEndRow(m, row))
    return r.pointAt(r.length());
  const route::Element e = r.element(row == 0 ? 0 : row - 1);
  return r.pointAt(e.start);
}

std::string startChainage(Model m, std::size_t row) {
  if (row == 0)
    return chainageText(m.definition().start.chainage);
  const route::Route& r = m.route();
  if (!r.hasGeometry())
    return {};
  const double measure = isEndRow(m, row) ? r.length() : r.element(row - 1).start;
  return route::stationText(r.stationAt(measure));
}
std::string startChainageTyped(Model m, std::size_t row) {
  return row == 0 ? exactText(m.definition().start.chainage) : startChainage(m, row);
}
Taken<RouteChange> applyStartChainage(Model m, std::size_t, std::string_view typed) {
  return taking(readCellChainage(typed), [&](double c) {
    return changeStart(m, [&](route::StartPoint& bp) { bp.chainage = c; });
  });
}

template <double PlanePoint::*Axis, double route::StartPoint::*Typed>
std::string startCoordinate(Model m, std::size_t row) {
  if (row == 0)
    return exactText(m.definition().start.*Typed);
  const auto at = chained(m, row);
  return at ? metresText(at->point.*Axis) : std::string();
}
template <double route::StartPoint::*Typed>
Taken<RouteChange> applyStartCoordinate(Model m, std::size_t, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double v) {
    return changeStart(m, [&](route::StartPoint& bp) { bp.*Typed = v; });
  });
}

std::string startAzimuth(Model m, std::size_t row) {
  if (row == 0)
    return dmsText(m.definition().start.azimuth, kAzimuthDecimals);
  const auto at = chained(m, row);
  return at ? dmsText(route::reducedAzimuth(at->azimuth), kAzimuthDecimals) : std::string();
}
std::string startAzimuthTyped(Model m, std::size_t row) {
  return row == 0 ? packedAzimuthText(m.definition().start.azimuth) : startAzimuth(m, row);
}
Taken<RouteChange> applyStartAzimuth(Model m, std::size_t, std::string_view typed) {
  return taking(readCellAzimuth(typed), [&](double a) {
    return changeStart(m, [&](route::StartPoint& bp) { bp.azimuth = a; });
  });
}

// How far the start a row gives lies from the chained one.
std::string gap(Model m, std::size_t row) {
  const auto k = elementOfRow(m.definition(), row);
  const auto g = k && m.route().hasGeometry() ? m.route().startGap(*k) : std::nullopt;
  return g ? metresText(*g) : std::string();
}

constexpr std::string_view kStationSample = "K00+000.000 (2)";
constexpr std::string_view kCoordinateSample = "3456789.1234";

} // namespace

const RouteTable& elementsTable() {
  using route::ElementRow;
  using route::StartPoint;
  static const RouteTable table{
      &rows,
      {
          {"名称", "", "JD000 HY", &name, &everyRow, nullptr, &applyName},
          {"类型", "直线、圆曲线或缓和曲线", "缓和曲线", &kind, &isElementRow, nullptr, &applyKind},
          {"起点半径", "空白：无穷大（直线端）", "12000.5", &radius<&ElementRow::startRadius>,
           &isElementRow, nullptr, &applyRadius<&ElementRow::startRadius>},
          {"终点半径", "空白：无穷大（直线端）", "12000.5", &radius<&ElementRow::endRadius>,
           &isElementRow, nullptr, &applyRadius<&ElementRow::endRadius>},
          {"长度", "", "12000.5", &length, &isElementRow, nullptr, &applyLength},
          {"转向", "左或右", "转向", &turn, &isElementRow, nullptr, &applyTurn},
          {"起点桩号", "各线元起点的桩号；起点 BP 的桩号可改", kStationSample, &startChainage,
           &isStartRow, &startChainageTyped, &applyStartChainage},
          {"起点X", "各线元起点的坐标；起点 BP 的可改；终点行：最后线元的终点", kCoordinateSample,
           &startCoordinate<&PlanePoint::x, &StartPoint::x>, &isStartRow, nullptr,
           &applyStartCoordinate<&StartPoint::x>},
          {"起点Y", "各线元起点的坐标；起点 BP 的可改；终点行：最后线元的终点", kCoordinateSample,
           &startCoordinate<&PlanePoint::y, &StartPoint::y>, &isStartRow, nullptr,
           &applyStartCoordinate<&StartPoint::y>},
          {"起点方位角", "起点 BP 的方位角可改，写成度.分秒（30.152055）", "000°00′00.0″",
           &startAzimuth, &isStartRow, &startAzimuthTyped, &applyStartAzimuth},
          {"已知X", "线元起点的已知坐标，检核用；空白：不检核", kCoordinateSample,
           &given<&ElementRow::x>, &isElementRow, nullptr, &applyGiven<&ElementRow::x>},
          {"已知Y", "线元起点的已知坐标，检核用；空白：不检核", kCoordinateSample,
           &given<&ElementRow::y>, &isElementRow, nullptr, &applyGiven<&ElementRow::y>},
          {"差距", "已知起点与推算起点的距离（米）", "0000.000", &gap},
      }};
  return table;
}

std::optional<std::size_t> elementOfRow(const route::RouteDefinition& definition, std::size_t row) {
  if (row < 1 || row > definition.elements.size())
    return std::nullopt;
  return row - 1;
}

std::optional<std::size_t> elementRowOfCheck(const route::Check& check,
                                             const route::RouteDefinition& definition) {
  if (check.chainBreak >= 0)
    return std::nullopt;
  if (check.element >= 0)
    return rowOfElement(std::size_t(check.element));
  if (check.message.rfind("BP", 0) == 0)
    return 0;
  return definition.elements.size() + 1;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The cross section's tables of the route panel (route_columns.h): the
// template, the curves' superelevation and widening, the station table.
#include "numeric/chainage_text.h"
#include "session/route_columns.h"
#include "session/section_edits.h"

#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

using Model = const RouteModel&;
using section::Side;

std::string fixedText(double value, int decimals) {
  if (!std::isfinite(value))
    return {};
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}
std::string metresText(double value) { return fixedText(value, 3); }
// Falls to the hundredth of a per cent, signed.
std::string fallText(double value) { return fixedText(value, 2); }

std::string stationOf(Model m, double measure) {
  if (!std::isfinite(measure) || !m.route().hasGeometry())
    return {};
  return route::stationText(m.route().stationAt(measure));
}

template <class T, class Make> Taken<RouteChange> taking(const Taken<T>& read, Make make) {
  if (const auto* refused = std::get_if<CellRefusal>(&read))
    return *refused;
  return RouteChange(make(std::get<T>(read)));
}

bool everyRow(Model, std::size_t) { return true; }

const route::CrossSection& crossOf(Model m) { return m.definition().section; }

// ---- The template.

std::size_t templateRows(Model m) { return partRows(crossOf(m)); }

const section::Part& partAt(Model m, std::size_t row) {
  const PartRow at = partOfRow(crossOf(m), row);
  const auto& road = crossOf(m).road;
  return (at.side == Side::Left ? road.left : road.right)[at.index];
}

// The change that edits a copy of a row's part.
template <class Edit> RouteChange changePart(Model m, std::size_t row, Edit edit) {
  route::CrossSection changed = crossOf(m);
  const PartRow at = partOfRow(changed, row);
  edit((at.side == Side::Left ? changed.road.left : changed.road.right).at(at.index));
  return setCrossSection(std::move(changed));
}

std::string partSide(Model m, std::size_t row) {
  return std::string(sideWord(partOfRow(crossOf(m), row).side));
}
std::string partName(Model m, std::size_t row) { return partAt(m, row).name; }
Taken<RouteChange> applyPartName(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellName(typed), [&](std::string name) {
    return changePart(m, row, [&](section::Part& p) { p.name = std::move(name); });
  });
}
std::string partKind(Model m, std::size_t row) {
  return std::string(partKindWord(partAt(m, row).kind));
}
Taken<RouteChange> applyPartKind(Model m, std::size_t row, std::string_view typed) {
  return taking(readPartKind(typed), [&](section::PartKind kind) {
    return changePart(m, row, [&](section::Part& p) { p.kind = kind; });
  });
}
std::string partWidth(Model m, std::size_t row) { return metresText(partAt(m, row).width); }
std::string partWidthTyped(Model m, std::size_t row) { return exactText(partAt(m, row).width); }
Taken<RouteChange> applyPartWidth(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double width) {
    return changePart(m, row, [&](section::Part& p) { p.width = width; });
  });
}
std::string partFall(Model m, std::size_t row) { return fallText(partAt(m, row).fall); }
std::string partFallTyped(Model m, std::size_t row) { return exactText(partAt(m, row).fall); }
Taken<RouteChange> applyPartFall(Model m, std::size_t row, std::string_view typed) {
  return taking(readTemplateFall(typed), [&](double fall) {
    return changePart(m, row, [&](section::Part& p) { p.fall = fall; });
  });
}

// The part on a straight (the normal crown, no widening), as the section
// uses it; none for a part left out.
std::optional<section::PartSection> normalPart(Model m, std::size_t row) {
  const section::Sections& s = m.sections();
  if (!s.hasTemplate())
    return std::nullopt;
  section::Section normal;
  normal.left.fall = s.layout().left.crown;
  normal.right.fall = s.layout().right.crown;
  const PartRow at = partOfRow(crossOf(m), row);
  for (const section::PartSection& p : s.parts(normal, at.side))
    if (p.part == at.index)
      return p;
  return std::nullopt;
}
std::string partEdge(Model m, std::size_t row) {
  const auto p = normalPart(m, row);
  return p ? metresText(p->to) : std::string();
}
std::string partEdgeRise(Model m, std::size_t row) {
  const auto p = normalPart(m, row);
  return p ? metresText(p->outerRise) : std::string();
}

// ---- The curves: a row a JD, or a row an element of a route by elements
// (typed on its arcs only).

bool byElements(Model m) { return m.definition().method == route::Method::Elements; }
std::size_t curveRows(Model m) {
  return byElements(m) ? m.definition().elements.size() : m.definition().jds.size();
}
bool isCurveRow(Model m, std::size_t row) {
  return !byElements(m) || m.definition().elements[row].kind == route::ElementKind::Arc;
}
const section::CurveSettings& settingsAt(Model m, std::size_t row) {
  return byElements(m) ? m.definition().elements[row].section : m.definition().jds[row].section;
}

template <class Edit> RouteChange changeSettings(Model m, std::size_t row, Edit edit) {
  section::CurveSettings settings = settingsAt(m, row);
  edit(settings);
  if (byElements(m))
    return [settings, row](route::Route& r) { r.setArcSection(row, settings); };
  return [settings, row](route::Route& r) { r.setCurveSection(row, settings); };
}

std::string curveName(Model m, std::size_t row) {
  return byElements(m) ? m.definition().elements[row].name : m.definition().jds[row].name;
}
std::string curveTurn(Model m, std::size_t row) {
  const auto& curves = m.sections().curves();
  if (row >= curves.size() || curves[row].turn == 0)
    return {};
  return curves[row].turn > 0 ? "右" : "左";
}
std::string curveRadius(Model m, std::size_t row) {
  if (!byElements(m))
    return exactText(m.definition().jds[row].radius);
  const route::ElementRow& e = m.definition().elements[row];
  const double r = std::isfinite(e.startRadius) ? e.startRadius : e.endRadius;
  return isCurveRow(m, row) && std::isfinite(r) ? exactText(r) : std::string();
}
// The transitions: a JD's as typed, an arc's as the curve takes them.
std::string curveTransitions(Model m, std::size_t row) {
  if (byElements(m)) {
    const auto& curves = m.sections().curves();
    if (row >= curves.size() || curves[row].turn == 0)
      return {};
    const section::CurveSpan& c = curves[row];
    return metresText(c.hy - c.zh) + "/" + metresText(c.hz - c.yh);
  }
  const route::Jd& jd = m.definition().jds[row];
  return jd.secondTransition() == jd.ls1
             ? exactText(jd.ls1)
             : exactText(jd.ls1) + "/" + exactText(jd.secondTransition());
}
std::string superelevation(Model m, std::size_t row) {
  return isCurveRow(m, row) ? fallText(settingsAt(m, row).superelevation) : std::string();
}
std::string superelevationTyped(Model m, std::size_t row) {
  return exactText(settingsAt(m, row).superelevation);
}
Taken<RouteChange> applySuperelevation(Model m, std::size_t row, std::string_view typed) {
  return taking(readPercent(typed), [&](double value) {
    return changeSettings(m, row, [&](section::CurveSettings& s) { s.superelevation = value; });
  });
}
std::string runoff(Model m, std::size_t row) {
  const auto& r = settingsAt(m, row).runoff;
  return r ? metresText(*r) : std::string();
}
std::string runoffTyped(Model m, std::size_t row) {
  const auto& r = settingsAt(m, row).runoff;
  return r ? exactText(*r) : std::string();
}
// Blank: the transitions' lengths again.
Taken<RouteChange> applyRunoff(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed))
    return changeSettings(m, row, [](section::CurveSettings& s) { s.runoff.reset(); });
  return taking(readCellNumber(typed), [&](double value) {
    return changeSettings(m, row, [&](section::CurveSettings& s) { s.runoff = value; });
  });
}
std::string axis(Model m, std::size_t row) {
  return isCurveRow(m, row) ? std::string(axisWord(settingsAt(m, row).axis)) : std::string();
}
Taken<RouteChange> applyAxis(Model m, std::size_t row, std::string_view typed) {
  return taking(readAxis(typed), [&](section::Axis a) {
    return changeSettings(m, row, [&](section::CurveSettings& s) { s.axis = a; });
  });
}
std::string widening(Model m, std::size_t row) {
  return isCurveRow(m, row) ? metresText(settingsAt(m, row).widening) : std::string();
}
std::string wideningTyped(Model m, std::size_t row) {
  return exactText(settingsAt(m, row).widening);
}
Taken<RouteChange> applyWidening(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double value) {
    return changeSettings(m, row, [&](section::CurveSettings& s) { s.widening = value; });
  });
}
std::string shape(Model m, std::size_t row) {
  return isCurveRow(m, row) ? std::string(shapeWord(settingsAt(m, row).shape)) : std::string();
}
Taken<RouteChange> applyShape(Model m, std::size_t row, std::string_view typed) {
  return taking(readShape(typed), [&](section::WideningShape shape) {
    return changeSettings(m, row, [&](section::CurveSettings& s) { s.shape = shape; });
  });
}

template <double section::Runoffs::*End> std::string runoffEnd(Model m, std::size_t row) {
  const auto r = m.sections().runoffsOf(row);
  return r ? stationOf(m, (*r).*End) : std::string();
}

// 1/p of each runoff (one where both rise alike), as the design writes it.
std::string riseRate(Model m, std::size_t row) {
  const auto r = m.sections().runoffsOf(row);
  const auto rotation = m.sections().rotationOf(row);
  if (!r || !rotation || rotation->full == 0)
    return {};
  const double travel = section::runoffTravel(*rotation);
  const auto rate = [&](double length) {
    return length > 0 && travel > 0 ? "1/" + fixedText(length / travel, 0) : std::string("—");
  };
  const std::string entry = rate(r->entryEnd - r->entryStart);
  const std::string exit = rate(r->exitEnd - r->exitStart);
  return entry == exit ? entry : entry + ", " + exit;
}

// ---- The station table.

std::size_t stationRows(Model m) { return crossOf(m).stations.size(); }
const route::SectionStation& stationAt(Model m, std::size_t row) {
  return crossOf(m).stations[row];
}
template <class Edit> RouteChange changeStation(Model m, std::size_t row, Edit edit) {
  route::CrossSection changed = crossOf(m);
  edit(changed.stations.at(row));
  return setCrossSection(std::move(changed));
}

std::string stationChainage(Model m, std::size_t row) {
  return chainageText(stationAt(m, row).chainage);
}
std::string stationChainageTyped(Model m, std::size_t row) {
  return exactText(stationAt(m, row).chainage);
}
Taken<RouteChange> applyStationChainage(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellChainage(typed), [&](double chainage) {
    return changeStation(m, row, [&](route::SectionStation& r) { r.chainage = chainage; });
  });
}

// An empty fall is the side's normal crown.
constexpr std::string_view kCrownWord = "路拱";
template <std::optional<double> route::SectionStation::*Fall>
std::string stationFall(Model m, std::size_t row) {
  const auto& fall = stationAt(m, row).*Fall;
  return fall ? fallText(*fall) : std::string(kCrownWord);
}
template <std::optional<double> route::SectionStation::*Fall>
std::string stationFallTyped(Model m, std::size_t row) {
  const auto& fall = stationAt(m, row).*Fall;
  return fall ? exactText(*fall) : std::string();
}
template <std::optional<double> route::SectionStation::*Fall>
Taken<RouteChange> applyStationFall(Model m, std::size_t row, std::string_view typed) {
  if (isBlankCell(typed) || readCellName(typed) == Taken<std::string>(std::string(kCrownWord)))
    return changeStation(m, row, [](route::SectionStation& r) { (r.*Fall).reset(); });
  return taking(readSignedFall(typed), [&](double fall) {
    return changeStation(m, row, [&](route::SectionStation& r) { r.*Fall = fall; });
  });
}
template <double route::SectionStation::*Widening>
std::string stationWidening(Model m, std::size_t row) {
  return metresText(stationAt(m, row).*Widening);
}
template <double route::SectionStation::*Widening>
std::string stationWideningTyped(Model m, std::size_t row) {
  return exactText(stationAt(m, row).*Widening);
}
template <double route::SectionStation::*Widening>
Taken<RouteChange> applyStationWidening(Model m, std::size_t row, std::string_view typed) {
  return taking(readCellNumber(typed), [&](double value) {
    return changeStation(m, row, [&](route::SectionStation& r) { r.*Widening = value; });
  });
}

// The section at a row, where its chainage names a point of the route.
std::optional<section::Section> stationSection(Model m, std::size_t row) {
  const auto& rows = m.sections().table().rows;
  if (row >= rows.size())
    return std::nullopt;
  return m.sections().at(rows[row].measure);
}
template <Side S> std::string stationWidth(Model m, std::size_t row) {
  const auto s = stationSection(m, row);
  return s ? metresText(s->side(S).width) : std::string();
}
template <Side S> std::string stationEdge(Model m, std::size_t row) {
  const auto s = stationSection(m, row);
  const auto level = s ? m.profile().at(s->measure) : std::nullopt;
  return level ? metresText(level->elevation + s->side(S).edgeRise) : std::string();
}

constexpr std::string_view kStationSample = "K00+000.000";
constexpr std::string_view kFallSample = "-00.00";

} // namespace

const RouteTable& templateTable() {
  static const RouteTable table{
      &templateRows,
      {
          {"侧", "中线左侧或右侧；各侧由中线向外排列", "侧", &partSide},
          {"名称", "", "行车道(外)", &partName, &everyRow, nullptr, &applyPartName},
          {"类型", "行车道、硬路肩或土路肩", "土路肩", &partKind, &everyRow, nullptr,
           &applyPartKind},
          {"宽度", "", "000.000", &partWidth, &everyRow, &partWidthTyped, &applyPartWidth},
          {"横坡%",
           "正常横坡，百分数；负值：由中线向路边下降（正常路拱 −2）。设计表的路拱“2%”可照写，"
           "按向路边下降读入；不带 % 的数按正负号读入",
           kFallSample, &partFall, &everyRow, &partFallTyped, &applyPartFall},
          {"外缘距中线", "直线段上此部分外缘到中线的距离", "00.000", &partEdge},
          {"外缘高差", "直线段上此部分外缘比设计高程高（负：低）多少", "-0.000", &partEdgeRise},
      }};
  return table;
}

const RouteTable& curveSectionTable() {
  using R = section::Runoffs;
  static const RouteTable table{
      &curveRows,
      {
          {"曲线", "交点，或线元法路线的圆曲线元素", "JD000", &curveName},
          {"转向", "", "转向", &curveTurn},
          {"R", "", "12000", &curveRadius},
          {"Ls", "缓和曲线长（两端不等时 ls1/ls2）", "120/100", &curveTransitions},
          {"超高%", "全超高 i_h，百分数：弯道外侧向路边上升 i_h，内侧下降 i_h；0：不设超高",
           kFallSample, &superelevation, &isCurveRow, &superelevationTyped, &applySuperelevation},
          {"过渡段长", "超高、加宽过渡段每端长；空白：等于缓和曲线长", "000.000", &runoff,
           &isCurveRow, &runoffTyped, &applyRunoff},
          {"旋转轴", "绕中线、绕内边线或绕外边线旋转", "绕内边线", &axis, &isCurveRow, nullptr,
           &applyAxis},
          {"加宽", "弯道内侧的全加宽 b，米；0：不加宽", "00.000", &widening, &isCurveRow,
           &wideningTyped, &applyWidening},
          {"加宽方式", "线性或高次抛物线（4k³ − 3k⁴）", "加宽方式", &shape, &isCurveRow, nullptr,
           &applyShape},
          {"超高起点", "正常路拱开始变化处", kStationSample, &runoffEnd<&R::entryStart>},
          {"全超高起点", "", kStationSample, &runoffEnd<&R::entryEnd>},
          {"全超高终点", "", kStationSample, &runoffEnd<&R::exitStart>},
          {"超高终点", "恢复正常路拱处", kStationSample, &runoffEnd<&R::exitEnd>},
          {"渐变率", "超高渐变率 1/p：离旋转轴最远的路边相对旋转轴的升降与过渡段长之比",
           "1/0000, 1/0000", &riseRate},
      }};
  return table;
}

const RouteTable& wideningTable() {
  using S = route::SectionStation;
  static const RouteTable table{
      &stationRows,
      {
          {"桩号", "", kStationSample, &stationChainage, &everyRow, &stationChainageTyped,
           &applyStationChainage},
          {"左横坡%", "行车道横坡，百分数；负值：由中线向路边下降；空白：正常路拱", kFallSample,
           &stationFall<&S::leftFall>, &everyRow, &stationFallTyped<&S::leftFall>,
           &applyStationFall<&S::leftFall>},
          {"右横坡%", "行车道横坡，百分数；负值：由中线向路边下降；空白：正常路拱", kFallSample,
           &stationFall<&S::rightFall>, &everyRow, &stationFallTyped<&S::rightFall>,
           &applyStationFall<&S::rightFall>},
          {"左加宽", "", "00.000", &stationWidening<&S::leftWidening>, &everyRow,
           &stationWideningTyped<&S::leftWidening>, &applyStationWidening<&S::leftWidening>},
          {"右加宽", "", "00.000", &stationWidening<&S::rightWidening>, &everyRow,
           &stationWideningTyped<&S::rightWidening>, &applyStationWidening<&S::rightWidening>},
          {"左宽", "中线到左侧路基边缘，含加宽", "00.000", &stationWidth<Side::Left>},
          {"右宽", "中线到右侧路基边缘，含加宽", "00.000", &stationWidth<Side::Right>},
          {"左边缘高程", "左侧路基边缘的设计高程", "0000.000", &stationEdge<Side::Left>},
          {"右边缘高程", "右侧路基边缘的设计高程", "0000.000", &stationEdge<Side::Right>},
      }};
  return table;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/section_words.h"

#include "numeric/chainage_text.h"
#include "session/section_edits.h"

#include <cstdio>

namespace quenlor {
namespace {

using section::CheckKind;
using section::PartFault;

bool chinese(Words w) { return w == Words::Chinese; }

std::string amountText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

// A curve: its JD, or its arc element in a route by elements.
std::string jdName(const route::RouteDefinition& d, std::size_t curve, Words w) {
  if (d.method == route::Method::Elements) {
    if (curve < d.elements.size() && !d.elements[curve].name.empty())
      return d.elements[curve].name;
    return chinese(w) ? "第" + std::to_string(curve + 1) + "个线元"
                      : "element #" + std::to_string(curve + 1);
  }
  if (curve < d.jds.size() && !d.jds[curve].name.empty())
    return d.jds[curve].name;
  return chinese(w) ? "第" + std::to_string(curve + 1) + "个交点"
                    : "JD #" + std::to_string(curve + 1);
}

std::string stationName(const route::RouteDefinition& d, std::size_t row, Words w) {
  const std::string chainage =
      row < d.section.stations.size() ? chainageText(d.section.stations[row].chainage) : "";
  return (chinese(w) ? "超高加宽表第" + std::to_string(row + 1) + "行 "
                     : "station row " + std::to_string(row + 1) + " ") +
         chainage;
}

std::string partName(const route::RouteDefinition& d, const section::PartCheck& p, Words w) {
  const auto& parts = p.side == section::Side::Left ? d.section.road.left : d.section.road.right;
  const std::string name = p.part < parts.size() ? parts[p.part].name : std::string();
  if (chinese(w))
    return (p.side == section::Side::Left ? "左侧第" : "右侧第") + std::to_string(p.part + 1) +
           "部分" + (name.empty() ? "" : "（" + name + "）");
  return std::string(p.side == section::Side::Left ? "left" : "right") + " part " +
         std::to_string(p.part + 1) + (name.empty() ? "" : " (" + name + ")");
}

std::string partWhat(const section::PartCheck& p, Words w) {
  const std::string amount = amountText(p.amount);
  switch (p.fault) {
  case PartFault::Unusable:
    return chinese(w) ? "宽度或横坡不可用（宽度须大于 0），未用"
                      : "its width or fall is not usable (a width above 0), left out";
  case PartFault::OutOfOrder:
    return chinese(w) ? "在外侧一类部分之外（由中线向外依次为行车道、硬路肩、土路肩），按土路肩计"
                      : "it stands beyond a part of a later kind (lanes, hard shoulders, soil "
                        "shoulders outwards), taken as a soil shoulder";
  case PartFault::FallUnlikeLanes:
    return chinese(w) ? "横坡与行车道路拱相差 " + amount + "%，不在行车道平面内，按土路肩计"
                      : "its fall differs from the lanes' crown by " + amount +
                            " %: not in their plane, taken as a soil shoulder";
  case PartFault::FlatterThanLanes:
    return chinese(w) ? "比行车道路拱平缓 " + amount + "%，在弯道内侧改取行车道横坡"
                      : "flatter than the lanes' crown by " + amount +
                            " %: on the inside of a curve it takes the lanes' fall";
  }
  return {};
}

std::string curveWhat(const section::Check& c, const route::Route& route, Words w) {
  const route::RouteDefinition& d = route.definition();
  const std::string amount = amountText(c.amount);
  switch (c.kind) {
  case CheckKind::MainPointsUnusable:
    return chinese(w) ? "曲线主点不可用，不设超高加宽"
                      : "its main points are not usable: no superelevation or widening";
  case CheckKind::SuperelevationUnusable:
    return chinese(w) ? "超高不可用（须为不小于 0 的数），不设超高"
                      : "the superelevation is not a number >= 0: none";
  case CheckKind::SuperelevationBelowCrown:
    return chinese(w) ? "超高小于路拱横坡，提高 " + amount + "% 到路拱横坡"
                      : "the superelevation is below the crown: raised by " + amount + " %";
  case CheckKind::WideningUnusable:
    return chinese(w) ? "加宽不可用（须为不小于 0 的数），不设加宽"
                      : "the widening is not a number >= 0: none";
  case CheckKind::RunoffUnusable:
    return chinese(w) ? "过渡段长不可用，按缓和曲线长"
                      : "the runoff length is not usable: the transitions' taken";
  case CheckKind::NoRunoff: {
    const std::string at = route::stationText(route.stationAt(c.amount));
    return chinese(w) ? "在 " + at + " 处没有过渡段（无缓和曲线，也未输入过渡段长），横断面在此突变"
                      : "no runoff at " + at +
                            " (no transition and none typed): the section "
                            "steps there";
  }
  case CheckKind::RunoffLongerThanTransition:
    return chinese(w) ? "过渡段比缓和曲线长 " + amount + " m，伸入直线"
                      : "the runoff is " + amount +
                            " m longer than the transition: it reaches "
                            "onto the straight";
  case CheckKind::RunoffBeforeStart:
    return chinese(w) ? "过渡段在路线起点之前 " + amount + " m"
                      : "the runoff starts " + amount + " m before the route";
  case CheckKind::RunoffBeyondEnd:
    return chinese(w) ? "过渡段超出路线终点 " + amount + " m"
                      : "the runoff ends " + amount + " m beyond the route";
  case CheckKind::RunoffsOverlap: {
    const std::string other = c.other ? jdName(d, *c.other, w) : std::string();
    return chinese(w) ? "过渡段与 " + other + " 的重叠 " + amount + " m，两曲线的超高在此叠加"
                      : "its runoff overlaps " + other + "'s by " + amount +
                            " m: their changes add up there";
  }
  default: return {};
  }
}

std::string rowWhat(const section::Check& c, const route::RouteDefinition& d, Words w) {
  if (c.kind == CheckKind::RowUnusable)
    return chinese(w) ? "桩号不在路线上，或横坡、加宽不可用（加宽须不小于 0），未用"
                      : "its chainage names no point of the route, or a fall or widening is "
                        "not usable, left out";
  const std::string before = c.other ? chainageText(d.section.stations[*c.other].chainage) : "";
  return chinese(w) ? "不在前一行 " + before + " 之后，未用"
                    : "it does not lie beyond the row before, " + before + ", left out";
}

} // namespace

std::string sectionCheckText(const section::Check& c, const route::Route& route, Words w) {
  const route::RouteDefinition& d = route.definition();
  const std::string colon = chinese(w) ? "：" : ": ";
  switch (sectionRowOf(c, d).table) {
  case SectionTable::Template: return partName(d, c.part, w) + colon + partWhat(c.part, w);
  case SectionTable::Curves: return jdName(d, c.item, w) + colon + curveWhat(c, route, w);
  case SectionTable::Stations: return stationName(d, c.item, w) + colon + rowWhat(c, d, w);
  }
  return {};
}

SectionRow sectionRowOf(const section::Check& c, const route::RouteDefinition& d) {
  switch (c.kind) {
  case CheckKind::Part:
    return {SectionTable::Template, rowOfPart(d.section, c.part.side, c.part.part)};
  case CheckKind::RowUnusable:
  case CheckKind::RowOutOfOrder: return {SectionTable::Stations, c.item};
  default: return {SectionTable::Curves, c.item};
  }
}

} // namespace quenlor

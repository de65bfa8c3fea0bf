// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/section_scene.h"

#include "numeric/number_text.h"
#include "session/field_tools.h"
#include "session/route_model.h"

#include <cstdio>

namespace quenlor {
namespace {

std::string fallText(double fall) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%", fall == 0 ? 0.0 : fall);
  return text;
}

std::string metres(double value) { return lengthText(value, Precision::Field); }

} // namespace

SectionScene sectionScene(const RouteModel& route, const Station& station,
                          std::optional<double> ground) {
  SectionScene scene;
  scene.title = stationText(station) + " 横断面";
  const section::Sections& sections = route.sections();
  if (!sections.hasTemplate()) {
    scene.problem = "路线没有路幅：在路线表的“路幅”页输入各部分";
    return scene;
  }
  const auto at = route.crossSectionAt(station);
  if (!at) {
    scene.problem = stationText(station) + " 不对应路线上的点";
    return scene;
  }
  if (!at->level) {
    scene.problem = stationText(station) + " 处没有纵断面设计高程";
    return scene;
  }
  const double h = at->level->elevation;
  const auto add = [&](const section::PartSection& p, double sign) {
    const SectionVertex inner{sign * p.from, h + p.innerRise}, outer{sign * p.to, h + p.outerRise};
    scene.falls.push_back(
        {{(inner.offset + outer.offset) / 2, (inner.elevation + outer.elevation) / 2},
         fallText(p.fall)});
    return outer;
  };
  const auto left = sections.parts(at->section, section::Side::Left);
  std::vector<SectionVertex> leftOuter;
  leftOuter.reserve(left.size());
  for (const section::PartSection& p : left)
    leftOuter.push_back(add(p, -1));
  scene.surface.assign(leftOuter.rbegin(), leftOuter.rend());
  const SectionVertex centre{0, *at->centre};
  scene.surface.push_back(centre);
  for (const section::PartSection& p : sections.parts(at->section, section::Side::Right))
    scene.surface.push_back(add(p, 1));

  const SectionVertex leftEdge{-at->section.left.width, *at->leftEdge};
  const SectionVertex rightEdge{at->section.right.width, *at->rightEdge};
  scene.elevations = {
      {leftEdge, "左边缘 " + metres(leftEdge.elevation) + "\n距中线 " + metres(-leftEdge.offset)},
      {centre, "中线 " + metres(centre.elevation)},
      {rightEdge, "右边缘 " + metres(rightEdge.elevation) + "\n距中线 " + metres(rightEdge.offset)},
  };
  if (ground) {
    scene.ground = SectionVertex{0, *ground};
    const std::string cut = cutOrFill(centre.elevation, *ground);
    scene.groundText = "地面 " + metres(*ground) + (cut.empty() ? "" : " " + cut);
  }
  return scene;
}

} // namespace quenlor

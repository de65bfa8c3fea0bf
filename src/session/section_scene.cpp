// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/section_scene.h"

#include "numeric/number_text.h"
#include "session/field_tools.h"
#include "session/route_model.h"
#include "text/catalogue.h"

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
  scene.title = chinese(Say::SectionTitle, {stationText(station)});
  const section::Sections& sections = route.sections();
  if (!sections.hasTemplate()) {
    scene.problem = chinese(Say::SectionNoTemplate);
    return scene;
  }
  const auto at = route.crossSectionAt(station);
  if (!at) {
    scene.problem = chinese(Say::SectionNoPoint, {stationText(station)});
    return scene;
  }
  if (!at->level) {
    scene.problem = chinese(Say::SectionNoDesign, {stationText(station)});
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
      {leftEdge,
       chinese(Say::SectionLeftEdge, {metres(leftEdge.elevation), metres(-leftEdge.offset)})},
      {centre, chinese(Say::SectionCentre, {metres(centre.elevation)})},
      {rightEdge,
       chinese(Say::SectionRightEdge, {metres(rightEdge.elevation), metres(rightEdge.offset)})},
  };
  if (ground) {
    scene.ground = SectionVertex{0, *ground};
    const std::string cut = cutOrFill(centre.elevation, *ground);
    scene.groundText =
        chinese(Say::SectionGround, {metres(*ground)}) + (cut.empty() ? "" : " " + cut);
  }
  return scene;
}

} // namespace quenlor

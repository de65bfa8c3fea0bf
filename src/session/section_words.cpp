// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/section_words.h"

#include "numeric/chainage_text.h"
#include "session/section_edits.h"
#include "text/catalogue.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace quenlor {
namespace {

using section::CheckKind;
using section::PartFault;

std::string say(Words w, Say kind, std::initializer_list<std::string_view> blanks = {}) {
  return w == Words::Chinese ? chinese(kind, blanks) : english(kind, blanks);
}

std::string amountText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

std::string numberOf(std::size_t index) { return std::to_string(index + 1); }

// A curve: its JD, or its arc element in a route by elements.
std::string jdName(const route::RouteDefinition& d, std::size_t curve, Words w) {
  if (d.method == route::Method::Elements) {
    if (curve < d.elements.size() && !d.elements[curve].name.empty())
      return d.elements[curve].name;
    return say(w, Say::SectionElementNumbered, {numberOf(curve)});
  }
  if (curve < d.jds.size() && !d.jds[curve].name.empty())
    return d.jds[curve].name;
  return say(w, Say::SectionJdNumbered, {numberOf(curve)});
}

std::string stationName(const route::RouteDefinition& d, std::size_t row, Words w) {
  const std::string chainage =
      row < d.section.stations.size() ? chainageText(d.section.stations[row].chainage) : "";
  return say(w, Say::SectionStationRow, {numberOf(row), chainage});
}

std::string partName(const route::RouteDefinition& d, const section::PartCheck& p, Words w) {
  const bool left = p.side == section::Side::Left;
  const auto& parts = left ? d.section.road.left : d.section.road.right;
  const std::string name = p.part < parts.size() ? parts[p.part].name : std::string();
  const std::string side =
      say(w, left ? Say::SectionLeftPart : Say::SectionRightPart, {numberOf(p.part)});
  return name.empty() ? side : say(w, Say::SectionPartNamed, {side, name});
}

Say partSay(PartFault fault) {
  switch (fault) {
  case PartFault::Unusable: return Say::SectionPartUnusable;
  case PartFault::OutOfOrder: return Say::SectionPartOutOfOrder;
  case PartFault::FallUnlikeLanes: return Say::SectionPartFallUnlikeLanes;
  case PartFault::FlatterThanLanes: return Say::SectionPartFlatterThanLanes;
  }
  return Say::SectionPartUnusable;
}

std::optional<Say> curveSay(CheckKind kind) {
  switch (kind) {
  case CheckKind::MainPointsUnusable: return Say::SectionMainPointsUnusable;
  case CheckKind::SuperelevationUnusable: return Say::SectionSuperelevationUnusable;
  case CheckKind::SuperelevationBelowCrown: return Say::SectionSuperelevationBelowCrown;
  case CheckKind::WideningUnusable: return Say::SectionWideningUnusable;
  case CheckKind::RunoffUnusable: return Say::SectionRunoffUnusable;
  case CheckKind::NoRunoff: return Say::SectionNoRunoff;
  case CheckKind::RunoffLongerThanTransition: return Say::SectionRunoffLongerThanTransition;
  case CheckKind::RunoffBeforeStart: return Say::SectionRunoffBeforeStart;
  case CheckKind::RunoffBeyondEnd: return Say::SectionRunoffBeyondEnd;
  case CheckKind::RunoffsOverlap: return Say::SectionRunoffsOverlap;
  default: return std::nullopt;
  }
}

// A curve's check: {0} its amount, {1} the other curve, {2} the place (the
// amount read as a measure along the route).
std::string curveWhat(const section::Check& c, const route::Route& route, Words w) {
  const auto kind = curveSay(c.kind);
  if (!kind)
    return {};
  const std::string other = c.other ? jdName(route.definition(), *c.other, w) : std::string();
  const std::string at =
      c.kind == CheckKind::NoRunoff ? route::stationText(route.stationAt(c.amount)) : "";
  return say(w, *kind, {amountText(c.amount), other, at});
}

// A station row's check: {1} the chainage of the row before.
std::string rowWhat(const section::Check& c, const route::RouteDefinition& d, Words w) {
  if (c.kind == CheckKind::RowUnusable)
    return say(w, Say::SectionRowUnusable);
  const std::string before = c.other ? chainageText(d.section.stations[*c.other].chainage) : "";
  return say(w, Say::SectionRowOutOfOrder, {{}, before});
}

} // namespace

std::string sectionCheckText(const section::Check& c, const route::Route& route, Words w) {
  const route::RouteDefinition& d = route.definition();
  switch (sectionRowOf(c, d).table) {
  case SectionTable::Template:
    return say(
        w, Say::SectionCheckAt,
        {partName(d, c.part, w), say(w, partSay(c.part.fault), {amountText(c.part.amount)})});
  case SectionTable::Curves:
    return say(w, Say::SectionCheckAt, {jdName(d, c.item, w), curveWhat(c, route, w)});
  case SectionTable::Stations:
    return say(w, Say::SectionCheckAt, {stationName(d, c.item, w), rowWhat(c, d, w)});
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

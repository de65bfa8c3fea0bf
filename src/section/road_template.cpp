// SPDX-License-Identifier: GPL-3.0-or-later
#include "section/road_template.h"

#include <cmath>
#include <optional>

namespace quenlor::section {
namespace {

bool usable(const Part& p) {
  return std::isfinite(p.width) && p.width > 0 && std::isfinite(p.fall);
}

bool takesSuperelevation(PartKind kind) { return kind != PartKind::SoilShoulder; }

// The crown a side's own parts give: the fall of its first usable part when
// that takes the superelevation.
std::optional<double> ownCrown(const std::vector<Part>& parts) {
  for (const Part& p : parts)
    if (usable(p))
      return takesSuperelevation(p.kind) ? std::optional(p.fall) : std::nullopt;
  return std::nullopt;
}

// Each usable part in its place: lanes, then hard shoulders, then soil
// shoulders; a part that cannot stand where it is becomes a soil shoulder.
SideLayout sideLayout(const std::vector<Part>& parts, Side side, double crown,
                      std::vector<PartCheck>& checks) {
  SideLayout s;
  s.crown = crown;
  PartKind reached = PartKind::Lane; // the latest kind placed so far
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Part& p = parts[i];
    if (!usable(p)) {
      checks.push_back({PartFault::Unusable, side, i, 0});
      continue;
    }
    PartKind kind = p.kind;
    if (takesSuperelevation(kind) && kind < reached) {
      checks.push_back({PartFault::OutOfOrder, side, i, 0});
      kind = PartKind::SoilShoulder;
    } else if (takesSuperelevation(kind) && p.fall != crown) {
      checks.push_back({PartFault::FallUnlikeLanes, side, i, p.fall - crown});
      kind = PartKind::SoilShoulder;
    } else if (kind == PartKind::SoilShoulder && p.fall > crown) {
      checks.push_back({PartFault::FlatterThanLanes, side, i, p.fall - crown});
    }
    reached = kind;
    switch (kind) {
    case PartKind::Lane:
      s.lanes += p.width;
      s.laneParts.push_back(i);
      break;
    case PartKind::HardShoulder:
      s.hardShoulders += p.width;
      s.hardShoulderParts.push_back(i);
      break;
    case PartKind::SoilShoulder: s.shoulders.push_back({i, p.width, p.fall}); break;
    }
  }
  return s;
}

} // namespace

double SideLayout::width() const {
  double w = lanes + hardShoulders;
  for (const Shoulder& s : shoulders)
    w += s.width;
  return w;
}

Layout layoutOf(const Template& road) {
  const std::optional<double> left = ownCrown(road.left), right = ownCrown(road.right);
  Layout layout;
  layout.left = sideLayout(road.left, Side::Left, left.value_or(right.value_or(0)), layout.checks);
  layout.right =
      sideLayout(road.right, Side::Right, right.value_or(left.value_or(0)), layout.checks);
  return layout;
}

double shoulderFall(double own, double crown, double lanes) {
  return lanes < crown && lanes < own ? lanes : own;
}

} // namespace quenlor::section

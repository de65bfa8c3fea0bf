// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignment/centre_line.h"

#include <cmath>

namespace quenlor {

PlanePoint sideStake(const CentrePoint& centre, double offset) {
  return {centre.point.x - offset * std::sin(centre.azimuth),
          centre.point.y + offset * std::cos(centre.azimuth)};
}

const char* stakeKindName(StakeKind kind) {
  switch (kind) {
  case StakeKind::Interval: return "";
  case StakeKind::Start: return "BP";
  case StakeKind::End: return "EP";
  case StakeKind::ZH: return "ZH";
  case StakeKind::HY: return "HY";
  case StakeKind::QZ: return "QZ";
  case StakeKind::YH: return "YH";
  case StakeKind::HZ: return "HZ";
  case StakeKind::ZY: return "ZY";
  case StakeKind::YZ: return "YZ";
  case StakeKind::AnglePoint: return "JD";
  case StakeKind::ElementStart: return "element";
  case StakeKind::BreakBehind: return "behind";
  case StakeKind::BreakAhead: return "ahead";
  }
  return "";
}

std::string CentreLine::pointName(StakeKind kind, int) const { return stakeKindName(kind); }

std::optional<CentrePoint> CentreLine::pointAt(const Station& station) const {
  const std::optional<double> measure = measureOf(station);
  return measure ? pointAt(*measure) : std::nullopt;
}

} // namespace quenlor

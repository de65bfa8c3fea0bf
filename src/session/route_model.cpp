// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_model.h"

#include "numeric/chainage_text.h"
#include "numeric/strict_number.h"
#include "session/route_spans.h"
#include "text/catalogue.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenlor {

RouteModel::RouteModel(route::RouteDefinition definition) : route_(std::move(definition)) {
  makeProfile();
  sections_ = sectionsOf(route_);
}

void RouteModel::replace(route::RouteDefinition definition) {
  route_ = route::Route(std::move(definition));
  makeProfile();
  sections_ = sectionsOf(route_);
  ++version_;
}

void RouteModel::makeProfile() {
  profile_ = profileOf(route_);
  profileSegments_ = route_.chainages().segments();
  ++profileVersion_;
}

// The chain segments as they were but the end of the last, the grade points
// as they were, none of them within reach of the nearer end: every measure
// is what it was (ChainageMap::measuresOf does not look past a segment's
// end), and of the profile's checks only how early its line ends looks at
// the route's end.
bool RouteModel::profileStands() const {
  const std::vector<route::ChainSegment>& now = route_.chainages().segments();
  const std::vector<route::ChainSegment>& was = profileSegments_;
  if (now.empty() || now.size() != was.size())
    return false;
  const auto same = [](const route::ChainSegment& a, const route::ChainSegment& b) {
    return a.startMeasure == b.startMeasure && a.startChainage == b.startChainage &&
           a.chainBreak == b.chainBreak;
  };
  for (std::size_t k = 0; k < now.size(); ++k)
    if (!same(now[k], was[k]) || (k + 1 < now.size() && now[k].endMeasure != was[k].endMeasure))
      return false;
  const double reach =
      std::min(now.back().endChainage(), was.back().endChainage()) - kProfileEndReach;
  const std::vector<route::GradePointRow>& rows = route_.definition().gradePoints;
  const std::vector<GradePoint>& points = profile_.points();
  if (rows.size() != points.size())
    return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const route::GradePointRow& r = rows[i];
    const GradePoint& p = points[i];
    if (!(r.chainage < reach) || r.chainage != p.chainage || r.elevation != p.elevation ||
        r.verticalRadius != p.radius || r.tangentIn != p.tangentIn ||
        r.tangentOut != p.tangentOut || r.name != p.name)
      return false;
  }
  return true;
}

namespace {

// A grade point this close to an end of the route is at that end: a design's
// last grade point rounded to the millimetre is its EP.
constexpr double kAtAnEnd = 1e-3;

// The measures at which a grade point's chainage stands, in route order:
// where it occurs on the route, and beyond either end on the end segments
// carried on.
std::vector<double> gradePointMeasures(const route::Route& route, double chainage) {
  const auto& segments = route.chainages().segments();
  std::vector<double> measures;
  if (segments.empty())
    return measures;
  const double before = chainage - segments.front().startChainage;
  const double beyond = chainage - segments.back().endChainage();
  if (before < 0)
    measures.push_back(before);
  for (const double m : route.measuresOf(chainage))
    measures.push_back(m);
  if (beyond > 0)
    measures.push_back(route.length() + beyond);
  for (double& m : measures) {
    if (std::fabs(m) <= kAtAnEnd)
      m = 0;
    else if (std::fabs(m - route.length()) <= kAtAnEnd)
      m = route.length();
  }
  return measures;
}

// The measure of each chainage of a list in route order: its first
// occurrence not behind the one before; not a number where it names none,
// or, where `behind` is kept, its last occurrence behind the one before.
template <class Rows, class Chainage>
std::vector<double> measuresInOrder(const route::Route& route, const Rows& rows, Chainage of,
                                    bool keepBehind = false) {
  std::vector<double> measures;
  measures.reserve(rows.size());
  double previous = -std::numeric_limits<double>::infinity();
  for (const auto& row : rows) {
    double measure = std::numeric_limits<double>::quiet_NaN();
    for (const double m : gradePointMeasures(route, of(row)))
      if (m >= previous) {
        measure = m;
        break;
      } else if (keepBehind) {
        measure = m;
      }
    if (std::isfinite(measure) && measure >= previous)
      previous = measure;
    measures.push_back(measure);
  }
  return measures;
}

} // namespace

Profile RouteModel::profileOf(const route::Route& route) {
  const auto& rows = route.definition().gradePoints;
  const std::vector<double> measures =
      measuresInOrder(route, rows, [](const route::GradePointRow& r) { return r.chainage; });
  std::vector<GradePoint> points;
  points.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const route::GradePointRow& row = rows[i];
    points.push_back({row.name, measures[i], row.chainage, row.elevation, row.verticalRadius,
                      row.tangentIn, row.tangentOut});
  }
  return Profile::build(std::move(points), 0, route.length());
}

// A station row's empty fall is the side's normal crown.
section::Sections RouteModel::sectionsOf(const route::Route& route) {
  const route::CrossSection& cross = route.definition().section;
  if (cross.road.empty())
    return {};
  const section::Layout layout = section::layoutOf(cross.road);
  // A row behind the one before keeps its measure: the sections report it
  // out of order.
  const std::vector<double> measures = measuresInOrder(
      route, cross.stations, [](const route::SectionStation& r) { return r.chainage; }, true);
  section::StationTable table{cross.tableAxis, {}};
  table.rows.reserve(cross.stations.size());
  for (std::size_t i = 0; i < cross.stations.size(); ++i) {
    const route::SectionStation& r = cross.stations[i];
    table.rows.push_back({measures[i], r.chainage, r.leftFall.value_or(layout.left.crown),
                          r.rightFall.value_or(layout.right.crown), r.leftWidening,
                          r.rightWidening});
  }
  const double end =
      route.hasGeometry() ? route.length() : std::numeric_limits<double>::quiet_NaN();
  return section::Sections::build(cross.road, section::curveSpans(route), std::move(table), 0, end);
}

std::optional<CrossSectionAt> RouteModel::crossSectionAt(const route::Station& station) const {
  if (!sections_.hasTemplate())
    return std::nullopt;
  const auto measure = route_.measureOf(station);
  if (!measure)
    return std::nullopt;
  const auto section = sections_.at(*measure);
  if (!section)
    return std::nullopt;
  CrossSectionAt at{*measure, *section, profile_.at(*measure), {}, {}, {}};
  if (at.level) {
    const double h = at.level->elevation;
    at.centre = h + section->centreRise;
    at.leftEdge = h + section->left.edgeRise;
    at.rightEdge = h + section->right.edgeRise;
  }
  return at;
}

std::optional<double> RouteModel::designAt(const CrossSectionAt& at, double offset) const {
  if (!at.level)
    return std::nullopt;
  const auto rise = sections_.riseAt(at.section, offset);
  if (!rise)
    return std::nullopt;
  return at.level->elevation + *rise;
}

std::optional<DesignLevel> RouteModel::designAt(const route::Station& station) const {
  const auto measure = route_.measureOf(station);
  if (!measure)
    return std::nullopt;
  return profile_.at(*measure);
}

std::optional<Failure> RouteModel::whyNoDesign(double measure) const {
  const auto line = profile_.lineRange();
  if (!line || !std::isfinite(measure) || (measure >= line->first && measure <= line->second))
    return std::nullopt;
  const std::string here = stationText(route_.stationAt(measure));
  if (measure < line->first) {
    const std::string start = stationText(route_.stationAt(line->first));
    return failure(Say::ProfileStartsAt, {here, start});
  }
  const std::string end = stationText(route_.stationAt(line->second));
  return failure(Say::ProfileEndsAt, {here, end});
}

std::vector<Failure> RouteModel::designGaps(double from, double to) const {
  std::vector<Failure> gaps;
  const auto line = profile_.lineRange();
  if (!line)
    return gaps;
  if (std::min(from, to) < line->first) {
    const std::string start = stationText(route_.stationAt(line->first));
    gaps.push_back(failure(Say::ProfileGapBefore, {start}));
  }
  if (std::max(from, to) > line->second) {
    const std::string end = stationText(route_.stationAt(line->second));
    gaps.push_back(failure(Say::ProfileGapBeyond, {end}));
  }
  return gaps;
}

namespace {

// The sentence of a profile check.
Say sayOf(CheckKind kind) {
  switch (kind) {
  case CheckKind::NotFinite: return Say::ProfileNotFinite;
  case CheckKind::OutOfOrder: return Say::ProfileOutOfOrder;
  case CheckKind::SameMeasure: return Say::ProfileSameMeasure;
  case CheckKind::NegativeRadius: return Say::ProfileNegativeRadius;
  case CheckKind::PointOutsideRoute: return Say::ProfilePointOutsideRoute;
  case CheckKind::CurvesOverlap: return Say::ProfileCurvesOverlap;
  case CheckKind::CurvePastStart: return Say::ProfileCurvePastStart;
  case CheckKind::CurvePastEnd: return Say::ProfileCurvePastEnd;
  case CheckKind::LineStartsLate: return Say::ProfileLineStartsLate;
  case CheckKind::LineEndsEarly: break;
  }
  return Say::ProfileLineEndsEarly;
}

} // namespace

std::vector<std::string> RouteModel::profileCheckTexts() const {
  std::vector<std::string> texts;
  const auto& points = profile_.points();
  const auto name = [&](std::size_t i) {
    const GradePoint& p = points[i];
    return (p.name.empty() ? chinese(Say::ProfileGradePointNumbered, {std::to_string(i + 1)})
                           : p.name) +
           " (" + chainageText(p.chainage) + ")";
  };
  const auto metres = [](double amount) { return lengthText(amount, Precision::Field) + " m"; };
  for (const ProfileCheck& c : profile_.checks())
    texts.push_back(
        chinese(Say::ProfileCheckAt, {name(c.point), chinese(sayOf(c.kind), {metres(c.amount)})}));
  return texts;
}

} // namespace quenlor

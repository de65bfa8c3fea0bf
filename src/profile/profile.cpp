// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile.h"

#include "profile/point_order.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quenlor {
namespace {

constexpr double kPercent = 100.0;
constexpr double kPerMille = 1000.0;

GradeSegment gradeBetween(const std::vector<GradePoint>& points, std::size_t from, std::size_t to) {
  GradeSegment g;
  g.from = from;
  g.to = to;
  g.start = points[from].measure;
  g.end = points[to].measure;
  g.length = g.end - g.start;
  g.grade = (points[to].elevation - points[from].elevation) / g.length;
  g.percent = g.grade * kPercent;
  g.perMille = g.grade * kPerMille;
  return g;
}

// The stretch a point's grade change takes: its curve, or the point itself.
struct Stretch {
  double start, end;
};

} // namespace

Profile Profile::build(std::vector<GradePoint> points, double routeStart, double routeEnd) {
  Profile p;
  p.points_ = std::move(points);
  p.used_ = usablePoints(p.points_, p.checks_);
  p.measures_.reserve(p.used_.size());
  p.elevations_.reserve(p.used_.size());
  p.grades_.reserve(p.used_.size());
  p.curves_.reserve(p.used_.size());
  for (std::size_t i : p.used_) {
    p.measures_.push_back(p.points_[i].measure);
    p.elevations_.push_back(p.points_[i].elevation);
  }
  for (std::size_t k = 0; k + 1 < p.used_.size(); ++k)
    p.grades_.push_back(gradeBetween(p.points_, p.used_[k], p.used_[k + 1]));
  p.addCurves();
  p.addChecks(routeStart, routeEnd);
  p.indexCurves();
  std::stable_sort(p.checks_.begin(), p.checks_.end(),
                   [](const ProfileCheck& a, const ProfileCheck& b) { return a.point < b.point; });
  return p;
}

void Profile::addCurves() {
  for (std::size_t k = 1; k + 1 < used_.size(); ++k) {
    const GradePoint& point = points_[used_[k]];
    const double in = grades_[k - 1].grade, out = grades_[k].grade;
    const bool asymmetric = point.tangentIn > 0 && point.tangentOut > 0;
    if (point.radius < 0 || point.tangentIn < 0 || point.tangentOut < 0) {
      checks_.push_back({CheckKind::NegativeRadius, used_[k], std::nullopt, 0});
    } else if (in != out && (asymmetric || point.radius > 0)) {
      curves_.push_back(asymmetric
                            ? asymmetricCurve(point.measure, point.elevation, in, out,
                                              point.tangentIn, point.tangentOut)
                            : verticalCurve(point.measure, point.elevation, in, out, point.radius));
      curves_.back().point = used_[k];
    }
  }
}

void Profile::addChecks(double routeStart, double routeEnd) {
  // Each point's stretch: its curve's range, or the point itself.
  const std::size_t n = used_.size();
  std::vector<Stretch> stretches(n);
  auto curve = curves_.begin();
  for (std::size_t k = 0; k < n; ++k) {
    const bool curved = curve != curves_.end() && curve->point == used_[k];
    stretches[k] = curved ? Stretch{curve->start, curve->end} : Stretch{measures_[k], measures_[k]};
    curve += curved ? 1 : 0;
  }

  // A point beyond an end shapes the route while its stretch, or the next
  // point's towards the route, reaches into it.
  for (std::size_t k = 0; k < n; ++k) {
    const double m = measures_[k];
    if (std::isless(m, routeStart)) {
      const bool shapes = stretches[k].end > routeStart ||
                          (k + 1 < n && std::isgreater(stretches[k + 1].end, routeStart));
      if (!shapes)
        checks_.push_back({CheckKind::PointOutsideRoute, used_[k], std::nullopt, routeStart - m});
    } else if (std::isgreater(m, routeEnd)) {
      const bool shapes =
          stretches[k].start < routeEnd || (k > 0 && std::isless(stretches[k - 1].start, routeEnd));
      if (!shapes)
        checks_.push_back({CheckKind::PointOutsideRoute, used_[k], std::nullopt, m - routeEnd});
    }
  }
  if (n < 2)
    return;

  // Neighbouring interior points, each with its curve or without one.
  for (std::size_t k = 1; k + 2 < n; ++k) {
    const double overlap = stretches[k].end - stretches[k + 1].start;
    if (overlap > 0)
      checks_.push_back({CheckKind::CurvesOverlap, used_[k], used_[k + 1], overlap});
  }

  // The line's ends against the route's.
  if (std::isless(routeStart, routeEnd)) {
    if (std::isgreater(measures_.front(), routeStart))
      checks_.push_back(
          {CheckKind::LineStartsLate, used_.front(), std::nullopt, measures_.front() - routeStart});
    if (std::isless(measures_.back(), routeEnd))
      checks_.push_back(
          {CheckKind::LineEndsEarly, used_.back(), std::nullopt, routeEnd - measures_.back()});
  }

  // The curves against the line's ends: its first and last points.
  for (const VerticalCurve& c : curves_) {
    if (c.start < measures_.front())
      checks_.push_back(
          {CheckKind::CurvePastStart, c.point, used_.front(), measures_.front() - c.start});
    if (c.end > measures_.back())
      checks_.push_back({CheckKind::CurvePastEnd, c.point, used_.back(), c.end - measures_.back()});
  }
}

void Profile::indexCurves() {
  if (!hasLine())
    return;
  // The grades each curve reaches; count them grade by grade, then place the
  // curves, in route order.
  std::vector<std::pair<std::size_t, std::size_t>> reached;
  reached.reserve(curves_.size());
  reach_.assign(grades_.size() + 1, 0);
  for (const VerticalCurve& c : curves_) {
    reached.emplace_back(gradeAt(c.start), gradeAt(c.end));
    for (std::size_t k = reached.back().first; k <= reached.back().second; ++k)
      ++reach_[k + 1];
  }
  for (std::size_t k = 1; k < reach_.size(); ++k)
    reach_[k] += reach_[k - 1];
  reachList_.resize(reach_.back());
  std::vector<std::uint32_t> next(reach_.begin(), reach_.end() - 1);
  for (std::size_t i = 0; i < curves_.size(); ++i)
    for (std::size_t k = reached[i].first; k <= reached[i].second; ++k)
      reachList_[next[k]++] = static_cast<std::uint32_t>(i);
}

// The grade a measure reads: the one that starts at or before it, the first
// before the line and the last beyond it.
std::size_t Profile::gradeAt(double measure) const {
  const auto interiorBegin = measures_.begin() + 1;
  const auto interiorEnd = measures_.end() - 1;
  return static_cast<std::size_t>(std::upper_bound(interiorBegin, interiorEnd, measure) -
                                  interiorBegin);
}

std::optional<std::pair<double, double>> Profile::lineRange() const {
  if (!hasLine())
    return std::nullopt;
  return std::pair(measures_.front(), measures_.back());
}

std::optional<DesignLevel> Profile::at(double measure) const {
  // isfinite first: comparing a NaN would raise the invalid flag.
  if (!hasLine() || !std::isfinite(measure) || measure < measures_.front() ||
      measure > measures_.back())
    return std::nullopt;
  const std::size_t k = gradeAt(measure);
  const double grade = grades_[k].grade;
  const double fromStart = measure - measures_[k], toEnd = measures_[k + 1] - measure;
  DesignLevel level;
  level.elevation =
      fromStart <= toEnd ? elevations_[k] + grade * fromStart : elevations_[k + 1] - grade * toEnd;
  level.grade = grade;
  for (std::uint32_t j = reach_[k]; j < reach_[k + 1]; ++j) {
    const VerticalCurve& c = curves_[reachList_[j]];
    level.elevation += ordinate(c, measure);
    level.grade += ordinateSlope(c, measure);
  }
  return level;
}

} // namespace quenlor

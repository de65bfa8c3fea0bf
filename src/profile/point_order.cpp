// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/point_order.h"

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

bool finitePoint(const GradePoint& p) {
  return std::isfinite(p.measure) && std::isfinite(p.elevation) && std::isfinite(p.radius) &&
         std::isfinite(p.tangentIn) && std::isfinite(p.tangentOut);
}

// For each position, the length of the longest strictly increasing run of
// measures that starts there: a longest increasing run of the negated
// measures read backwards, by patience sorting.
std::vector<std::size_t> runLengthsFrom(const std::vector<double>& measures) {
  std::vector<std::size_t> lengths(measures.size());
  std::vector<double> tails; // tails[k]: the least tail of a run of length k + 1 so far
  for (std::size_t i = measures.size(); i-- > 0;) {
    const double value = -measures[i];
    const auto slot = std::lower_bound(tails.begin(), tails.end(), value);
    lengths[i] = static_cast<std::size_t>(slot - tails.begin()) + 1;
    if (slot == tails.end())
      tails.push_back(value);
    else
      *slot = value;
  }
  return lengths;
}

// The longest strictly increasing run, the earliest positions taken first.
std::vector<bool> longestIncreasingRun(const std::vector<double>& measures) {
  const std::vector<std::size_t> lengths = runLengthsFrom(measures);
  std::size_t wanted = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
  std::vector<bool> kept(measures.size(), false);
  bool started = false;
  double last = 0;
  for (std::size_t i = 0; i < measures.size() && wanted > 0; ++i) {
    if (lengths[i] == wanted && (!started || measures[i] > last)) {
      kept[i] = true;
      started = true;
      last = measures[i];
      --wanted;
    }
  }
  return kept;
}

ProfileCheck orderCheck(const std::vector<GradePoint>& points, std::size_t point,
                        std::size_t other) {
  const double gap = points[other].measure - points[point].measure;
  return {gap == 0 ? CheckKind::SameMeasure : CheckKind::OutOfOrder, point, other, std::fabs(gap)};
}

} // namespace

std::vector<std::size_t> usablePoints(const std::vector<GradePoint>& points,
                                      std::vector<ProfileCheck>& checks) {
  std::vector<std::size_t> finite;
  std::vector<double> measures;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (finitePoint(points[i])) {
      finite.push_back(i);
      measures.push_back(points[i].measure);
    } else {
      checks.push_back({CheckKind::NotFinite, i, std::nullopt, 0});
    }
  }
  const std::vector<bool> kept = longestIncreasingRun(measures);
  std::vector<std::size_t> used;
  for (std::size_t k = 0; k < finite.size(); ++k)
    if (kept[k])
      used.push_back(finite[k]);

  // A point left out lies behind or at the kept point before it, or else
  // ahead of or at the kept point after it; otherwise the run would take it.
  auto next = used.begin();
  for (std::size_t k = 0; k < finite.size(); ++k) {
    const std::size_t i = finite[k];
    while (next != used.end() && *next <= i)
      ++next;
    if (kept[k])
      continue;
    const bool behindPrevious =
        next != used.begin() && points[*(next - 1)].measure >= points[i].measure;
    checks.push_back(orderCheck(points, i, behindPrevious ? *(next - 1) : *next));
  }
  return used;
}

} // namespace quenlor

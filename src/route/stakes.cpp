// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/stakes.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quenlor::route {
namespace {

constexpr double kSameStake = 5e-4;     // metres: a stake this near a main point is that point
constexpr double kGridTolerance = 1e-9; // of an interval: a chainage on the grid
// Rows this near each other stand at one place, which rounding may part.
constexpr double kOnePlace = 1e-6; // metres

struct MeasureRange {
  double from, to; // measures
  bool holds(double m) const { return m >= from - kGridTolerance && m <= to + kGridTolerance; }
};

class Collector {
public:
  Collector(const Route& route, MeasureRange stretch, std::size_t expected)
      : route_(route), stretch_(stretch) {
    list_.stakes.reserve(std::min(expected, kMostStakes));
  }

  void add(double measure, double chainage, StakeKind kind, int index) {
    if (!stretch_.holds(measure))
      return;
    if (list_.stakes.size() >= kMostStakes) {
      list_.truncated = true;
      return;
    }
    const double m = std::clamp(measure, 0.0, route_.length());
    list_.stakes.push_back(
        {m, {chainage, route_.chainages().occurrenceOf(chainage, m)}, kind, index});
  }
  void add(double measure, StakeKind kind, int index) {
    add(measure, route_.chainages().chainageAt(measure), kind, index);
  }
  bool full() const { return list_.stakes.size() >= kMostStakes; }
  void cut() { list_.truncated = true; }
  StakeList take() { return std::move(list_); }

private:
  const Route& route_;
  MeasureRange stretch_;
  StakeList list_;
};

void addMainPoints(Collector& out, const Route& route) {
  for (const NamedPoint& m : route.mainPoints())
    out.add(m.measure, m.kind, m.index);
}

void addBreaks(Collector& out, const Route& route) {
  const std::vector<ChainSegment>& segments = route.chainages().segments();
  for (std::size_t k = 1; k < segments.size(); ++k) {
    const double at = segments[k].startMeasure;
    out.add(at, segments[k - 1].endChainage(), StakeKind::BreakBehind, segments[k].chainBreak);
    out.add(at, segments[k].startChainage, StakeKind::BreakAhead, segments[k].chainBreak);
  }
}

// The stakes on the grid origin + k * interval within each chain segment.
void addIntervals(Collector& out, const Route& route, const StakeRequest& request,
                  MeasureRange stretch) {
  const double interval = request.interval;
  if (!(interval > 0))
    return;
  const double origin = request.spacing == StakeSpacing::WholeStations
                            ? 0
                            : route.chainages().chainageAt(stretch.from);
  for (const ChainSegment& s : route.chainages().segments()) {
    const double from = std::max(stretch.from, s.startMeasure);
    const double to = std::min(stretch.to, s.endMeasure);
    if (from > to)
      continue;
    const double first =
        std::ceil((s.startChainage + (from - s.startMeasure) - origin) / interval - kGridTolerance);
    const double last =
        std::floor((s.startChainage + (to - s.startMeasure) - origin) / interval + kGridTolerance);
    // Counted in whole steps, so that a grid too fine for a double still ends.
    const double steps = last - first;
    if (steps >= static_cast<double>(kMostStakes))
      out.cut();
    for (std::size_t n = 0; n <= kMostStakes && n <= steps && !out.full(); ++n) {
      const double chainage = origin + (first + static_cast<double>(n)) * interval;
      out.add(s.startMeasure + (chainage - s.startChainage), chainage, StakeKind::Interval, -1);
    }
  }
}

// At most this many rows, so that the list is made in one allocation.
std::size_t expectedStakes(const Route& route, const StakeRequest& request, MeasureRange stretch) {
  const std::size_t special =
      route.mainPoints().size() + 2 * route.chainages().segments().size() + 2;
  const double intervals =
      request.interval > 0 ? (stretch.to - stretch.from) / request.interval : 0;
  const double grid = intervals + 2.0 * static_cast<double>(route.chainages().segments().size());
  return special + static_cast<std::size_t>(std::min(grid, static_cast<double>(kMostStakes)));
}

bool givesWayTo(const StakePosition& stake, const StakePosition& other) {
  if (other.kind == StakeKind::Interval || std::fabs(stake.measure - other.measure) > kSameStake)
    return false;
  const bool breakSide =
      other.kind == StakeKind::BreakBehind || other.kind == StakeKind::BreakAhead;
  return !breakSide || std::fabs(stake.station.chainage - other.station.chainage) <= kSameStake;
}

// Drops the interval stakes that stand on a main point or a break's side.
void mergeNearStakes(std::vector<StakePosition>& stakes) {
  std::vector<bool> drop(stakes.size(), false);
  for (std::size_t i = 0; i < stakes.size(); ++i) {
    if (stakes[i].kind != StakeKind::Interval)
      continue;
    for (std::size_t j = i; j-- > 0 && stakes[i].measure - stakes[j].measure <= kSameStake;)
      drop[i] = drop[i] || givesWayTo(stakes[i], stakes[j]);
    for (std::size_t j = i + 1;
         j < stakes.size() && stakes[j].measure - stakes[i].measure <= kSameStake; ++j)
      drop[i] = drop[i] || givesWayTo(stakes[i], stakes[j]);
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < stakes.size(); ++i)
    if (!drop[i])
      stakes[kept++] = stakes[i];
  stakes.resize(kept);
}

// Where rows stand at one place: BP first, then a chain break's two rows,
// then the main points in the order of their JD (the curve that ends there
// before the one that starts) and of their kind, EP last.
int rankAtOnePlace(StakeKind kind) {
  switch (kind) {
  case StakeKind::Start: return 0;
  case StakeKind::BreakBehind: return 1;
  case StakeKind::BreakAhead: return 2;
  case StakeKind::End: return 4;
  default: return 3;
  }
}

// The rows come in a few runs that already go along the route (the main
// points, the breaks, the grid): merging the runs is linear where sorting
// all of them is not.
void sortByMeasure(std::vector<StakePosition>& stakes) {
  const auto before = [](const StakePosition& a, const StakePosition& b) {
    return a.measure < b.measure;
  };
  std::vector<std::size_t> ends; // where each run ends
  for (std::size_t i = 1; i < stakes.size(); ++i)
    if (before(stakes[i], stakes[i - 1]))
      ends.push_back(i);
  ends.push_back(stakes.size());
  while (ends.size() > 1) {
    std::vector<std::size_t> merged;
    for (std::size_t k = 0; k < ends.size(); k += 2) {
      if (k + 1 < ends.size()) {
        const std::size_t first = k == 0 ? 0 : ends[k - 1];
        std::inplace_merge(stakes.begin() + long(first), stakes.begin() + long(ends[k]),
                           stakes.begin() + long(ends[k + 1]), before);
      }
      merged.push_back(ends[std::min(k + 1, ends.size() - 1)]);
    }
    ends = std::move(merged);
  }
}

// Sorts the rows along the route, then each run of rows at one place by its
// rank, JD and kind.
void sortAlongTheRoute(std::vector<StakePosition>& stakes) {
  sortByMeasure(stakes);
  const auto atOnePlace = [](const StakePosition& a, const StakePosition& b) {
    return std::tuple(rankAtOnePlace(a.kind), a.index, a.kind) <
           std::tuple(rankAtOnePlace(b.kind), b.index, b.kind);
  };
  for (auto first = stakes.begin(); first != stakes.end();) {
    auto last = first + 1;
    while (last != stakes.end() && last->measure - (last - 1)->measure <= kOnePlace)
      ++last;
    if (last - first > 1) // a sort of one row would still ask for a buffer
      std::stable_sort(first, last, atOnePlace);
    first = last;
  }
}

// A route's table as the centre line gives it: at most kMaxStakeRows rows.
class RouteStakes final : public StakePositions {
public:
  explicit RouteStakes(StakeList list) : list_(std::move(list)) {
    truncated_ = list_.truncated || list_.stakes.size() > kMaxStakeRows;
    if (list_.stakes.size() > kMaxStakeRows)
      list_.stakes.resize(kMaxStakeRows);
  }
  std::size_t size() const override { return list_.stakes.size(); }
  StakePosition at(std::size_t row) const override { return list_.stakes[row]; }
  bool truncated() const override { return truncated_; }

private:
  StakeList list_;
  bool truncated_ = false;
};

} // namespace

Expected<TableEnd> tableEnd(const Route& route, const Station& station) {
  if (!route.hasGeometry())
    return Failure{route.whyNoPoint(station)};
  for (const double end : {0.0, route.length()}) {
    const Station shown = route.stationAt(end);
    if (station.occurrence == shown.occurrence &&
        chainageText(station.chainage) == chainageText(shown.chainage))
      return TableEnd{end, std::nullopt};
  }
  if (const auto measure = route.measureOf(station))
    return TableEnd{*measure, std::nullopt};
  const std::vector<ChainSegment>& segments = route.chainages().segments();
  if (station.chainage > segments.back().endChainage())
    return TableEnd{route.length(), StakeKind::End};
  if (station.chainage < segments.front().startChainage)
    return TableEnd{0, StakeKind::Start};
  return Failure{route.whyNoPoint(station)};
}

Expected<StakeRequest> stakeRequestBetween(const Route& route, double fromChainage,
                                           double toChainage, double interval,
                                           StakeSpacing spacing) {
  if (fromChainage > toChainage)
    std::swap(fromChainage, toChainage);
  const int lastOccurrence = std::max(0, static_cast<int>(route.measuresOf(toChainage).size()) - 1);
  const auto from = tableEnd(route, {fromChainage, 0});
  const auto to = tableEnd(route, {toChainage, lastOccurrence});
  if (!from)
    return from.failure();
  if (!to)
    return to.failure();
  return StakeRequest{from->measure, to->measure, interval, spacing};
}

StakeList stakePositions(const Route& route, const StakeRequest& request) {
  if (!route.hasGeometry() || std::isnan(request.fromMeasure) || std::isnan(request.toMeasure))
    return {};
  const double lo =
      std::clamp(std::min(request.fromMeasure, request.toMeasure), 0.0, route.length());
  const double hi =
      std::clamp(std::max(request.fromMeasure, request.toMeasure), 0.0, route.length());
  const MeasureRange stretch{lo, hi};
  Collector out(route, stretch, expectedStakes(route, request, stretch));
  out.add(0, StakeKind::Start, -1);
  addMainPoints(out, route);
  addBreaks(out, route);
  addIntervals(out, route, request, stretch);
  out.add(route.length(), StakeKind::End, -1);
  StakeList list = out.take();
  sortAlongTheRoute(list.stakes);
  mergeNearStakes(list.stakes);
  return list;
}

std::unique_ptr<const StakePositions> Route::stakes(const StakeRequest& request) const {
  return std::make_unique<RouteStakes>(stakePositions(*this, request));
}

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/chainage_map.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenlor::route {
namespace {

constexpr double kChainageTolerance = 1e-6; // metres
constexpr double kSameMeasure = 1e-9;       // metres

// A chainage the user gave, as typed (numeric/chainage_text.h).
std::string typedText(double chainage) { return chainageText(chainage, typedDecimals(chainage)); }

std::string timesText(std::size_t count) {
  return count == 1 ? "once" : (count == 2 ? "twice" : std::to_string(count) + " times");
}

} // namespace

ChainageMap::ChainageMap(double startChainage, const std::vector<ChainBreak>& breaks, double length)
    : breaks_(breaks) {
  segments_.push_back({0, length, startChainage, -1});
  for (std::size_t j = 0; j < breaks.size(); ++j) {
    ChainSegment& current = segments_.back();
    const double at = current.startMeasure + (breaks[j].behind - current.startChainage);
    const bool finite = std::isfinite(breaks[j].behind) && std::isfinite(breaks[j].ahead);
    if (finite && at > current.startMeasure && at < length) {
      current.endMeasure = at;
      segments_.push_back({at, length, breaks[j].ahead, static_cast<int>(j)});
      places_.push_back(BreakPlace::Placed);
    } else {
      const bool behindTheLast = finite && segments_.size() > 1 && at <= current.startMeasure;
      places_.push_back(behindTheLast ? BreakPlace::OutOfOrder : BreakPlace::OutsideRoute);
    }
  }
  findRepeatedStretches();
}

// Where the chainages of two segments overlap (a long break repeats a
// stretch), as disjoint intervals in order: only there can a chainage occur
// more than once.
void ChainageMap::findRepeatedStretches() {
  std::vector<Stretch> ranges;
  for (const ChainSegment& s : segments_)
    ranges.push_back({s.startChainage - kChainageTolerance, s.endChainage() + kChainageTolerance});
  std::sort(ranges.begin(), ranges.end(),
            [](const Stretch& a, const Stretch& b) { return a.from < b.from; });
  double reach = -std::numeric_limits<double>::infinity();
  for (const Stretch& r : ranges) {
    if (r.from <= reach) {
      const Stretch overlap{r.from, std::min(r.to, reach)};
      if (!repeated_.empty() && overlap.from <= repeated_.back().to)
        repeated_.back().to = std::max(repeated_.back().to, overlap.to);
      else
        repeated_.push_back(overlap);
    }
    reach = std::max(reach, r.to);
  }
}

bool ChainageMap::repeats(double chainage) const {
  const auto after = std::upper_bound(repeated_.begin(), repeated_.end(), chainage,
                                      [](double c, const Stretch& r) { return c < r.from; });
  return after != repeated_.begin() && chainage <= (after - 1)->to;
}

std::size_t ChainageMap::segmentAt(double measure) const {
  const auto after =
      std::upper_bound(segments_.begin(), segments_.end(), measure,
                       [](double m, const ChainSegment& s) { return m < s.startMeasure; });
  return after == segments_.begin() ? 0 : static_cast<std::size_t>(after - segments_.begin() - 1);
}

double ChainageMap::chainageAt(double measure) const {
  const ChainSegment& s = segments_[segmentAt(measure)];
  return s.startChainage + (measure - s.startMeasure);
}

Station ChainageMap::stationAt(double measure) const {
  const double chainage = chainageAt(measure);
  return {chainage, occurrenceOf(chainage, measure)};
}

int ChainageMap::occurrenceOf(double chainage, double measure) const {
  if (!repeats(chainage)) // it occurs once at most: the usual case, and quick
    return 0;
  int count = 0, nearest = 0;
  double nearestGap = std::numeric_limits<double>::infinity();
  eachMeasureOf(chainage, [&](double m) {
    if (std::fabs(m - measure) < nearestGap) {
      nearestGap = std::fabs(m - measure);
      nearest = count;
    }
    ++count;
  });
  return nearest;
}

std::vector<double> ChainageMap::measuresOf(double chainage) const {
  std::vector<double> found;
  eachMeasureOf(chainage, [&](double m) { found.push_back(m); });
  return found;
}

// Without a list: a stake table asks this for every row.
template <typename Found> void ChainageMap::eachMeasureOf(double chainage, Found found) const {
  double last = std::numeric_limits<double>::quiet_NaN();
  for (const ChainSegment& s : segments_) {
    if (chainage < s.startChainage - kChainageTolerance ||
        chainage > s.endChainage() + kChainageTolerance)
      continue;
    const double m =
        std::clamp(s.startMeasure + (chainage - s.startChainage), s.startMeasure, s.endMeasure);
    if (std::isnan(last) || std::fabs(m - last) > kSameMeasure) {
      found(m);
      last = m;
    }
  }
}

Expected<double> ChainageMap::measureOf(const Station& station) const {
  const std::vector<double> all = measuresOf(station.chainage);
  if (station.occurrence >= 0 && static_cast<std::size_t>(station.occurrence) < all.size())
    return all[station.occurrence];
  if (all.empty())
    return Failure{whyNoPoint(station.chainage)};
  return Failure{typedText(station.chainage) + " occurs " + timesText(all.size()) +
                 " on the route; there is no occurrence " + std::to_string(station.occurrence + 1)};
}

std::string ChainageMap::whyNoPoint(double chainage) const {
  for (std::size_t k = 1; k < segments_.size(); ++k) {
    const double behind = segments_[k - 1].endChainage(), ahead = segments_[k].startChainage;
    if (chainage > behind && chainage < ahead)
      return typedText(chainage) + " names no point: the short chain break " +
             chainageText(behind) + " = " + chainageText(ahead) + " skips it";
  }
  return typedText(chainage) + " lies beyond the route, which runs from " +
         chainageText(segments_.front().startChainage) + " to " +
         chainageText(segments_.back().endChainage());
}

} // namespace quenlor::route

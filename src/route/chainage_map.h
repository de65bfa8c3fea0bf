// SPDX-License-Identifier: GPL-3.0-or-later
// Chainages along a route with chain breaks.
//
// The measure of a point is its distance along the centre line from BP; it
// runs from 0 to the route's length without a jump. The chainage starts at
// BP's chainage and grows with the measure until the first chain break
// "behind = ahead" (definition.h): the break stands at the measure where the
// chainage counted so far reaches behind, and from there the chainage counts
// on from ahead. The stretches between breaks are the chain segments.
//
// A break whose place is not inside the route (before or at BP, at or beyond
// EP, or not a number) or not beyond the break before it (behind below the
// ahead of that break) is left out and counted from where it would not fit;
// the route reports it as a check.
//
// The point at a break carries both chainages; as a measure it belongs to the
// segment that starts there (its ahead chainage). Beyond the ends of the
// route the first and the last segments are extended.
#pragma once

#include "numeric/expected.h"
#include "route/definition.h"
#include "route/station.h"

#include <vector>

namespace quenlor::route {

struct ChainSegment {
  double startMeasure = 0, endMeasure = 0;
  double startChainage = 0;
  int chainBreak = -1; // the break at its start; -1 for the segment from BP

  double endChainage() const { return startChainage + (endMeasure - startMeasure); }
};

enum class BreakPlace { Placed, OutsideRoute, OutOfOrder };

class ChainageMap {
public:
  ChainageMap() = default;
  ChainageMap(double startChainage, const std::vector<ChainBreak>& breaks, double length);

  const std::vector<ChainSegment>& segments() const { return segments_; }
  // One for each break given, in the same order.
  const std::vector<BreakPlace>& placesOfBreaks() const { return places_; }

  double chainageAt(double measure) const;
  Station stationAt(double measure) const;
  // Which occurrence of the chainage the point at the measure is (0 when it
  // occurs once, or not on the route): for the behind side of a break, whose
  // chainage is not chainageAt(measure).
  int occurrenceOf(double chainage, double measure) const;

  // Every measure at which the chainage occurs, in route order: none in the
  // gap of a short break or beyond the route, two (or more, where long
  // breaks overlap) in the stretch a long break repeats. A chainage within a
  // micrometre of a segment's end counts as that end.
  std::vector<double> measuresOf(double chainage) const;

  // The measure of one occurrence, or why there is none: the chainage lies in
  // the gap of a short break, beyond the route, or occurs fewer times.
  Expected<double> measureOf(const Station& station) const;

private:
  template <typename Found> void eachMeasureOf(double chainage, Found found) const;
  void findRepeatedStretches();
  bool repeats(double chainage) const;

  struct Stretch {
    double from, to; // chainages
  };

  std::size_t segmentAt(double measure) const;
  std::string whyNoPoint(double chainage) const;

  std::vector<ChainSegment> segments_;
  std::vector<BreakPlace> places_;
  std::vector<ChainBreak> breaks_;
  std::vector<Stretch> repeated_;
};

} // namespace quenlor::route

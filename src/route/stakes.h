// SPDX-License-Identifier: GPL-3.0-or-later
// The stake-out table of a route over any stretch of it, across any number
// of JDs and chain breaks.
//
// Its rows, in route order:
//   - a stake at every whole multiple of the interval (整桩号, the default),
//     or at the first stake's chainage plus whole intervals, counted in
//     chainages within each chain segment (so after a break the stakes keep
//     to the grid of the chainages ahead of it);
//   - every main point of every JD in the stretch: ZH, HY, QZ, YH, HZ, with
//     ZY for ZH = HY and YZ for YH = HZ where a transition is 0, and JD for
//     an angle point without curve;
//   - each chain break as two rows at the same place, its behind chainage
//     then its ahead one; BP and EP where the stretch reaches them.
// A stake within half a millimetre of a main point or of a break's side with
// its chainage gives way to it. In a stretch a long break repeats, both
// occurrences appear, each in its place, with their occurrence numbers.
//
// The table is lazy: stakePositions() lists the rows (measure, station,
// kind, and the JD of a main point or the chain break of a break row)
// without computing a coordinate; the route's point at each is computed
// when the row is shown. The request's measures are kept to the route.
#pragma once

#include "route/route.h"

namespace quenlor::route {

// A stretch given by chainages: from the first occurrence of from to the
// last of to (the whole of a repeated stretch between them), or why not.
Expected<StakeRequest> stakeRequestBetween(const Route& route, double fromChainage,
                                           double toChainage, double interval,
                                           StakeSpacing spacing = StakeSpacing::WholeStations);

// More rows than this are not listed (a hundred kilometres at 0.1 m).
inline constexpr std::size_t kMostStakes = 1'000'000;

struct StakeList {
  std::vector<StakePosition> stakes;
  bool truncated = false; // the interval asked for more than kMostStakes
};

StakeList stakePositions(const Route& route, const StakeRequest& request);

} // namespace quenlor::route

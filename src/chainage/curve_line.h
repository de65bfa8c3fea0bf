// SPDX-License-Identifier: GPL-3.0-or-later
// The curve the boxes describe as a centre line (alignment/centre_line.h),
// every answer from the boxes' own formulas: the point and its tangent at a
// chainage (stakes.h: centreAt, locate), the stake table (stake_table.h).
//
// Its measure is the chainage, and every chainage names one point: before
// ZH on the incoming straight, beyond HZ on the outgoing one, without end.
// It has no chain breaks, so a station's occurrence is not looked at.
//
// Its main points are where their boxes (Text21 to Text25) put them, as the
// stake table of the boxes lists them: ZH, HY, QZ, YH, HZ, each at the
// chainage its box holds, ZY and YZ without transitions (stake_table.h:
// curveMainPoints).
//
// Its pieces, what a plan and a drawing show: the incoming straight back from
// ZH as far as the curve is long (or its tangent, where that is longer), the
// first transition to HY, the arc to YH and the second transition to HZ
// (HY = ZH + Ls, YH = HZ - Ls2, each within the curve's first or second half;
// a piece of no length is left out), and the outgoing straight on to the next
// JD where one is typed, else as far as the incoming one. A curve whose HZ is
// not beyond ZH, or whose ZH or HZ is not a finite point, has no pieces. No
// piece is an exact circle: the arc's point comes from the boxes' series.
#pragma once

#include "alignment/centre_line.h"
#include "chainage/curve_point.h"

#include <array>
#include <optional>
#include <vector>

namespace quenlor {

class BoxCurveLine final : public CentreLine {
public:
  struct Inputs {
    BoxCurve curve;
    std::array<double, 5> mainChainages{}; // ZH, HY, QZ, YH, HZ as their boxes hold them
    std::optional<PlanePoint> nextJd;      // the outgoing straight drawn to it

    bool operator==(const Inputs&) const = default;
  };

  explicit BoxCurveLine(const Inputs& inputs);
  const Inputs& inputs() const { return inputs_; }

  Station stationAt(double measure) const override { return {measure, 0}; }
  std::optional<double> measureOf(const Station& station) const override;
  std::optional<CentrePoint> pointAt(double measure) const override;
  using CentreLine::pointAt; // at a station
  std::optional<Location> locate(PlanePoint p) const override;
  std::unique_ptr<const StakePositions> stakes(const StakeRequest& request) const override;
  const std::vector<NamedPoint>& mainPoints() const override { return mainPoints_; }
  void piecesWithin(PlanePoint low, PlanePoint high,
                    const std::function<void(const Piece&)>& seen) const override;
  std::optional<std::pair<PlanePoint, PlanePoint>> extent() const override { return extent_; }

private:
  void listMainPoints();
  void cutPieces();
  void findExtent();

  Inputs inputs_;
  std::vector<NamedPoint> mainPoints_;
  std::vector<Piece> pieces_;
  std::optional<std::pair<PlanePoint, PlanePoint>> extent_;
};

} // namespace quenlor

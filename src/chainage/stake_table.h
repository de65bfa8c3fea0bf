// SPDX-License-Identifier: GPL-3.0-or-later
// The stake-out table: stakes along the centre line at an interval, the main
// points in their places, each with its centre-line point, the side stakes
// left and right, and the setting-out of all three from the station.
//
// A table may hold a hundred thousand rows, so it keeps only where its
// stakes stand and makes each row when it is asked for: a table costs the
// same to make whatever its length, and the memory it holds does not grow
// with its rows.
#pragma once

#include "chainage/stakes.h"
#include "numeric/strict_number.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

// The regular stakes stand at the whole multiples of the interval between
// start and end, start and end included (整桩号: start 485, interval 20 gives
// 485, 500, 520, ..., end), or at start, start + interval, ..., and the end.
struct StakeTableRequest {
  double start = 0, end = 0, interval = 0;
  StakeSpacing spacing = StakeSpacing::WholeStations;
  std::array<double, 5> mainPoints{}; // chainages of ZH, HY, QZ, YH, HZ (curveMainPoints)

  bool operator==(const StakeTableRequest&) const = default;
};

// The main points of a curve from their chainages (ZH, HY, QZ, YH, HZ), named
// as a route names them: without a first transition (ZH and HY in one place)
// one point ZY, without a second (YH and HZ) one point YZ. A chainage that is
// not a finite number is left out; the rest stay in the order given.
struct NamedChainage {
  double chainage;
  StakeKind kind;
};
std::vector<NamedChainage> curveMainPoints(const std::array<double, 5>& chainages);

class StakeTable {
public:
  struct Stake {
    double chainage;
    StakeKind kind; // ZH ... HZ, or Interval
  };

  StakeTable() = default;
  // The stakes from start to end (swapped when given the other way round). A
  // stake within half a millimetre of a main point becomes that main point. A
  // non-positive interval gives the main points alone. A table that would
  // hold more than kMaxStakeRows stops there, with the main points inside
  // the rows it holds.
  explicit StakeTable(const StakeTableRequest& request);

  const StakeTableRequest& request() const { return request_; }
  std::size_t size() const { return size_; }
  bool truncated() const { return truncated_; }
  Stake at(std::size_t row) const;

private:
  struct MainStake {
    std::size_t row;
    double chainage;
    StakeKind kind;
    bool replacesStake;   // takes the place of a regular stake
    std::size_t inserted; // main points inserted between stakes, up to this one
  };

  double regular(std::size_t i) const; // the i-th regular stake
  std::size_t regularBelow(double chainage) const;
  void placeMainPoints();

  StakeTableRequest request_;
  double low_ = 0, high_ = 0;
  double steps_ = 0;             // stakes at start + i * interval
  double firstMultiple_ = 0;     // the first whole multiple above the start
  double regularTotal_ = 0;      // regular stakes asked for, however many
  std::size_t regularCount_ = 0; // those a table can reach
  std::size_t size_ = 0;
  bool truncated_ = false;
  std::vector<MainStake> mainStakes_; // by row
};

// A row of a stake table, whichever line its stakes stand on: the curve the
// boxes describe, or a whole route.
struct StakeRow {
  double chainage = 0;
  std::string label;     // the chainage as shown: "K3+090.000", "K3+090.000 (2)"
  std::string mainPoint; // "ZH" ... "HZ", "BP", "EP", "断链前", ..., or empty
  std::optional<CentrePoint> centre;
  std::optional<PlanePoint> left, right;
  std::optional<SetOut> setOut, leftSetOut, rightSetOut;
  std::optional<double> design, leftDesign, rightDesign; // design elevations
  // How far each side stake stands from the centre line (a size, metres),
  // and the cross fall of the lanes on its side (per cent, negative falling
  // away from the centre line), where the table knows them.
  std::optional<double> leftOffset, rightOffset, leftFall, rightFall;
};

// A side stake nearer than this to its centre stands on it and is not listed
// on its own (metres).
inline constexpr double kSideOnCentre = 5e-4;

// The side stakes of a row, left and right of its centre point at their
// offsets (sizes), and the setting-out of all three from the station, when
// there is one.
void addSideStakesAndSettingOut(StakeRow& row, double leftOffset, double rightOffset,
                                const std::optional<PlanePoint>& station);
inline void addSideStakesAndSettingOut(StakeRow& row, double offset,
                                       const std::optional<PlanePoint>& station) {
  addSideStakesAndSettingOut(row, offset, offset, station);
}

// A packed angle at the precision asked: 251°37′50″, or the packed number;
// nothing for a value that is not a finite number.
std::string angleText(double packed, Precision precision);

// The columns of a stake table, each with its heading and the text of its
// cell in a row: the one definition for the table on screen, the text and
// the files. The design elevations are columns only of a table that has
// them (a route with its vertical alignment), the side stakes' only of a
// table that sets them off the centre (a side stake at no offset repeats the
// centre stake).
struct StakeColumn {
  std::string_view heading;
  std::string (*cell)(const StakeRow& row, Precision precision);
  bool design;         // a design elevation
  bool side = false;   // of a side stake
  bool setOut = false; // from the station
};
const std::vector<StakeColumn>& stakeColumns(bool withDesign, bool withSides);

// The columns of the same stakes as a coordinate table (逐桩坐标表): the
// chainage, the main point, X, Y, the tangent's azimuth and, where the table
// has them, the design elevations; nothing set out from a station.
const std::vector<StakeColumn>& coordinateColumns(bool withDesign);
std::string_view coordinateSheetTitle(); // 逐桩坐标表

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Field tools on the route the boxes describe: side stakes at right angles to
// the centre line, the chainage and offset of a measured point, and a table
// of stakes to take out. All of them stand on the point-at-chainage geometry,
// so a centre-line point here is the one the chainage box gives.
#pragma once

#include "chainage/route_point.h"
#include "geometry/plane_point.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

// A point of the centre line with the azimuth of the route's tangent there
// (radians, the direction of increasing chainage).
struct CentrePoint {
  PlanePoint at;
  double azimuth;
};

// The tangent follows the same model as the coordinates: along the straights
// their azimuths (the outgoing one as the incoming azimuth plus the
// deflection, as points beyond HZ are placed), on a transition the clothoid's
// angle l^2 / (2 R Ls), on the arc the arc's angle, each turned to the side the
// deflection says. Nothing where the curve faults (a zero radius).
std::optional<CentrePoint> centreAt(RouteInputs route, double chainage);

// The stake at the given offset from the centre line, right of the direction
// of increasing chainage positive, left negative.
std::optional<PlanePoint> sideStake(const RouteInputs& route, double chainage, double offset);

struct Location {
  double chainage, offset; // offset right positive
};

// The chainage and offset of a point: the foot of the perpendicular from the
// point to the centre line, found by iterating on the centre line until the
// along-line residual is below a hundredth of a millimetre. Points beyond the
// ends of the two straights lie on the straights extended. Of several feet
// the nearest is taken. Nothing when no foot is found.
std::optional<Location> locate(const RouteInputs& route, double x, double y);

// A chainage in the surveyors' K-notation: 1234.5678 is "K1+234.568",
// 1999.9996 is "K2+000.000" and -12.5 is "K-0+012.500". Beyond a trillion
// metres a plain number.
std::string kNotation(double chainage);

// Setting-out from the station: packed DMS azimuth and distance.
struct SetOut {
  double azimuthDms, distance;
};
SetOut setOutFrom(double stationX, double stationY, double x, double y);

// A tangent azimuth as packed DMS, reduced to the full circle.
double azimuthDms(double radians);

struct StakeRow {
  double chainage;
  std::string mainPoint; // "ZH" ... "HZ", or empty
  std::optional<CentrePoint> centre;
  std::optional<PlanePoint> left, right;
  std::optional<SetOut> setOut;
};

struct StakeTable {
  std::vector<StakeRow> rows;
  bool truncated = false; // more rows than kMaxStakeRows were asked for
};

inline constexpr std::size_t kMaxStakeRows = 100000;

struct StakeTableRequest {
  double start = 0, end = 0, interval = 0, offset = 0;
  double stationX = 0, stationY = 0;
  std::array<double, 5> mainPoints{}; // chainages of ZH, HY, QZ, YH, HZ

  bool operator==(const StakeTableRequest&) const = default;
};

// A stake every interval from start to end (both included, start and end
// swapped if given the other way round), with the main points in their
// places; a stake within half a millimetre of a main point becomes that main
// point. A non-positive interval gives the main points alone.
StakeTable stakeTable(const RouteInputs& route, const StakeTableRequest& request);

// The columns of a stake table, each with its heading and the text of its
// cell in a row: the one definition for the table on screen and the text.
struct StakeColumn {
  std::string_view heading;
  std::string (*cell)(const StakeRow& row);
};
inline constexpr std::size_t kStakeColumnCount = 11;
const std::array<StakeColumn, kStakeColumnCount>& stakeColumns();

// The table as tab-separated text, a header row first, one line a stake.
std::string stakeTableText(const StakeTable& table);

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stakes.h"

#include "form/main_points.h"
#include "geometry/angle.h"
#include "geometry/azimuth.h"
#include "geometry/constants.h"
#include "geometry/distance.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

// The foot of the perpendicular is sought to a hundredth of a millimetre and
// accepted within a tenth.
constexpr double kAlongTolerance = 1e-5;
constexpr double kAlongAccepted = 1e-4;
constexpr int kMostIterations = 60;
constexpr int kCurveSamples = 64;
constexpr double kSameStake = 0.0005; // half a millimetre
// Beyond this a chainage is written as a plain number.
constexpr double kLargestKChainage = 1e12;

bool finite(double v) { return std::isfinite(v); }

// Angle between the tangent at the stretch's base point and the tangent at l.
double tangentTurn(double l, double r, double ls) {
  if (l <= ls)
    return l * l / (2.0 * r * ls);
  return (l - ls) / r + ls / 2.0 / r;
}

double tangentAzimuth(const RouteInputs& in, Stretch stretch) {
  switch (stretch) {
  case Stretch::IncomingStraight: return in.incomingAzimuth;
  case Stretch::OutgoingStraight: return in.incomingAzimuth + in.deflection;
  case Stretch::FirstHalf:
  case Stretch::SecondHalf: {
    const double l = distanceFromBase(in, stretch);
    const double turn = in.turnSign * tangentTurn(l, in.radius, transitionLengthOf(in));
    return stretch == Stretch::FirstHalf ? in.incomingAzimuth + turn : in.outgoingAzimuth - turn;
  }
  }
  return in.incomingAzimuth;
}

struct Residual {
  double along, across;
};

std::optional<Residual> residualAt(const RouteInputs& route, double k, double x, double y) {
  const auto c = centreAt(route, k);
  if (!c)
    return std::nullopt;
  const double dx = x - c->at.x, dy = y - c->at.y;
  const double ca = std::cos(c->azimuth), sa = std::sin(c->azimuth);
  const Residual r{dx * ca + dy * sa, -dx * sa + dy * ca};
  if (!finite(r.along) || !finite(r.across))
    return std::nullopt;
  return r;
}

// Newton's iteration on the along-line residual, from one starting chainage;
// where the slope is unusable (near the centre of curvature, across a seam of
// the series) it steps by the residual itself, as on a straight.
std::optional<Location> footFrom(const RouteInputs& route, double k, double x, double y) {
  std::optional<Location> best;
  double bestAlong = INFINITY;
  for (int i = 0; i < kMostIterations && finite(k); ++i) {
    const auto r = residualAt(route, k, x, y);
    if (!r)
      return best;
    if (std::fabs(r->along) < bestAlong) {
      bestAlong = std::fabs(r->along);
      best = Location{k, r->across};
    }
    if (bestAlong < kAlongTolerance)
      break;
    const double h = std::max(1e-3, 1e-9 * std::fabs(k));
    const auto ahead = residualAt(route, k + h, x, y);
    const auto behind = residualAt(route, k - h, x, y);
    const double slope = ahead && behind ? (ahead->along - behind->along) / (2 * h) : -1.0;
    k += slope < -0.05 ? -r->along / slope : r->along;
  }
  if (bestAlong > kAlongAccepted)
    return std::nullopt;
  return best;
}

// Chainages to start the search from: the point's projections on the two
// straights and the nearest of a few points along the curve.
std::vector<double> startingChainages(const RouteInputs& route, double x, double y) {
  std::vector<double> starts;
  for (const double k : {route.zhChainage, route.hzChainage})
    if (const auto r = residualAt(route, k, x, y))
      starts.push_back(k + r->along);
  const double length = route.hzChainage - route.zhChainage;
  if (length > 0 && finite(length)) {
    double nearest = INFINITY, at = route.zhChainage;
    for (int i = 0; i <= kCurveSamples; ++i) {
      const double k = route.zhChainage + length * i / kCurveSamples;
      if (const auto c = centreAt(route, k)) {
        const double d = std::hypot(x - c->at.x, y - c->at.y);
        if (d < nearest) {
          nearest = d;
          at = k;
        }
      }
    }
    starts.push_back(at);
  }
  return starts;
}

std::string numberOrEmpty(const std::optional<double>& v) {
  return v ? formatNumber(*v) : std::string();
}

} // namespace

std::optional<CentrePoint> centreAt(RouteInputs route, double chainage) {
  route.chainage = chainage;
  const RoutePoint p = routePoint(route);
  const CentrePoint c{p.at, tangentAzimuth(route, p.stretch)};
  if (!isFinite(c.at) || !finite(c.azimuth))
    return std::nullopt;
  return c;
}

std::optional<PlanePoint> sideStake(const RouteInputs& route, double chainage, double offset) {
  const auto c = centreAt(route, chainage);
  if (!c)
    return std::nullopt;
  // Right of the direction of travel, with X north and Y east: (-sin, cos).
  const PlanePoint stake{c->at.x - offset * std::sin(c->azimuth),
                         c->at.y + offset * std::cos(c->azimuth)};
  if (!isFinite(stake))
    return std::nullopt;
  return stake;
}

std::optional<Location> locate(const RouteInputs& route, double x, double y) {
  if (!finite(x) || !finite(y))
    return std::nullopt;
  std::optional<Location> nearest;
  for (const double start : startingChainages(route, x, y)) {
    const auto foot = footFrom(route, start, x, y);
    if (foot && (!nearest || std::fabs(foot->offset) < std::fabs(nearest->offset)))
      nearest = foot;
  }
  return nearest;
}

SetOut setOutFrom(double stationX, double stationY, double x, double y) {
  SetOut s{};
  fwjjs(s.azimuthDms, stationX, stationY, x, y);
  s.distance = planeDistance(stationX, stationY, x, y);
  return s;
}

double azimuthDms(double radians) {
  double w = std::fmod(radians, kTwoPi);
  if (w < 0)
    w += kTwoPi;
  return packedOf(w);
}

std::string kNotation(double chainage) {
  if (!finite(chainage) || std::fabs(chainage) >= kLargestKChainage)
    return finite(chainage) ? formatNumber(chainage) : std::string();
  // Whole millimetres first, so that 999.9996 m becomes K1+000.000; a
  // negative chainage keeps its sign in front of the kilometres.
  const double millimetres = std::round(std::fabs(chainage) * 1000);
  const double km = std::floor(millimetres / 1e6);
  const double metres = (millimetres - km * 1e6) / 1000;
  const char* sign = chainage < 0 && millimetres > 0 ? "-" : "";
  char text[64];
  std::snprintf(text, sizeof text, "K%s%.0f+%07.3f", sign, km, metres);
  return text;
}

StakeTable stakeTable(const RouteInputs& route, const StakeTableRequest& request) {
  StakeTable table;
  double start = request.start, end = request.end;
  if (!finite(start) || !finite(end))
    return table;
  if (start > end)
    std::swap(start, end);

  std::vector<StakeRow> rows;
  const double interval = request.interval;
  if (interval > 0 && finite(interval)) {
    const double steps = std::floor((end - start) / interval);
    const double count = std::min(steps + 1, double(kMaxStakeRows));
    table.truncated = steps + 1 > double(kMaxStakeRows);
    for (std::size_t i = 0; i < std::size_t(count); ++i)
      rows.push_back({start + double(i) * interval, {}, {}, {}, {}, {}});
    if (!table.truncated && rows.back().chainage < end)
      rows.push_back({end, {}, {}, {}, {}, {}});
  }
  for (std::size_t i = 0; i < request.mainPoints.size(); ++i) {
    const double k = request.mainPoints[i];
    if (!(k >= start && k <= end))
      continue;
    // A stake that the table would show at the same millimetre is the main
    // point itself.
    const auto same = std::find_if(rows.begin(), rows.end(), [k](const StakeRow& r) {
      return r.mainPoint.empty() && std::fabs(r.chainage - k) < kSameStake;
    });
    if (same != rows.end())
      *same = {k, std::string(kMainPoints[i].name), {}, {}, {}, {}};
    else
      rows.push_back({k, std::string(kMainPoints[i].name), {}, {}, {}, {}});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const StakeRow& a, const StakeRow& b) { return a.chainage < b.chainage; });

  const double side = std::fabs(request.offset);
  for (StakeRow& row : rows) {
    row.centre = centreAt(route, row.chainage);
    if (!row.centre)
      continue;
    row.left = sideStake(route, row.chainage, -side);
    row.right = sideStake(route, row.chainage, side);
    row.setOut = setOutFrom(request.stationX, request.stationY, row.centre->at.x, row.centre->at.y);
  }
  table.rows = std::move(rows);
  return table;
}

namespace {

std::string cellOf(const std::optional<double>& v) { return numberOrEmpty(v); }

template <class T, class F> std::optional<double> when(const std::optional<T>& v, F value) {
  return v ? std::optional(value(*v)) : std::nullopt;
}

} // namespace

const std::array<StakeColumn, kStakeColumnCount>& stakeColumns() {
  using R = const StakeRow&;
  static const std::array<StakeColumn, kStakeColumnCount> columns{{
      {"桩号", [](R r) { return kNotation(r.chainage); }},
      {"主点", [](R r) { return r.mainPoint; }},
      {"X", [](R r) { return cellOf(when(r.centre, [](auto& c) { return c.at.x; })); }},
      {"Y", [](R r) { return cellOf(when(r.centre, [](auto& c) { return c.at.y; })); }},
      {"切线方位角",
       [](R r) { return cellOf(when(r.centre, [](auto& c) { return azimuthDms(c.azimuth); })); }},
      {"左桩X", [](R r) { return cellOf(when(r.left, [](auto& p) { return p.x; })); }},
      {"左桩Y", [](R r) { return cellOf(when(r.left, [](auto& p) { return p.y; })); }},
      {"右桩X", [](R r) { return cellOf(when(r.right, [](auto& p) { return p.x; })); }},
      {"右桩Y", [](R r) { return cellOf(when(r.right, [](auto& p) { return p.y; })); }},
      {"放线方位角",
       [](R r) { return cellOf(when(r.setOut, [](auto& s) { return s.azimuthDms; })); }},
      {"放线距离", [](R r) { return cellOf(when(r.setOut, [](auto& s) { return s.distance; })); }},
  }};
  return columns;
}

std::string stakeTableText(const StakeTable& table) {
  std::string text;
  for (const StakeColumn& column : stakeColumns()) {
    text += column.heading;
    text += &column == &stakeColumns().back() ? '\n' : '\t';
  }
  for (const StakeRow& row : table.rows)
    for (const StakeColumn& column : stakeColumns()) {
      text += column.cell(row);
      text += &column == &stakeColumns().back() ? '\n' : '\t';
    }
  return text;
}

} // namespace quenlor

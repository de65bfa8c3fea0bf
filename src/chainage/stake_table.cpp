// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stake_table.h"

#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <ostream>

namespace quenlor {
namespace {

// A stake within half a millimetre of another is the same stake.
constexpr double kSameStake = 0.0005;
// More regular stakes than a double counts exactly are not told apart.
constexpr double kMostRegularStakes = 9007199254740992.0; // 2^53

bool finite(double v) { return std::isfinite(v); }

} // namespace

std::vector<NamedChainage> curveMainPoints(const std::array<double, 5>& k) {
  constexpr StakeKind kKinds[] = {StakeKind::ZH, StakeKind::HY, StakeKind::QZ, StakeKind::YH,
                                  StakeKind::HZ};
  const bool noFirst = k[0] == k[1], noSecond = k[3] == k[4];
  std::vector<NamedChainage> named;
  for (std::size_t i = 0; i < k.size(); ++i) {
    if (!finite(k[i]) || (i == 1 && noFirst) || (i == 3 && noSecond))
      continue;
    StakeKind kind = kKinds[i];
    if (i == 0 && noFirst)
      kind = StakeKind::ZY;
    if (i == 4 && noSecond)
      kind = StakeKind::YZ;
    named.push_back({k[i], kind});
  }
  return named;
}

StakeTable::StakeTable(const StakeTableRequest& request) : request_(request) {
  if (!finite(request.start) || !finite(request.end))
    return;
  low_ = std::min(request.start, request.end);
  high_ = std::max(request.start, request.end);
  const double step = request.interval;
  double count = 0;
  if (step > 0 && finite(step)) {
    if (request.spacing == StakeSpacing::FromStart) {
      // start, start + step, ..., and the end where the steps do not reach it
      steps_ = std::floor((high_ - low_) / step) + 1;
      count = steps_ + (low_ + (steps_ - 1) * step < high_ ? 1 : 0);
    } else {
      // start, the multiples strictly between (none within half a millimetre
      // of either end), the end
      double first = std::floor(low_ / step) + 1;
      if (first * step - low_ < kSameStake)
        ++first;
      double last = std::ceil(high_ / step) - 1;
      if (high_ - last * step < kSameStake)
        --last;
      firstMultiple_ = first;
      count = 1 + std::max(0.0, last - first + 1) + (high_ > low_ ? 1 : 0);
    }
  }
  count = std::min(count, kMostRegularStakes);
  regularCount_ = std::size_t(std::min(count, double(kMaxStakeRows) + 1));
  regularTotal_ = count;
  placeMainPoints();
}

double StakeTable::regular(std::size_t i) const {
  const double step = request_.interval;
  const double index = double(i);
  if (request_.spacing == StakeSpacing::FromStart)
    return index < steps_ ? low_ + index * step : high_;
  if (i == 0)
    return low_;
  if (index + 1 == regularTotal_)
    return high_;
  return (firstMultiple_ + index - 1) * step;
}

std::size_t StakeTable::regularBelow(double chainage) const {
  std::size_t lo = 0, hi = regularCount_;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (regular(mid) < chainage)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

void StakeTable::placeMainPoints() {
  std::vector<NamedChainage> mains = curveMainPoints(request_.mainPoints);
  std::erase_if(mains,
                [this](const NamedChainage& m) { return m.chainage < low_ || m.chainage > high_; });
  std::stable_sort(mains.begin(), mains.end(), [](const NamedChainage& a, const NamedChainage& b) {
    return a.chainage < b.chainage;
  });

  std::vector<std::size_t> replaced;
  std::size_t inserted = 0;
  for (const auto& [k, kind] : mains) {
    const std::size_t below = regularBelow(k);
    std::optional<std::size_t> same;
    for (const std::size_t i : {below - 1, below})
      if (i < regularCount_ && std::fabs(regular(i) - k) < kSameStake &&
          std::find(replaced.begin(), replaced.end(), i) == replaced.end())
        same = i;
    if (same) {
      replaced.push_back(*same);
      mainStakes_.push_back({*same + inserted, k, kind, true, inserted});
    } else {
      ++inserted;
      mainStakes_.push_back({below + inserted - 1, k, kind, false, inserted});
    }
  }

  const double total = regularTotal_ + double(inserted);
  truncated_ = total > double(kMaxStakeRows);
  size_ = truncated_ ? kMaxStakeRows : std::size_t(total);
  std::erase_if(mainStakes_, [this](const MainStake& m) { return m.row >= size_; });
}

StakeTable::Stake StakeTable::at(std::size_t row) const {
  const auto next = std::lower_bound(mainStakes_.begin(), mainStakes_.end(), row,
                                     [](const MainStake& m, std::size_t r) { return m.row < r; });
  if (next != mainStakes_.end() && next->row == row)
    return {next->chainage, next->kind};
  const std::size_t insertedBefore = next == mainStakes_.begin() ? 0 : std::prev(next)->inserted;
  return {regular(row - insertedBefore), StakeKind::Interval};
}

void addSideStakesAndSettingOut(StakeRow& r, double leftOffset, double rightOffset,
                                const std::optional<PlanePoint>& station) {
  if (!r.centre)
    return;
  r.leftOffset = std::fabs(leftOffset);
  r.rightOffset = std::fabs(rightOffset);
  r.left = sideStake(*r.centre, -*r.leftOffset);
  r.right = sideStake(*r.centre, *r.rightOffset);
  if (station) {
    r.setOut = setOutFrom(*station, r.centre->point);
    r.leftSetOut = setOutFrom(*station, *r.left);
    r.rightSetOut = setOutFrom(*station, *r.right);
  }
}

std::string angleText(double packed, Precision precision) {
  if (!finite(packed))
    return {};
  return precision == Precision::Full ? formatNumber(packed) : dmsTextOfPacked(packed);
}

namespace {

std::string lengthText(const std::optional<double>& v, Precision precision) {
  return v ? lengthText(*v, precision) : std::string();
}

std::string angleText(const std::optional<double>& packed, Precision precision) {
  return packed ? angleText(*packed, precision) : std::string();
}

template <class T, class F> std::optional<double> when(const std::optional<T>& v, F value) {
  return v ? std::optional(value(*v)) : std::nullopt;
}

using Row = const StakeRow&;
using P = Precision;

std::string x(const std::optional<PlanePoint>& p, P precision) {
  return lengthText(when(p, [](auto& q) { return q.x; }), precision);
}
std::string y(const std::optional<PlanePoint>& p, P precision) {
  return lengthText(when(p, [](auto& q) { return q.y; }), precision);
}
std::string azimuth(const std::optional<SetOut>& s, P precision) {
  return angleText(when(s, [](auto& t) { return t.azimuthDms; }), precision);
}
std::string distance(const std::optional<SetOut>& s, P precision) {
  return lengthText(when(s, [](auto& t) { return t.distance; }), precision);
}
std::optional<PlanePoint> centre(Row r) {
  return r.centre ? std::optional(r.centre->point) : std::nullopt;
}
std::string design(const std::optional<double>& v, P precision) { return lengthText(v, precision); }
// A fall to the hundredth of a per cent, in full at full precision.
std::string fall(const std::optional<double>& v, P precision) {
  if (!v || !finite(*v))
    return {};
  if (precision == Precision::Full)
    return formatNumber(*v);
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", *v == 0 ? 0.0 : *v);
  return text;
}

} // namespace

const std::vector<StakeColumn>& stakeColumns(bool withDesign, bool withSides) {
  static const std::vector<StakeColumn> all{
      {"桩号", [](Row r, P) { return r.label; }, false},
      {"主点", [](Row r, P) { return r.mainPoint; }, false},
      {"X", [](Row r, P p) { return x(centre(r), p); }, false},
      {"Y", [](Row r, P p) { return y(centre(r), p); }, false},
      {"切线方位角",
       [](Row r, P p) {
         return angleText(when(r.centre, [](auto& c) { return azimuthDms(c.azimuth); }), p);
       },
       false},
      {"设计高程", [](Row r, P p) { return design(r.design, p); }, true},
      {"放线方位角", [](Row r, P p) { return azimuth(r.setOut, p); }, false, false, true},
      {"放线距离", [](Row r, P p) { return distance(r.setOut, p); }, false, false, true},
      {"左桩X", [](Row r, P p) { return x(r.left, p); }, false, true},
      {"左桩Y", [](Row r, P p) { return y(r.left, p); }, false, true},
      {"左桩边距", [](Row r, P p) { return lengthText(r.leftOffset, p); }, false, true},
      {"左横坡%", [](Row r, P p) { return fall(r.leftFall, p); }, true, true},
      {"左桩设计高程", [](Row r, P p) { return design(r.leftDesign, p); }, true, true},
      {"左桩方位角", [](Row r, P p) { return azimuth(r.leftSetOut, p); }, false, true, true},
      {"左桩距离", [](Row r, P p) { return distance(r.leftSetOut, p); }, false, true, true},
      {"右桩X", [](Row r, P p) { return x(r.right, p); }, false, true},
      {"右桩Y", [](Row r, P p) { return y(r.right, p); }, false, true},
      {"右桩边距", [](Row r, P p) { return lengthText(r.rightOffset, p); }, false, true},
      {"右横坡%", [](Row r, P p) { return fall(r.rightFall, p); }, true, true},
      {"右桩设计高程", [](Row r, P p) { return design(r.rightDesign, p); }, true, true},
      {"右桩方位角", [](Row r, P p) { return azimuth(r.rightSetOut, p); }, false, true, true},
      {"右桩距离", [](Row r, P p) { return distance(r.rightSetOut, p); }, false, true, true},
  };
  // The four choices, each made once.
  static const std::array<std::vector<StakeColumn>, 4> chosen = [] {
    std::array<std::vector<StakeColumn>, 4> lists;
    for (std::size_t i = 0; i < lists.size(); ++i)
      for (const StakeColumn& c : all)
        if ((!c.design || (i & 1)) && (!c.side || (i & 2)))
          lists[i].push_back(c);
    return lists;
  }();
  return chosen[(withDesign ? 1 : 0) + (withSides ? 2 : 0)];
}

std::string_view coordinateSheetTitle() { return "逐桩坐标表"; }

const std::vector<StakeColumn>& coordinateColumns(bool withDesign) {
  static const std::array<std::vector<StakeColumn>, 2> chosen = [] {
    std::array<std::vector<StakeColumn>, 2> lists;
    for (std::size_t i = 0; i < lists.size(); ++i)
      std::ranges::copy_if(stakeColumns(i == 1, false), std::back_inserter(lists[i]),
                           [](const StakeColumn& c) { return !c.setOut; });
    return lists;
  }();
  return chosen[withDesign ? 1 : 0];
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "section/sections.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quenlor::section {
namespace {

constexpr double kOverlapTolerance = 1e-6; // metres of overlap that are rounding
constexpr double kEdgeTolerance = 1e-6;    // metres beyond an edge that still count as the edge

bool finite(double a, double b, double c, double d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

bool usableSize(double v) { return std::isfinite(v) && v >= 0; }

double lerp(double a, double b, double t) { return a + (b - a) * t; }

const std::vector<Part>& partsOf(const Template& road, Side side) {
  return side == Side::Left ? road.left : road.right;
}

// Walks a side outwards from the centre line: the lanes, the widening and the
// hard shoulders in one plane (each rise from its offset), then each soil
// shoulder from where the one before ends. `seen` gets every strip; the end
// (width and edge rise) is returned. Every query goes through here, so the
// edge, the parts and the rise at an offset agree to the last digit.
template <typename Seen>
std::pair<double, double> walkSide(const Template& road, const SideLayout& layout, Side side,
                                   double fall, double widening, double centreRise, Seen&& seen) {
  const std::vector<Part>& parts = partsOf(road, side);
  const auto planeRise = [&](double x) { return centreRise + x * fall / kPercent; };
  double x = 0;
  const auto plane = [&](std::optional<std::size_t> part, PartKind kind, double width) {
    const double to = x + width;
    seen(PartSection{part, kind, x, to, fall, planeRise(x), planeRise(to)});
    x = to;
  };
  for (std::size_t i : layout.laneParts)
    plane(i, PartKind::Lane, parts[i].width);
  if (widening > 0)
    plane(std::nullopt, PartKind::Lane, widening);
  for (std::size_t i : layout.hardShoulderParts)
    plane(i, PartKind::HardShoulder, parts[i].width);
  double rise = planeRise(x);
  for (const Shoulder& s : layout.shoulders) {
    const double f = shoulderFall(s.fall, layout.crown, fall);
    const double to = x + s.width;
    const double end = rise + (to - x) * f / kPercent;
    seen(PartSection{s.part, PartKind::SoilShoulder, x, to, f, rise, end});
    x = to;
    rise = end;
  }
  return {x, rise};
}

// The centre line's rise where the falls are given per side (the station
// table): the lanes' edge of the side turned down (about the inner edge) or
// up (about the outer edge) keeps its elevation.
double tableCentreRise(Axis axis, const Layout& l, double leftFall, double rightFall) {
  const double left = l.left.lanes * (l.left.crown - leftFall) / kPercent;
  const double right = l.right.lanes * (l.right.crown - rightFall) / kPercent;
  switch (axis) {
  case Axis::Centre: return 0;
  case Axis::InnerEdge: return std::max(left, right);
  case Axis::OuterEdge: return std::min(left, right);
  }
  return 0;
}

} // namespace

Sections Sections::build(Template road, std::vector<CurveSpan> curves, StationTable table,
                         double routeStart, double routeEnd) {
  Sections s;
  s.road_ = std::move(road);
  s.curves_ = std::move(curves);
  s.table_ = std::move(table);
  s.layout_ = layoutOf(s.road_);
  for (const PartCheck& c : s.layout_.checks)
    s.checks_.push_back({CheckKind::Part, 0, std::nullopt, c.amount, c});
  s.addCurves(routeStart, routeEnd);
  s.addRows();
  return s;
}

void Sections::addCurves(double routeStart, double routeEnd) {
  for (std::size_t i = 0; i < curves_.size(); ++i)
    addCurve(i);
  std::stable_sort(used_.begin(), used_.end(), [](const Curve& a, const Curve& b) {
    return a.runoffs.entryStart < b.runoffs.entryStart;
  });
  starts_.reserve(used_.size());
  reachEnd_.reserve(used_.size());
  for (const Curve& c : used_) {
    starts_.push_back(c.runoffs.entryStart);
    reachEnd_.push_back(
        std::max(reachEnd_.empty() ? c.runoffs.exitEnd : reachEnd_.back(), c.runoffs.exitEnd));
    if (std::isless(c.runoffs.entryStart, routeStart))
      checks_.push_back({CheckKind::RunoffBeforeStart,
                         c.index,
                         std::nullopt,
                         routeStart - c.runoffs.entryStart,
                         {}});
    if (std::isgreater(c.runoffs.exitEnd, routeEnd))
      checks_.push_back(
          {CheckKind::RunoffBeyondEnd, c.index, std::nullopt, c.runoffs.exitEnd - routeEnd, {}});
  }
  checkOverlaps();
}

void Sections::addCurve(std::size_t index) {
  const CurveSpan& c = curves_[index];
  const auto report = [&](CheckKind kind, double amount = 0) {
    checks_.push_back({kind, index, std::nullopt, amount, {}});
  };
  if (!finite(c.zh, c.hy, c.yh, c.hz) || !(c.zh <= c.hy && c.hy <= c.yh && c.yh <= c.hz)) {
    report(CheckKind::MainPointsUnusable);
    return;
  }
  if (c.turn == 0)
    return;
  const CurveSettings& set = c.settings;
  double full = set.superelevation, widening = set.widening;
  if (!usableSize(full)) {
    report(CheckKind::SuperelevationUnusable);
    full = 0;
  }
  if (!usableSize(widening)) {
    report(CheckKind::WideningUnusable);
    widening = 0;
  }
  if (full == 0 && widening == 0)
    return;

  Curve used;
  used.index = index;
  used.rightIsInner = c.turn > 0;
  const SideLayout& inner = used.rightIsInner ? layout_.right : layout_.left;
  const SideLayout& outer = used.rightIsInner ? layout_.left : layout_.right;
  if (full > 0 && full < -inner.crown) {
    report(CheckKind::SuperelevationBelowCrown, -inner.crown - full);
    full = -inner.crown;
  }
  used.rotation = {outer.lanes, inner.lanes, outer.crown, inner.crown, full, set.axis};
  used.widening = widening;
  used.shape = set.shape;

  const double ls1 = c.hy - c.zh, ls2 = c.hz - c.yh;
  double l1 = ls1, l2 = ls2;
  if (set.runoff && usableSize(*set.runoff))
    l1 = l2 = *set.runoff;
  else if (set.runoff)
    report(CheckKind::RunoffUnusable);
  if (l1 == 0)
    report(CheckKind::NoRunoff, c.hy);
  if (l2 == 0)
    report(CheckKind::NoRunoff, c.yh);
  if (ls1 > 0 && l1 > ls1)
    report(CheckKind::RunoffLongerThanTransition, l1 - ls1);
  // One typed runoff over equal transitions is one mistake, said once.
  if (ls2 > 0 && l2 > ls2 && !(ls1 == ls2 && l1 == l2))
    report(CheckKind::RunoffLongerThanTransition, l2 - ls2);
  used.runoffs = placeRunoffs(c, l1, l2);
  used_.push_back(used);
}

void Sections::checkOverlaps() {
  for (std::size_t k = 1; k < used_.size(); ++k) {
    const double overlap = used_[k - 1].runoffs.exitEnd - used_[k].runoffs.entryStart;
    if (overlap > kOverlapTolerance)
      checks_.push_back(
          {CheckKind::RunoffsOverlap, used_[k - 1].index, used_[k].index, overlap, {}});
  }
}

void Sections::addRows() {
  for (std::size_t i = 0; i < table_.rows.size(); ++i) {
    const StationRow& r = table_.rows[i];
    if (!finite(r.measure, r.leftFall, r.rightFall, 0) || !usableSize(r.leftWidening) ||
        !usableSize(r.rightWidening)) {
      checks_.push_back({CheckKind::RowUnusable, i, std::nullopt, 0, {}});
    } else if (!rowMeasures_.empty() && !(r.measure > rowMeasures_.back())) {
      checks_.push_back({CheckKind::RowOutOfOrder, i, rowIndex_.back(), 0, {}});
    } else {
      rows_.push_back(r);
      rowIndex_.push_back(i);
      rowMeasures_.push_back(r.measure);
    }
  }
}

std::optional<Runoffs> Sections::runoffsOf(std::size_t curve) const {
  for (const Curve& c : used_)
    if (c.index == curve)
      return c.runoffs;
  return std::nullopt;
}

std::optional<Rotation> Sections::rotationOf(std::size_t curve) const {
  for (const Curve& c : used_)
    if (c.index == curve)
      return c.rotation;
  return std::nullopt;
}

bool Sections::inTable(double measure) const {
  return !rowMeasures_.empty() && measure >= rowMeasures_.front() && measure <= rowMeasures_.back();
}

Section Sections::fromTable(double measure) const {
  const std::size_t last = rows_.size() - 1;
  const std::size_t j = std::min<std::size_t>(
      std::upper_bound(rowMeasures_.begin(), rowMeasures_.end(), measure) - rowMeasures_.begin(),
      last);
  const StationRow& b = rows_[j];
  const StationRow& a = rows_[j == 0 ? 0 : j - 1];
  const double t = j == 0 ? 1 : (measure - a.measure) / (b.measure - a.measure);
  Section s;
  s.measure = measure;
  s.source = Source::Table;
  s.left.fall = lerp(a.leftFall, b.leftFall, t);
  s.right.fall = lerp(a.rightFall, b.rightFall, t);
  s.left.widening = lerp(a.leftWidening, b.leftWidening, t);
  s.right.widening = lerp(a.rightWidening, b.rightWidening, t);
  s.centreRise = tableCentreRise(table_.axis, layout_, s.left.fall, s.right.fall);
  return s;
}

// The normal crown, changed by every curve that reaches the measure; the
// curves are searched by the start of their entry runoffs, then walked back
// while an earlier one may still reach it.
Section Sections::fromCurves(double measure) const {
  Section s;
  s.measure = measure;
  double left = 0, right = 0, leftWidening = 0, rightWidening = 0, rise = 0; // the changes
  for (std::size_t j = std::upper_bound(starts_.begin(), starts_.end(), measure) - starts_.begin();
       j-- > 0 && reachEnd_[j] >= measure;) {
    const Curve& c = used_[j];
    if (c.runoffs.exitEnd < measure)
      continue;
    const double k = runoffProgress(c.runoffs, measure);
    const Rotated r = rotate(c.rotation, k);
    const double outer = r.outerFall - c.rotation.outerCrown;
    const double inner = r.innerFall - c.rotation.innerCrown;
    const double widening = wideningAt(c.widening, c.shape, k);
    left += c.rightIsInner ? outer : inner;
    right += c.rightIsInner ? inner : outer;
    (c.rightIsInner ? rightWidening : leftWidening) += widening;
    rise += r.centreRise;
    s.source = Source::Curve;
    s.curve = c.index;
  }
  s.left.fall = layout_.left.crown + left;
  s.right.fall = layout_.right.crown + right;
  s.left.widening = leftWidening;
  s.right.widening = rightWidening;
  s.centreRise = rise;
  return s;
}

void Sections::sideFinish(SideSection& side, Side which, double centreRise) const {
  const auto [width, rise] = walkSide(road_, layout_.side(which), which, side.fall, side.widening,
                                      centreRise, [](const PartSection&) {});
  side.width = width;
  side.edgeRise = rise;
}

std::optional<Section> Sections::at(double measure) const {
  if (!hasTemplate() || !std::isfinite(measure))
    return std::nullopt;
  Section s = inTable(measure) ? fromTable(measure) : fromCurves(measure);
  sideFinish(s.left, Side::Left, s.centreRise);
  sideFinish(s.right, Side::Right, s.centreRise);
  return s;
}

std::vector<PartSection> Sections::parts(const Section& section, Side side) const {
  std::vector<PartSection> list;
  const SideSection& s = section.side(side);
  walkSide(road_, layout_.side(side), side, s.fall, s.widening, section.centreRise,
           [&](const PartSection& p) { list.push_back(p); });
  return list;
}

std::optional<double> Sections::riseAt(const Section& section, double offset) const {
  if (!hasTemplate() || !std::isfinite(offset))
    return std::nullopt;
  const Side side = offset < 0 ? Side::Left : Side::Right;
  const SideSection& s = section.side(side);
  const double x = std::min(std::fabs(offset), s.width);
  if (std::fabs(offset) > s.width + kEdgeTolerance)
    return std::nullopt;
  std::optional<double> rise;
  walkSide(road_, layout_.side(side), side, s.fall, s.widening, section.centreRise,
           [&](const PartSection& p) {
             if (!rise && x <= p.to)
               rise = x == p.to ? p.outerRise : p.innerRise + (x - p.from) * p.fall / kPercent;
           });
  return rise.value_or(section.centreRise); // a side of no width
}

} // namespace quenlor::section

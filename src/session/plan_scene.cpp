// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/plan_scene.h"

#include "chainage/curve_point.h"
#include "chainage/stakes.h"
#include "form/form.h"
#include "form/main_points.h"
#include "numeric/chainage_text.h"
#include "numeric/fault.h"
#include "section/sections.h"
#include "session/curve_of_boxes.h"
#include "session/field_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlor {
namespace {

// A line strays from the true one by less than this part of a pixel.
constexpr double kStrayPixels = 0.5;
// Sampled points closer than this many pixels are merged.
constexpr double kMergePixels = 1.0;
constexpr int kMostSamplesPerPiece = 2000;
// Pieces shorter than this many pixels are drawn as part of a coarse line.
constexpr double kCoarsePixels = 3.0;
// Pieces this close along the line follow one another (their measures are
// sums rounded each its own way); no piece between them is left out.
constexpr double kSameMeasure = 1e-6;
// The boxes' curve is sampled to this part of its extent.
constexpr double kCurveTolerance = 1e-6;

// Main points closer than this are marked as one.
constexpr double kSamePlace = 1e-6;
// A point of the boxes further than this from the curve's is out of date.
constexpr double kStale = 1e-3;

using Bounds = PlanScene::Bounds;

bool holds(const Bounds& b, const PlanePoint& p) {
  return p.x >= b.minX && p.x <= b.maxX && p.y >= b.minY && p.y <= b.maxY;
}

std::optional<double> number(const Form& form, Box box) {
  const double value = form.number(box);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<PlanePoint> point(const Form& form, Box x, Box y) {
  const auto px = number(form, x);
  const auto py = number(form, y);
  if (!px || !py || form.text(x).empty() || form.text(y).empty())
    return std::nullopt;
  return PlanePoint{*px, *py};
}

// How many chords a piece of this least radius and length needs so that
// each chord's sagitta, R (1 - cos(theta / 2)), stays under the tolerance.
int chordsFor(const Piece& piece, double tolerance) {
  const double length = piece.to - piece.from, radius = piece.leastRadius;
  if (!(radius > 0) || !std::isfinite(radius))
    return 1;
  if (!(tolerance > 0))
    return kMostSamplesPerPiece;
  const double angle = 2 * std::acos(std::max(-1.0, 1 - tolerance / radius));
  const double steps = std::ceil(length / (radius * std::max(angle, 1e-9)));
  return int(std::clamp(steps, 1.0, double(kMostSamplesPerPiece)));
}

std::vector<Polyline>& listOf(PlanScene& scene, PieceKind kind) {
  switch (kind) {
  case PieceKind::Straight: return scene.straights;
  case PieceKind::Arc: return scene.arcs;
  case PieceKind::Transition: break;
  }
  return scene.transitions;
}

// The piece as chords within the tolerance, points closer than `merge`
// merged (its ends always kept); a point that is not there is left out.
void addPiece(PlanScene& scene, const CentreLine& line, const Piece& piece, double tolerance,
              double merge, bool picked) {
  const int steps = chordsFor(piece, tolerance);
  Polyline drawn;
  for (int i = 0; i <= steps; ++i) {
    const double m = i == steps ? piece.to : piece.from + (piece.to - piece.from) * i / steps;
    const auto at = line.pointAt(m);
    if (!at)
      continue;
    if (!drawn.empty() && i < steps &&
        std::hypot(at->point.x - drawn.back().x, at->point.y - drawn.back().y) < merge)
      continue;
    drawn.push_back(at->point);
  }
  if (drawn.size() < 2)
    return;
  if (picked)
    scene.picked.push_back(drawn);
  listOf(scene, piece.kind).push_back(std::move(drawn));
}

// A stretch of short pieces as one line of the straights' colour, sampled
// along the centre line `step` apart.
void addCoarse(PlanScene& scene, const CentreLine& line, double from, double to, double step) {
  Polyline drawn;
  for (double m = from;; m = std::min(m + step, to)) {
    if (const auto at = line.pointAt(m))
      drawn.push_back(at->point);
    if (m >= to)
      break;
  }
  if (drawn.size() >= 2)
    scene.straights.push_back(std::move(drawn));
}

// One marker a main point, named with its station; main points in one place
// share one marker.
void markMainPoints(PlanScene& scene, const CentreLine& line, const std::vector<NamedPoint>& points,
                    const std::optional<Bounds>& view) {
  std::optional<std::size_t> previous; // index of the last main point's marker
  std::string names;
  for (const NamedPoint& m : points) {
    const auto at = line.pointAt(m.measure);
    if (!at || (view && !holds(*view, at->point)))
      continue;
    const std::string name = line.pointName(m.kind, m.index);
    const std::string station = " " + stationText(line.stationAt(m.measure));
    if (previous) {
      PlanMarker& last = scene.markers[*previous];
      if (std::hypot(last.at.x - at->point.x, last.at.y - at->point.y) < kSamePlace) {
        names += "/" + name;
        last.label = names + station;
        continue;
      }
    }
    names = name;
    previous = scene.markers.size();
    scene.markers.push_back({MarkerKind::MainPoint, at->point, names + station});
  }
}

// The main points on the pieces in view, met piece by piece in order along
// the line: all where few enough, else the picked owner's.
class MainPointsInView {
public:
  MainPointsInView(const CentreLine& line, std::optional<int> pickedOwner)
      : all_(line.mainPoints()), next_(all_.begin()), pickedOwner_(pickedOwner) {}

  void on(const Piece& piece) {
    next_ = std::lower_bound(next_, all_.end(), piece.from,
                             [](const NamedPoint& m, double from) { return m.measure < from; });
    for (; next_ != all_.end() && next_->measure <= piece.to; ++next_) {
      if (on_.size() <= kMostMainPointsShown)
        on_.push_back(*next_);
      if (pickedOwner_ && next_->index == *pickedOwner_)
        picked_.push_back(*next_);
    }
  }
  const std::vector<NamedPoint>& shown() const {
    return on_.size() <= kMostMainPointsShown ? on_ : picked_;
  }

private:
  const std::vector<NamedPoint>& all_;
  std::vector<NamedPoint>::const_iterator next_;
  std::optional<int> pickedOwner_;
  std::vector<NamedPoint> on_, picked_;
};

// The curve the boxes describe, and the tangents from the JD to ZH and HZ.
void addCurve(const Form& form, PlanScene& scene) {
  const auto inputs = curveLineOfBoxes(form);
  if (!inputs || form.text(Box::Text9).empty())
    return;
  const BoxCurveLine line(*inputs);
  const auto extent = line.extent();
  if (!extent)
    return;
  const double span =
      std::max(extent->second.x - extent->first.x, extent->second.y - extent->first.y);
  addWholeCentreLine(scene, line, span * kCurveTolerance);
  const BoxCurve& c = inputs->curve;
  const auto zh = line.pointAt(c.zhChainage), hz = line.pointAt(c.hzChainage);
  const PlanePoint jd{c.jdX, c.jdY};
  if (zh && hz)
    scene.tangents = {{jd, zh->point}, {jd, hz->point}};
}

// The point the boxes show for the chainage in Text26; when it is no longer
// the point the boxes would give for it now, it is out of date, and the
// curve's point at that chainage is marked beside it.
void addComputedPoint(const Form& form, const PlanePoint& computed, PlanScene& scene) {
  const auto k = form.text(Box::Text26).empty() ? std::nullopt : number(form, Box::Text26);
  const std::string label = k ? chainageText(*k) : std::string();
  const auto curve = curveOfBoxes(form);
  if (!k || !curve) {
    scene.markers.push_back({MarkerKind::ComputedPoint, computed, label});
    return;
  }
  BoxCurve boxes = *curve; // as the point at a chainage reads it: symmetric
  boxes.transitionLength2.reset();
  boxes.tangentLength2.reset();
  boxes.chainage = *k;
  const PlanePoint now = curvePoint(boxes).at;
  const bool stale = isFinite(now) && std::hypot(now.x - computed.x, now.y - computed.y) > kStale;
  if (!stale) {
    scene.markers.push_back({MarkerKind::ComputedPoint, computed, label});
    return;
  }
  scene.markers.push_back({MarkerKind::StalePoint, computed, label + " 未更新"});
  BoxCurve drawn = *curve; // the curve the plan draws, with its own second transition
  drawn.chainage = *k;
  if (const PlanePoint current = curvePoint(drawn).at; isFinite(current))
    scene.markers.push_back({MarkerKind::CurrentPoint, current, label});
}

void addPointsAndSights(const Form& form, PlanScene& scene) {
  if (const auto jd = point(form, Box::Text13, Box::Text14))
    scene.markers.push_back({MarkerKind::IntersectionPoint, *jd, "JD"});
  if (const auto next = point(form, Box::Text15, Box::Text16))
    scene.markers.push_back({MarkerKind::NextIntersectionPoint, *next, "JD+1"});

  const auto computed = curveComplete(form) ? point(form, Box::Text27, Box::Text28) : std::nullopt;
  if (computed)
    addComputedPoint(form, *computed, scene);
  const auto station = point(form, Box::Text35, Box::Text36);
  const auto backsight = point(form, Box::Text39, Box::Text1);
  if (station)
    scene.markers.push_back({MarkerKind::Station, *station, "测站"});
  if (backsight)
    scene.markers.push_back({MarkerKind::Backsight, *backsight, "后视"});
  if (station && backsight)
    scene.sightLines.push_back({*station, *backsight});
  if (station && computed)
    scene.sightLines.push_back({*station, *computed});
}

// How many chords a piece's edges need: one every kEdgeStep metres at
// least, and as many as the inner edge's curvature needs within the
// tolerance, its radius the centre line's less `reach`.
int edgeSteps(const Piece& piece, double reach, double tolerance) {
  Piece inner = piece;
  inner.leastRadius = std::max(piece.leastRadius - reach, reach);
  const int along = int(std::ceil((piece.to - piece.from) / kEdgeStep));
  return std::clamp(std::max(chordsFor(inner, tolerance), along), 1, kMostSamplesPerPiece);
}

// The edges of each side along a piece, at the section's widths there.
void addPieceEdges(PlanScene& scene, const CentreLine& line, const section::Sections& sections,
                   const Piece& piece, int steps) {
  Polyline left, right;
  for (int i = 0; i <= steps; ++i) {
    const double m = i == steps ? piece.to : piece.from + (piece.to - piece.from) * i / steps;
    const auto at = line.pointAt(m);
    const auto section = sections.at(m);
    if (!at || !section)
      continue;
    if (section->left.width > 0)
      left.push_back(sideStake(*at, -section->left.width));
    if (section->right.width > 0)
      right.push_back(sideStake(*at, section->right.width));
  }
  for (Polyline* edge : {&left, &right})
    if (edge->size() >= 2)
      scene.edges.push_back(std::move(*edge));
}

} // namespace

namespace {

class BoundsBuilder {
public:
  void add(const PlanePoint& p) {
    if (!isFinite(p))
      return;
    if (!b_)
      b_ = PlanScene::Bounds{p.x, p.y, p.x, p.y};
    b_->minX = std::min(b_->minX, p.x);
    b_->minY = std::min(b_->minY, p.y);
    b_->maxX = std::max(b_->maxX, p.x);
    b_->maxY = std::max(b_->maxY, p.y);
  }
  void add(const Polyline& line) {
    for (const PlanePoint& p : line)
      add(p);
  }
  void add(const std::vector<PlanSegment>& segments) {
    for (const PlanSegment& s : segments) {
      add(s.from);
      add(s.to);
    }
  }
  std::optional<PlanScene::Bounds> result() const { return b_; }

private:
  std::optional<PlanScene::Bounds> b_;
};

} // namespace

std::optional<PlanScene::Bounds> PlanScene::focusBounds() const {
  BoundsBuilder b;
  for (const auto* lines : {&transitions, &arcs})
    for (const Polyline& line : *lines)
      b.add(line);
  b.add(tangents);
  b.add(sightLines);
  for (const PlanMarker& m : markers)
    if (m.kind != MarkerKind::NextIntersectionPoint)
      b.add(m.at);
  return b.result();
}

std::optional<PlanScene::Bounds> PlanScene::bounds() const {
  BoundsBuilder b;
  if (const auto focus = focusBounds()) {
    b.add({focus->minX, focus->minY});
    b.add({focus->maxX, focus->maxY});
  }
  for (const Polyline& line : straights)
    b.add(line);
  for (const PlanMarker& m : markers)
    b.add(m.at);
  return b.result();
}

void addFieldTools(PlanScene& scene, const FieldAnswers& answers) {
  if (const auto& stake = answers.stake.point)
    scene.markers.push_back({MarkerKind::SideStake, *stake, "边桩"});
  if (answers.locate.foot && answers.locate.point) {
    scene.markers.push_back({MarkerKind::MeasuredPoint, *answers.locate.point,
                             answers.locate.k + " " + answers.locate.side + answers.locate.offset});
    scene.offsets.push_back({*answers.locate.foot, *answers.locate.point});
  }
  const TableAnswer& table = answers.table;
  if (table.size() > kMostTicks)
    return;
  for (std::size_t i = 0; i < table.size(); ++i)
    if (const auto c = table.row(i).centre)
      scene.ticks.push_back({c->point, c->azimuth});
}

void addCentreLine(PlanScene& scene, const CentreLine& line, const Bounds& view,
                   double metresPerPixel, std::optional<int> pickedOwner) {
  // Pieces a few pixels long are drawn together as one line, sampled along
  // the line: at that scale no colour can be told apart, and a view of the
  // whole route costs what its pixels cost, not what its pieces do.
  scene.crowded = true;
  const double coarse = kCoarsePixels * metresPerPixel;
  std::optional<std::pair<double, double>> run; // measures of a stretch of short pieces
  MainPointsInView mainPoints(line, pickedOwner);
  const auto flush = [&] {
    if (run)
      addCoarse(scene, line, run->first, run->second, coarse);
    run.reset();
  };
  line.piecesWithin({view.minX, view.minY}, {view.maxX, view.maxY}, [&](const Piece& piece) {
    mainPoints.on(piece);
    const bool picked = pickedOwner && piece.owner == *pickedOwner;
    if (!picked && piece.to - piece.from < coarse) {
      if (run && piece.from - run->second <= kSameMeasure)
        run->second = piece.to;
      else {
        flush();
        run = std::pair(piece.from, piece.to);
      }
    } else {
      flush();
      addPiece(scene, line, piece, kStrayPixels * metresPerPixel, kMergePixels * metresPerPixel,
               picked);
    }
  });
  flush();
  markMainPoints(scene, line, mainPoints.shown(), view);
}

void addRoadEdges(PlanScene& scene, const CentreLine& line, const section::Sections& sections,
                  const Bounds& view, double metresPerPixel) {
  if (!sections.hasTemplate())
    return;
  const double wider = std::max(sections.layout().left.width(), sections.layout().right.width());
  if (!(wider >= kEdgePixels * metresPerPixel))
    return;
  // A piece beside the view may have its edge in it.
  const double reach = 2 * wider;
  line.piecesWithin({view.minX - reach, view.minY - reach}, {view.maxX + reach, view.maxY + reach},
                    [&](const Piece& piece) {
                      addPieceEdges(scene, line, sections, piece,
                                    edgeSteps(piece, reach, kStrayPixels * metresPerPixel));
                    });
}

void addWholeCentreLine(PlanScene& scene, const CentreLine& line, double tolerance) {
  line.piecesWithin({}, {},
                    [&](const Piece& piece) { addPiece(scene, line, piece, tolerance, 0, false); });
  markMainPoints(scene, line, line.mainPoints(), std::nullopt);
}

void addBoxesPoints(PlanScene& scene, const Form& form) {
  addPointsAndSights(form, scene);
  clearFaults();
}

PlanScene buildPlanScene(const Form& form) {
  PlanScene scene;
  addCurve(form, scene);
  addPointsAndSights(form, scene);
  // The curve may have faulted on the way; that concerns no computation.
  clearFaults();
  return scene;
}

} // namespace quenlor

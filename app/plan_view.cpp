// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/plan_view.h"

#include "app/drawing/canvas.h"
#include "app/drawing/clipped_lines.h"
#include "session/field_tools.h"
#include "session/route_plan.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quenlor {
namespace {

constexpr double kMargin = 36;        // pixels kept free around a fitted scene
constexpr double kDefaultScale = 1.0; // pixels per unit when nothing has extent
constexpr double kZoomPerNotch = 1.25;
constexpr double kLeastScale = 1e-200, kGreatestScale = 1e200; // pixels per unit

const QColor kStraight(70, 70, 70);
const QColor kTransition(0, 128, 96);
const QColor kArc(0, 90, 200);
const QColor kTangent(150, 150, 150);
const QColor kSight(200, 120, 0);
const QColor kPoint(200, 0, 0);
const QColor kStalePoint(140, 140, 140);
const QColor kFieldPoint(150, 0, 150);
const QColor kEdge(140, 140, 140);      // the road's edges, beside the centre line
const QColor kPicked(255, 200, 0, 150); // the JD picked in the route panel, under its curve
// A label's distance from its marker, by ring; a marker's half side, as
// labels avoid it.
constexpr double kLabelGap = 7;
constexpr double kLabelRings[] = {1.0, 2.5, 4.0};
constexpr double kMarkerHalfSide = 4;

// East to the right, north up.
PlaneXY planeOf(const PlanePoint& p) { return {p.y, p.x}; }

// Beside the marker, nearer first: the four corners, above and below, left
// and right.
std::vector<QPointF> labelCorners(const QSizeF& size) {
  const double w = size.width(), h = size.height();
  std::vector<QPointF> corners;
  for (const double ring : kLabelRings) {
    const double d = kLabelGap * ring;
    corners.insert(corners.end(), {{d, -d - h},
                                   {d, d},
                                   {-d - w, -d - h},
                                   {-d - w, d},
                                   {-w / 2, -d - h},
                                   {-w / 2, d},
                                   {d, -h / 2},
                                   {-d - w, -h / 2}});
  }
  return corners;
}

} // namespace

PlanView::PlanView(const Form& form, QWidget* parent) : QWidget(parent), form_(form) {
  makeCanvas(*this, "planView");
  view_.setArea(QRectF(0, 0, width(), height()));
}

PlanView::~PlanView() = default;

// A new route (another model) is fitted to the view; the same model edited
// in place keeps the view the user has.
void PlanView::setRoute(std::shared_ptr<const RouteModel> route) {
  const bool fresh = !route || route != route_;
  route_ = std::move(route);
  routePlan_ = route_ ? std::make_unique<RoutePlan>(route_) : nullptr;
  if (fresh)
    view_.letGo();
  formChanged();
}

void PlanView::setSelectedJd(std::optional<std::size_t> jd) {
  selectedJd_ = jd;
  formChanged();
}

void PlanView::centreOn(const PlanePoint& centre, double span) {
  if (!view_.held())
    fit();
  view_.centreOn(planeOf(centre));
  const double least = std::min(width(), height()) - 2 * kMargin;
  if (span > 0 && least > 0 && span * view_.scale() < least / 4)
    view_.setScale(least / span);
  formChanged();
}

void PlanView::formChanged() {
  stale_ = true;
  update();
}

const PlanScene& PlanView::scene() {
  // A whole route's scene holds only what is in view, at the view's detail:
  // it is made again at every paint.
  if (routePlan_ && routePlan_->bounds()) {
    if (stale_ && !view_.held()) {
      scene_ = {};
      fit();
    }
    scene_ = routePlan_->scene(viewBounds(), 1 / view_.scale(), selectedJd_);
    addBoxesPoints(scene_, form_);
    if (answers_)
      addFieldTools(scene_, *answers_);
    stale_ = false;
    return scene_;
  }
  if (stale_) {
    scene_ = buildPlanScene(form_);
    if (answers_)
      addFieldTools(scene_, *answers_);
    stale_ = false;
    if (!view_.held())
      fit();
  }
  return scene_;
}

PlanScene::Bounds PlanView::viewBounds() const {
  const PlaneBox shown = view_.shown();
  return {shown.bottom, shown.left, shown.top, shown.right};
}

// The whole route, or the boxes' curve without its far straights.
void PlanView::fit() {
  auto b = routePlan_ && routePlan_->bounds() ? routePlan_->bounds() : scene_.focusBounds();
  if (!b)
    b = scene_.bounds();
  std::optional<PlaneBox> box;
  if (b)
    box = PlaneBox{b->minY, b->minX, b->maxY, b->maxX};
  view_.fit(box, kMargin, kDefaultScale);
}

QPointF PlanView::toScreen(const PlanePoint& p) const { return view_.toScreen(planeOf(p)); }

// Everything outside this rectangle, a little larger than the view, is
// clipped away before it reaches the painter.
QRectF PlanView::paintArea() const { return QRectF(rect()).adjusted(-10, -10, 10, 10); }

void PlanView::drawLine(QPainter& painter, const PlanePoint& a, const PlanePoint& b) const {
  drawClippedLine(painter, toScreen(a), toScreen(b), paintArea());
}

void PlanView::drawPolyline(QPainter& painter, const Polyline& points, const QPen& pen) const {
  painter.setPen(pen);
  QPolygonF screen;
  screen.reserve(qsizetype(points.size()));
  for (const PlanePoint& p : points)
    screen << toScreen(p);
  drawClippedPolyline(painter, screen, paintArea());
}

void PlanView::drawRoute(QPainter& painter, const PlanScene& s) const {
  for (const Polyline& line : s.edges)
    drawPolyline(painter, line, QPen(kEdge, 1));
  for (const Polyline& line : s.picked)
    drawPolyline(painter, line, QPen(kPicked, 7, Qt::SolidLine, Qt::RoundCap));
  for (const Polyline& line : s.straights)
    drawPolyline(painter, line, QPen(kStraight, 2));
  for (const Polyline& line : s.transitions)
    drawPolyline(painter, line, QPen(kTransition, 3));
  for (const Polyline& line : s.arcs)
    drawPolyline(painter, line, QPen(kArc, 3));
  painter.setPen(QPen(kTangent, 1, Qt::DashLine));
  for (const PlanSegment& t : s.tangents)
    drawLine(painter, t.from, t.to);
  painter.setPen(QPen(kSight, 1, Qt::DashDotLine));
  for (const PlanSegment& t : s.sightLines)
    drawLine(painter, t.from, t.to);
}

void PlanView::drawMarker(QPainter& painter, const PlanMarker& m, const QPointF& p) {
  switch (m.kind) {
  case MarkerKind::IntersectionPoint:
  case MarkerKind::NextIntersectionPoint:
  case MarkerKind::RouteEnd:
    painter.setPen(QPen(kStraight, 1.5));
    painter.setBrush(Qt::white);
    painter.drawPolygon(
        QPolygonF({p + QPointF(0, -6), p + QPointF(6, 0), p + QPointF(0, 6), p + QPointF(-6, 0)}));
    break;
  case MarkerKind::MainPoint:
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(p, 3.5, 3.5);
    break;
  case MarkerKind::ComputedPoint:
  case MarkerKind::CurrentPoint:
  case MarkerKind::StalePoint:
    painter.setPen(QPen(m.kind == MarkerKind::StalePoint ? kStalePoint : kPoint, 2,
                        m.kind == MarkerKind::StalePoint ? Qt::DotLine : Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(p, 5, 5);
    painter.drawLine(p + QPointF(-8, 0), p + QPointF(8, 0));
    painter.drawLine(p + QPointF(0, -8), p + QPointF(0, 8));
    break;
  case MarkerKind::SideStake:
  case MarkerKind::MeasuredPoint:
    painter.setPen(QPen(kFieldPoint, 1.5));
    painter.setBrush(m.kind == MarkerKind::SideStake ? QBrush(kFieldPoint) : QBrush(Qt::white));
    painter.drawRect(QRectF(p - QPointF(3.5, 3.5), QSizeF(7, 7)));
    break;
  case MarkerKind::Station:
  case MarkerKind::Backsight:
    painter.setPen(QPen(kSight, 1.5));
    painter.setBrush(m.kind == MarkerKind::Station ? QBrush(kSight) : QBrush(Qt::white));
    painter.drawPolygon(QPolygonF({p + QPointF(0, -7), p + QPointF(6, 5), p + QPointF(-6, 5)}));
    break;
  }
}

void PlanView::drawTicksAndOffsets(QPainter& painter, const PlanScene& s) const {
  painter.setPen(QPen(kFieldPoint, 1));
  for (const PlanTick& t : s.ticks) {
    const QPointF p = toScreen(t.at);
    if (!paintable(p) || !paintArea().contains(p))
      continue;
    // The centre line runs along (sin a, -cos a) on a screen with X up and
    // Y right; across it is (cos a, sin a).
    const QPointF across(std::cos(t.azimuth) * 5, std::sin(t.azimuth) * 5);
    painter.drawLine(p - across, p + across);
  }
  painter.setPen(QPen(kFieldPoint, 1, Qt::DashLine));
  for (const PlanSegment& o : s.offsets)
    drawLine(painter, o.from, o.to);
}

// The labels go where they are clear of the north arrow, of the markers and
// of each other (label_placer.h).
void PlanView::drawMarkers(QPainter& painter, const PlanScene& s) {
  placer_.reset(QRectF(rect()).adjusted(2, 2, -2, -2));
  anchors_.clear();
  leaders_.clear();
  placer_.addObstacle(northArrowPlace());
  labels_.setFont(painter.font(), devicePixelRatioF());
  std::vector<std::pair<const PlanMarker*, QPointF>> shown;
  for (const PlanMarker& m : s.markers) {
    const QPointF p = toScreen(m.at);
    if (paintable(p) && paintArea().contains(p))
      shown.emplace_back(&m, p);
  }
  for (const auto& [m, p] : shown) {
    drawMarker(painter, *m, p);
    placer_.addMarker(p, kMarkerHalfSide);
  }
  // On a whole route the main points crowd each other at a small scale:
  // the other labels go first, and a main point's label that would cover
  // one already placed is left out (zooming in brings it back).
  const bool route = s.crowded;
  std::stable_partition(shown.begin(), shown.end(),
                        [](const auto& m) { return m.first->kind != MarkerKind::MainPoint; });
  for (const auto& [m, p] : shown) {
    const QString label = QString::fromStdString(m->label);
    if (label.isEmpty())
      continue;
    const QSizeF size = labels_.size(label);
    const QRectF place = placer_.place(size, p, labelCorners(size)).rect;
    if (route && m->kind == MarkerKind::MainPoint && placer_.coversALabel(place))
      continue;
    // A label pushed far off by its neighbours is tied to its point.
    const QPointF nearest(std::clamp(p.x(), place.left(), place.right()),
                          std::clamp(p.y(), place.top(), place.bottom()));
    if (QLineF(p, nearest).length() > kLeaderBeyond) {
      painter.save();
      painter.setPen(QPen(Qt::darkGray, 0.8));
      painter.drawLine(p, nearest);
      painter.restore();
      leaders_.emplace_back(p, nearest);
    }
    labels_.draw(painter, label, place.topLeft());
    placer_.keep(place);
    anchors_.push_back(p);
  }
}

QRectF PlanView::northArrowPlace() const { return QRectF(width() - 36, 12, 24, 46); }

// North arrow, top right.
void PlanView::drawNorthArrow(QPainter& painter) const {
  const QPointF north(width() - 24, 18);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::black);
  painter.drawPolygon(QPolygonF({north, north + QPointF(-6, 18), north + QPointF(6, 18)}));
  painter.drawText(QRectF(north.x() - 10, north.y() + 20, 20, 16), Qt::AlignCenter,
                   QStringLiteral("N"));
}

// Scale bar, bottom left: a round length near a fifth of the width.
void PlanView::drawScaleBar(QPainter& painter) const {
  const double target = width() / 5.0 / view_.scale();
  if (!std::isfinite(target) || !(target > 0))
    return;
  const double length = roundStepAtLeast(target);
  const double pixels = length * view_.scale();
  const QPointF start(12, height() - 14);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(start, start + QPointF(pixels, 0));
  painter.drawLine(start, start + QPointF(0, -5));
  painter.drawLine(start + QPointF(pixels, 0), start + QPointF(pixels, -5));
  painter.drawText(start + QPointF(4, -6), QString::number(length, 'g', 6));
}

void PlanView::paintEvent(QPaintEvent*) {
  const PlanScene& s = scene();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  drawRoute(painter, s);
  drawTicksAndOffsets(painter, s);
  drawMarkers(painter, s);
  drawNorthArrow(painter);
  drawScaleBar(painter);
}

void PlanView::resizeEvent(QResizeEvent*) {
  view_.setArea(QRectF(0, 0, width(), height()));
  if (!view_.held()) {
    scene();
    fit();
  }
}

void PlanView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0)
    return;
  // Zoom about the point under the cursor.
  view_.zoom(event->position(), std::pow(kZoomPerNotch, notches), kLeastScale, kGreatestScale);
  update();
}

void PlanView::mousePressEvent(QMouseEvent* event) { dragFrom_ = event->position(); }

void PlanView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton))
    return;
  view_.pan(event->position() - dragFrom_);
  dragFrom_ = event->position();
  update();
}

void PlanView::mouseDoubleClickEvent(QMouseEvent*) {
  fit();
  update();
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/plan_view.h"

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
// Screen coordinates beyond this are not painted: the rasteriser is not
// meant for the distances a mistyped exponent gives.
constexpr double kPaintLimit = 1e6;

const QColor kStraight(70, 70, 70);
const QColor kTransition(0, 128, 96);
const QColor kArc(0, 90, 200);
const QColor kTangent(150, 150, 150);
const QColor kSight(200, 120, 0);
const QColor kPoint(200, 0, 0);
const QColor kStalePoint(140, 140, 140);
const QColor kFieldPoint(150, 0, 150);
const QColor kPicked(255, 200, 0, 150); // the JD picked in the route panel, under its curve
// A label's distance from its marker, and the room kept between labels.
constexpr double kLabelGap = 7;
// Pictures of labels kept between paints, at most.
constexpr std::size_t kLabelPicturesKept = 256;

bool finiteOnScreen(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

bool paintable(const QPointF& p) {
  return finiteOnScreen(p) && std::fabs(p.x()) < kPaintLimit && std::fabs(p.y()) < kPaintLimit;
}

// Clips the segment to a rectangle (Liang-Barsky); false when none of it is in.
bool clip(QPointF& a, QPointF& b, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0)
        return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1)
    return false;
  const QPointF start = a;
  a = start + t0 * QPointF(dx, dy);
  b = start + t1 * QPointF(dx, dy);
  return true;
}

// A round length for the scale bar: 1, 2 or 5 times a power of ten.
double roundLength(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double step : {1.0, 2.0, 5.0})
    if (step * power >= target)
      return step * power;
  return 10 * power;
}

} // namespace

PlanView::PlanView(const Form& form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName(QStringLiteral("planView"));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setMinimumSize(120, 120);
}

PlanView::~PlanView() = default;

// A new route (another model) is fitted to the view; the same model edited
// in place keeps the view the user has.
void PlanView::setRoute(std::shared_ptr<const RouteModel> route) {
  const bool fresh = !route || route != route_;
  route_ = std::move(route);
  routePlan_ = route_ ? std::make_unique<RoutePlan>(route_) : nullptr;
  if (fresh)
    userView_ = false;
  formChanged();
}

void PlanView::setSelectedJd(std::optional<std::size_t> jd) {
  selectedJd_ = jd;
  formChanged();
}

void PlanView::centreOn(const PlanePoint& centre, double span) {
  if (!userView_)
    fit();
  centre_ = centre;
  const double least = std::min(width(), height()) - 2 * kMargin;
  if (span > 0 && least > 0 && span * pixelsPerUnit_ < least / 4)
    pixelsPerUnit_ = least / span;
  userView_ = true;
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
    if (stale_ && !userView_) {
      scene_ = {};
      fit();
    }
    scene_ = routePlan_->scene(viewBounds(), 1 / pixelsPerUnit_, selectedJd_);
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
    if (!userView_)
      fit();
  }
  return scene_;
}

PlanScene::Bounds PlanView::viewBounds() const {
  const PlanePoint topLeft = toPlan(QPointF(0, 0)),
                   bottomRight = toPlan(QPointF(width(), height()));
  return {bottomRight.x, topLeft.y, topLeft.x, bottomRight.y};
}

void PlanView::fit() {
  auto b = routePlan_ && routePlan_->bounds() ? routePlan_->bounds() : scene_.focusBounds();
  if (!b)
    b = scene_.bounds();
  if (!b) {
    centre_ = {};
    pixelsPerUnit_ = kDefaultScale;
    return;
  }
  centre_ = {(b->minX + b->maxX) / 2, (b->minY + b->maxY) / 2};
  const double spanX = b->maxX - b->minX, spanY = b->maxY - b->minY;
  const double w = std::max(1.0, width() - 2 * kMargin), h = std::max(1.0, height() - 2 * kMargin);
  double scale = std::min(spanY > 0 ? w / spanY : INFINITY, spanX > 0 ? h / spanX : INFINITY);
  if (!std::isfinite(scale) || scale <= 0)
    scale = kDefaultScale;
  pixelsPerUnit_ = scale;
  if (!std::isfinite(centre_.x) || !std::isfinite(centre_.y))
    centre_ = {};
}

QPointF PlanView::toScreen(const PlanePoint& p) const {
  return {width() / 2.0 + (p.y - centre_.y) * pixelsPerUnit_,
          height() / 2.0 - (p.x - centre_.x) * pixelsPerUnit_};
}

PlanePoint PlanView::toPlan(const QPointF& s) const {
  return {centre_.x - (s.y() - height() / 2.0) / pixelsPerUnit_,
          centre_.y + (s.x() - width() / 2.0) / pixelsPerUnit_};
}

// Everything outside this rectangle, a little larger than the view, is
// clipped away before it reaches the painter.
QRectF PlanView::paintArea() const { return QRectF(rect()).adjusted(-10, -10, 10, 10); }

void PlanView::drawLine(QPainter& painter, const PlanePoint& a, const PlanePoint& b) const {
  QPointF p = toScreen(a), q = toScreen(b);
  if (finiteOnScreen(p) && finiteOnScreen(q) && clip(p, q, paintArea()))
    painter.drawLine(p, q);
}

// In one stroke where every point lies in the paint area (the usual case),
// segment by segment, each clipped, where some do not.
void PlanView::drawPolyline(QPainter& painter, const Polyline& points, const QPen& pen) const {
  painter.setPen(pen);
  QPolygonF screen;
  screen.reserve(qsizetype(points.size()));
  const QRectF area = paintArea();
  for (const PlanePoint& p : points) {
    const QPointF q = toScreen(p);
    if (!finiteOnScreen(q) || !area.contains(q)) {
      for (std::size_t i = 1; i < points.size(); ++i)
        drawLine(painter, points[i - 1], points[i]);
      return;
    }
    screen << q;
  }
  painter.drawPolyline(screen);
}

void PlanView::drawRoute(QPainter& painter, const PlanScene& s) const {
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

// The first of the places around its marker where a label stays inside the
// view, clear of the north arrow, of the labels already placed and of the
// markers; where none is clear, the one that covers least.
QRectF PlanView::placeLabel(const QSizeF& size, const QPointF& p,
                            const std::vector<QPointF>& markers) const {
  const double w = size.width(), h = size.height(), g = kLabelGap;
  const QRectF view = QRectF(rect()).adjusted(2, 2, -2, -2);
  const QRectF arrow = northArrowPlace();
  const auto covered = [&](const QRectF& r) {
    double area = 0;
    const auto add = [&](const QRectF& other) {
      const QRectF both = r.intersected(other);
      area += both.width() * both.height();
    };
    add(arrow);
    for (const QRectF& placed : labelPlaces_)
      add(placed.adjusted(-1, -1, 1, 1));
    for (const QPointF& m : markers)
      if (m != p)
        add(QRectF(m - QPointF(4, 4), QSizeF(8, 8)));
    const QRectF inside = r.intersected(view);
    return area + (w * h - inside.width() * inside.height()) * 10;
  };
  std::optional<QRectF> best;
  double least = INFINITY;
  for (const double ring : {1.0, 2.5, 4.0}) {
    const double d = g * ring;
    const QPointF corners[] = {{d, -d - h},      {d, d},      {-d - w, -d - h}, {-d - w, d},
                               {-w / 2, -d - h}, {-w / 2, d}, {d, -h / 2},      {-d - w, -h / 2}};
    for (const QPointF& corner : corners) {
      const QRectF place(p + corner, size);
      const double c = covered(place);
      if (c == 0)
        return place;
      if (c < least) {
        least = c;
        best = place;
      }
    }
  }
  return *best;
}

// The label with a white halo, so that it reads over the lines beneath it:
// the text in white a pixel off every way, then in black. Drawn once into a
// picture that later paints copy, since most labels outlive many keystrokes.
void PlanView::drawLabel(QPainter& painter, const QString& label, const QRectF& place) {
  auto kept = labelPictures_.find(label);
  if (kept == labelPictures_.end()) {
    if (labelPictures_.size() > kLabelPicturesKept)
      labelPictures_.clear();
    const qreal scale = devicePixelRatioF();
    QPixmap picture((place.size() + QSizeF(2, 2)).toSize() * scale);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setFont(painter.font());
    const QPointF baseline(1, 1 + painter.fontMetrics().ascent());
    p.setPen(Qt::white);
    for (const double dx : {-1.0, 0.0, 1.0})
      for (const double dy : {-1.0, 0.0, 1.0})
        if (dx != 0 || dy != 0)
          p.drawText(baseline + QPointF(dx, dy), label);
    p.setPen(Qt::black);
    p.drawText(baseline, label);
    kept = labelPictures_.emplace(label, picture).first;
  }
  painter.drawPixmap(place.topLeft() - QPointF(1, 1), kept->second);
  labelPlaces_.push_back(place);
}

void PlanView::drawMarkers(QPainter& painter, const PlanScene& s) {
  labelPlaces_.clear();
  std::vector<std::pair<const PlanMarker*, QPointF>> shown;
  for (const PlanMarker& m : s.markers) {
    const QPointF p = toScreen(m.at);
    if (paintable(p) && paintArea().contains(p))
      shown.emplace_back(&m, p);
  }
  std::vector<QPointF> points;
  for (const auto& [m, p] : shown) {
    drawMarker(painter, *m, p);
    points.push_back(p);
  }
  // On a whole route the main points crowd each other at a small scale:
  // the other labels go first, and a main point's label that would cover
  // one already placed is left out (zooming in brings it back).
  const bool route = s.crowded;
  std::stable_partition(shown.begin(), shown.end(),
                        [](const auto& m) { return m.first->kind != MarkerKind::MainPoint; });
  const QFontMetricsF metrics(painter.font());
  for (const auto& [m, p] : shown) {
    const QString label = QString::fromStdString(m->label);
    if (label.isEmpty())
      continue;
    const QSizeF size(metrics.horizontalAdvance(label), metrics.height());
    const QRectF place = placeLabel(size, p, points);
    if (route && m->kind == MarkerKind::MainPoint && coversALabel(place))
      continue;
    drawLabel(painter, label, place);
  }
}

bool PlanView::coversALabel(const QRectF& place) const {
  return std::any_of(labelPlaces_.begin(), labelPlaces_.end(),
                     [&](const QRectF& placed) { return placed.intersects(place); });
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
  const double target = width() / 5.0 / pixelsPerUnit_;
  if (!std::isfinite(target) || !(target > 0))
    return;
  const double length = roundLength(target);
  const double pixels = length * pixelsPerUnit_;
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
  if (!userView_) {
    scene();
    fit();
  }
}

void PlanView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0)
    return;
  // Zoom about the point under the cursor.
  const PlanePoint under = toPlan(event->position());
  pixelsPerUnit_ =
      std::clamp(pixelsPerUnit_ * std::pow(kZoomPerNotch, notches), kLeastScale, kGreatestScale);
  const QPointF moved = toScreen(under);
  centre_.y += (moved.x() - event->position().x()) / pixelsPerUnit_;
  centre_.x -= (moved.y() - event->position().y()) / pixelsPerUnit_;
  userView_ = true;
  update();
}

void PlanView::mousePressEvent(QMouseEvent* event) { dragFrom_ = event->position(); }

void PlanView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton))
    return;
  const QPointF d = event->position() - dragFrom_;
  dragFrom_ = event->position();
  centre_.y -= d.x() / pixelsPerUnit_;
  centre_.x += d.y() / pixelsPerUnit_;
  userView_ = true;
  update();
}

void PlanView::mouseDoubleClickEvent(QMouseEvent*) {
  userView_ = false;
  fit();
  update();
}

} // namespace quenlor

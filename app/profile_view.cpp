// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/profile_view.h"

#include "app/captions.h"
#include "app/drawing/canvas.h"
#include "app/drawing/clipped_lines.h"
#include "app/said.h"
#include "form/form.h"
#include "numeric/chainage_text.h"
#include "session/route_model.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSpinBox>
#include <QWheelEvent>

#include <algorithm>
#include <bit>
#include <cmath>

namespace quenlor {
namespace {

// Room around the plot: elevations left, chainages below, the scale box above.
constexpr double kLeft = 58, kRight = 14, kTop = 34, kBottom = 30;
constexpr int kSamples = 400;       // design levels looked at for the extent
constexpr double kLeastSpan = 1;    // metres of elevation shown at least
constexpr double kFill = 0.8;       // of the plot's height, on 自动
constexpr double kSamplePixels = 2; // pixels between samples of the design line
constexpr double kTickPixels = 110; // pixels between chainage ticks, at least
constexpr double kLevelPixels = 36; // and between elevation ticks
constexpr double kWheelStep = 1.25; // exaggeration a wheel notch
constexpr int kLargestFactor = 100000;
// A label's distance from its anchor, and how many rows of labels may stack
// above or below it.
constexpr double kLabelGap = 6;
constexpr int kLabelRings = 4;
constexpr double kPointRadius = 3.5, kPointPen = 1.5, kMarkRadius = 3;

const QColor kGrid(228, 228, 228);
const QColor kGradeLine(150, 150, 150);
const QColor kDesign(0, 90, 200);
const QColor kCurve(0, 140, 90);
const QColor kCurrent(200, 0, 0);

QString qs(const std::string& text) { return QString::fromStdString(text); }

// A grade point: a white circle.
void gradePointSymbol(QPainter& painter) {
  painter.setPen(QPen(Qt::black, kPointPen));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(0, 0), kPointRadius, kPointRadius);
}

// Above and below the anchor, then beside it, at `rings` distances a label's
// height apart.
std::vector<QPointF> labelCorners(const QSizeF& size, int rings) {
  const double w = size.width(), h = size.height(), g = kLabelGap;
  std::vector<QPointF> corners;
  for (int ring = 0; ring < rings; ++ring) {
    const double d = g + ring * h;
    corners.insert(corners.end(), {{-w / 2, -d - h},
                                   {-w / 2, d},
                                   {g, -d - h},
                                   {-w - g, -d - h},
                                   {g, d - h / 2},
                                   {-w - g, d - h / 2}});
  }
  return corners;
}

} // namespace

ProfileView::ProfileView(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), scale_(new QSpinBox(this)),
      pointStamp_(&gradePointSymbol, kPointRadius + kPointPen / 2) {
  makeCanvas(*this, "profileView");
  scale_->setObjectName(QStringLiteral("profileScale"));
  scale_->setRange(0, kLargestFactor);
  scale_->setPrefix(caption(captions::kVerticalPrefix));
  scale_->setSpecialValueText(caption(captions::kVerticalAuto));
  scale_->setToolTip(said(Say::TipProfileScale));
  scale_->move(6, 4);
  // Taken by a click, not by the tab that shows the profile: its blinking
  // text cursor would repaint the profile beneath it twice a second.
  scale_->setFocusPolicy(Qt::ClickFocus);
  connect(scale_, &QSpinBox::valueChanged, this, [this] { redraw(); });
}

void ProfileView::setRoute(std::shared_ptr<const RouteModel> route) {
  Source source = route ? sourceOf(*route, route == route_ ? &source_ : nullptr) : Source();
  if (route == route_ && source == source_)
    return;
  route_ = std::move(route);
  source_ = std::move(source);
  redraw();
}

bool ProfileView::Source::operator==(const Source& other) const {
  const bool samePoints =
      points == other.points || (points && other.points && *points == *other.points);
  return samePoints && segments == other.segments && length == other.length;
}

ProfileView::Source ProfileView::sourceOf(const RouteModel& route, const Source* shown) {
  const auto bits = [](double value) { return std::bit_cast<Bits>(value); };
  Source source;
  source.profileVersion = route.profileVersion();
  if (shown && shown->points && shown->profileVersion == source.profileVersion) {
    source.points = shown->points;
  } else {
    auto points = std::make_shared<std::vector<PointBits>>();
    for (const GradePoint& p : route.profile().points())
      points->emplace_back(p.name, bits(p.measure), bits(p.chainage), bits(p.elevation),
                           bits(p.radius));
    source.points = std::move(points);
  }
  for (const route::ChainSegment& s : route.route().chainages().segments())
    source.segments.emplace_back(bits(s.startMeasure), bits(s.endMeasure), bits(s.startChainage));
  source.length = bits(route.route().length());
  return source;
}

// The drawing is made again at the next paint.
void ProfileView::redraw() {
  drawing_.drop();
  extent_ = extent();
  if (extent_)
    layOut(*extent_);
  update();
}

// Only where the boxes' point was and is, when it moved: a full paint is
// coming anyway while the drawing is stale, and a hidden view paints whole
// when shown.
void ProfileView::formChanged() {
  if (!extent_ || drawing_.stale(*this) || !isVisible() ||
      form_.text(Box::Text26) == markedChainage_)
    return;
  const auto next = markOfForm();
  if (next != painted_)
    update(areaOf(painted_) + areaOf(next));
}

void ProfileView::setExaggeration(int factor) { scale_->setValue(factor); }

bool ProfileView::onRoute(double measure) const {
  return measure >= 0 && measure <= route_->route().length();
}

QRectF ProfileView::plotArea() const {
  return QRectF(kLeft, kTop, std::max(1.0, width() - kLeft - kRight),
                std::max(1.0, height() - kTop - kBottom));
}

QPointF ProfileView::toScreen(double measure, double elevation) const {
  return view_.toScreen({measure, elevation});
}

std::vector<QRectF> ProfileView::labelPlaces() const {
  std::vector<QRectF> places = placer_.labels();
  if (painted_)
    places.push_back(painted_->label);
  return places;
}

// The route's measures and the elevations the design line reaches over
// them: grade points beyond the route's ends shape the line but are not
// drawn.
std::optional<ProfileView::Extent> ProfileView::extent() const {
  if (!route_ || !route_->profile().hasLine())
    return std::nullopt;
  const Profile& profile = route_->profile();
  Extent e{0, route_->route().length(), INFINITY, -INFINITY};
  for (int i = 0; i <= kSamples; ++i) {
    const double m = e.fromMeasure + (e.toMeasure - e.fromMeasure) * i / kSamples;
    if (const auto level = profile.at(m)) {
      e.low = std::min(e.low, level->elevation);
      e.high = std::max(e.high, level->elevation);
    }
  }
  for (const GradeSegment& g : profile.grades())
    for (const std::size_t k : {g.from, g.to})
      if (onRoute(profile.points()[k].measure)) {
        e.low = std::min(e.low, profile.points()[k].elevation);
        e.high = std::max(e.high, profile.points()[k].elevation);
      }
  if (!(e.toMeasure > e.fromMeasure) || !std::isfinite(e.low) || !std::isfinite(e.high))
    return std::nullopt;
  return e;
}

// Fits the route into the width; the height takes the exaggeration asked
// for, or the largest round one that shows every elevation.
void ProfileView::layOut(const Extent& e) {
  const QRectF plot = plotArea();
  view_.setArea(plot);
  const double along = plot.width() / (e.toMeasure - e.fromMeasure);
  double factor = scale_->value();
  if (factor == 0) {
    const double span = std::max(e.high - e.low, kLeastSpan);
    factor = std::max(1.0, roundStepAtMost(plot.height() * kFill / span / along));
  }
  view_.set({(e.fromMeasure + e.toMeasure) / 2, (e.low + e.high) / 2}, along, along * factor);
}

// Chainage ticks at round chainages within each chain segment; elevation
// ticks at round levels.
void ProfileView::drawAxes(QPainter& painter, const Extent& e) const {
  const QRectF plot = plotArea();
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(plot);
  const double step = roundStepAtLeast(kTickPixels / view_.scale());
  for (const route::ChainSegment& s : route_->route().chainages().segments()) {
    const double first = std::ceil(s.startChainage / step) * step;
    for (double c = first; c <= s.endChainage(); c += step) {
      const double m = s.startMeasure + (c - s.startChainage);
      if (m < e.fromMeasure || m > e.toMeasure)
        continue;
      const double x = toScreen(m, 0).x();
      painter.setPen(kGrid);
      painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
      painter.setPen(Qt::black);
      painter.drawText(QRectF(x - 50, plot.bottom() + 4, 100, kBottom - 6), Qt::AlignHCenter,
                       qs(chainageText(c, 0)));
    }
  }
  const double level = roundStepAtLeast(kLevelPixels / view_.upScale());
  const double lowest = view_.toPlane(plot.bottomLeft()).up;
  for (double z = std::ceil(lowest / level) * level;; z += level) {
    const double y = toScreen(0, z).y();
    if (y < plot.top())
      break;
    painter.setPen(kGrid);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(2, y - 9, kLeft - 6, 18), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(z, 'f', level < 1 ? 1 : 0));
  }
}

// The grade line through the grade points, dashed; the design line over it,
// its vertical curves in their own colour.
void ProfileView::drawLines(QPainter& painter) const {
  const Profile& profile = route_->profile();
  const QRectF area = plotArea().adjusted(-10, -10, 10, 10);
  QPolygonF grades;
  for (const GradeSegment& g : profile.grades()) {
    if (grades.isEmpty())
      grades << toScreen(g.start, profile.points()[g.from].elevation);
    grades << toScreen(g.end, profile.points()[g.to].elevation);
  }
  painter.setPen(QPen(kGradeLine, 1, Qt::DashLine));
  drawClippedPolyline(painter, grades, area);

  // Only the part on the route: a grade point far beyond an end would
  // otherwise cost samples no one sees.
  const double length = route_->route().length();
  const double step = kSamplePixels / view_.scale();
  const auto line = [&](double from, double to) {
    QPolygonF points;
    from = std::max(from, 0.0);
    to = std::min(to, length);
    if (!(from < to))
      return points;
    for (double m = from;; m = std::min(m + step, to)) {
      if (const auto level = profile.at(m))
        points << toScreen(m, level->elevation);
      if (m >= to)
        break;
    }
    return points;
  };
  painter.setPen(QPen(kDesign, 2));
  drawClippedPolyline(painter, line(profile.grades().front().start, profile.grades().back().end),
                      area);
  std::vector<QPolygonF> curves;
  for (const VerticalCurve& c : profile.curves())
    curves.push_back(line(c.start, c.end));
  painter.setPen(QPen(kCurve, 3));
  drawClippedPolylines(painter, curves, area);
}

// Each grade point with its chainage and elevation (and its curve's radius).
void ProfileView::drawPoints(QPainter& painter) {
  const Profile& profile = route_->profile();
  const auto& points = profile.points();
  std::vector<std::size_t> used;
  for (const GradeSegment& g : profile.grades()) {
    if (used.empty())
      used.push_back(g.from);
    used.push_back(g.to);
  }
  std::erase_if(used, [&](std::size_t k) { return !onRoute(points[k].measure); });
  std::vector<QPointF> at;
  at.reserve(used.size());
  for (const std::size_t k : used)
    at.push_back(toScreen(points[k].measure, points[k].elevation));
  pointStamp_.draw(painter, at);
  // Every label is at least as wide as a chainage, and two lines high: a
  // point whose every place would cover a label is passed over at once. The
  // points on a pixel go together where a label a pixel smaller, a pixel in
  // from its corner, is crowded: a label at any of them would hold it.
  const QSizeF least = labels_.leastSize(u"K0+000.000", 2);
  const QSizeF leastOnPixel = least - QSizeF(1, 1);
  const std::vector<QPointF> leastCorners = labelCorners(least, kLabelRings);
  std::optional<QPoint> crowdedPixel;
  for (std::size_t i = 0; i < used.size(); ++i) {
    const GradePoint& p = points[used[i]];
    const QPoint pixel(int(std::floor(at[i].x())), int(std::floor(at[i].y())));
    if (pixel == crowdedPixel)
      continue;
    if (placer_.crowded(leastOnPixel, QPointF(pixel) + QPointF(1, 1), leastCorners)) {
      crowdedPixel = pixel;
      continue;
    }
    if (placer_.crowded(least, at[i], leastCorners))
      continue;
    QString text = qs(p.name) + QLatin1Char(' ') + qs(chainageText(p.chainage)) +
                   QLatin1Char('\n') + QString::number(p.elevation, 'f', 3);
    if (p.tangentIn > 0 && p.tangentOut > 0) // an asymmetric curve: its two lengths
      text += QStringLiteral(" T1=") + QString::number(p.tangentIn, 'g', 10) +
              QStringLiteral(" T2=") + QString::number(p.tangentOut, 'g', 10);
    else if (p.radius > 0)
      text += QStringLiteral(" R=") + QString::number(p.radius, 'g', 10);
    const QSizeF size = labels_.size(text);
    const QRectF place = placer_.place(size, at[i], labelCorners(size, kLabelRings)).rect;
    if (placer_.coversALabel(place))
      continue;
    labels_.draw(painter, text, place.topLeft());
    placer_.keep(place);
  }
}

// Each grade with its per cent and length, where there is room beside it.
void ProfileView::drawGrades(QPainter& painter) {
  const Profile& profile = route_->profile();
  const QSizeF least = labels_.leastSize(u"0.000% / 0.000", 1);
  const std::vector<QPointF> leastCorners = labelCorners(least, 1);
  for (const GradeSegment& g : profile.grades()) {
    const double mid = (g.start + g.end) / 2;
    const auto level = profile.at(mid);
    if (!level || !onRoute(mid))
      continue;
    const QPointF anchor = toScreen(mid, level->elevation);
    if (placer_.crowded(least, anchor, leastCorners))
      continue;
    const QString text = QString::number(g.percent, 'f', 3) + QStringLiteral("% / ") +
                         QString::number(g.length, 'f', 3);
    const QSizeF size = labels_.size(text);
    const auto [place, cover] = placer_.place(size, anchor, labelCorners(size, 1));
    if (cover > 0)
      continue;
    labels_.draw(painter, text, place.topLeft());
    placer_.keep(place);
  }
}

// Everything but the boxes' point, into a picture of the widget's size.
void ProfileView::makeDrawing(const Extent& e) {
  QPainter painter(&drawing_.remake(*this));
  painter.setFont(font());
  painter.setRenderHint(QPainter::Antialiasing);
  placer_.reset(QRectF(rect()).adjusted(2, 2, -2, -2));
  placer_.addObstacle(QRectF(scale_->geometry()).adjusted(-2, -2, 2, 2));
  labels_.setFont(font(), devicePixelRatioF());
  drawAxes(painter, e);
  painter.setClipRect(plotArea().adjusted(-1, -1, 1, 1));
  drawLines(painter);
  painter.setClipping(false);
  drawPoints(painter);
  drawGrades(painter);
}

// The chainage of the boxes' point, where the route has it, with its design
// elevation; its label where it covers least of the drawing's.
std::optional<ProfileView::Mark> ProfileView::markOfForm() {
  const auto chainage = parseChainage(form_.text(Box::Text26));
  if (!chainage)
    return std::nullopt;
  const auto measure = route_->route().measureOf(route::Station{*chainage, 0});
  if (!measure)
    return std::nullopt;
  const QRectF plot = plotArea();
  Mark mark;
  mark.x = toScreen(*measure, 0).x();
  if (!(mark.x >= plot.left() && mark.x <= plot.right()))
    return std::nullopt;
  mark.text = qs(chainageText(*chainage));
  if (const auto level = route_->profile().at(*measure)) {
    mark.point = toScreen(*measure, level->elevation);
    mark.text += caption(captions::kDesignAt) + QString::number(level->elevation, 'f', 3);
  }
  const QSizeF size = labels_.size(mark.text);
  const QPointF anchor = mark.point.value_or(QPointF(mark.x, plot.top() + 8));
  mark.label = placer_.place(size, anchor, labelCorners(size, kLabelRings)).rect;
  return mark;
}

// What painting a mark touches: its line, its point and its label, each
// with the pen's and the halo's width around it.
QRegion ProfileView::areaOf(const std::optional<Mark>& mark) const {
  if (!mark)
    return {};
  const QRectF plot = plotArea();
  QRegion area = QRectF(mark->x - 2, plot.top() - 2, 4, plot.height() + 4).toAlignedRect();
  if (mark->point)
    area += QRectF(*mark->point - QPointF(5, 5), QSizeF(10, 10)).toAlignedRect();
  return area + mark->label.adjusted(-2, -2, 2, 2).toAlignedRect();
}

void ProfileView::drawMark(QPainter& painter, const Mark& mark) {
  const QRectF plot = plotArea();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kCurrent, 1.5));
  painter.drawLine(QPointF(mark.x, plot.top()), QPointF(mark.x, plot.bottom()));
  if (mark.point) {
    painter.setBrush(kCurrent);
    painter.drawEllipse(*mark.point, kMarkRadius, kMarkRadius);
  }
  labels_.draw(painter, mark.text, mark.label.topLeft());
}

void ProfileView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painted_.reset();
  markedChainage_.clear();
  if (!extent_) {
    painter.setPen(Qt::darkGray);
    painter.drawText(rect(), Qt::AlignCenter,
                     said(route_ ? Say::WindowNoProfile : Say::WindowNoRouteOpen));
    return;
  }
  if (drawing_.stale(*this))
    makeDrawing(*extent_);
  drawing_.paint(painter);
  markedChainage_ = form_.text(Box::Text26);
  painted_ = markOfForm();
  if (painted_)
    drawMark(painter, *painted_);
}

void ProfileView::resizeEvent(QResizeEvent*) { redraw(); }

void ProfileView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange)
    redraw();
  QWidget::changeEvent(event);
}

// Ctrl and the wheel change the exaggeration; the wheel alone is the
// surroundings'.
void ProfileView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (!(event->modifiers() & Qt::ControlModifier) || notches == 0 || !extent_) {
    event->ignore();
    return;
  }
  const double factor =
      std::clamp(exaggeration() * std::pow(kWheelStep, notches), 1.0, double(kLargestFactor));
  scale_->setValue(int(std::lround(factor)));
}

} // namespace quenlor

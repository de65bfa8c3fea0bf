// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/profile_view.h"

#include "form/form.h"
#include "numeric/chainage_text.h"
#include "session/route_model.h"

#include <QPainter>
#include <QSpinBox>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

// Room around the plot: elevations left, chainages below, the scale box above.
constexpr double kLeft = 58, kRight = 14, kTop = 34, kBottom = 30;
constexpr int kSamples = 400;       // design levels looked at for the extent
constexpr double kLeastSpan = 1;    // metres of elevation shown at least
constexpr double kSamplePixels = 2; // pixels between samples of the design line
constexpr double kTickPixels = 110; // pixels between chainage ticks, at least
constexpr double kLevelPixels = 36; // and between elevation ticks
constexpr double kWheelStep = 1.25; // exaggeration a wheel notch
constexpr int kLargestFactor = 100000;
constexpr std::size_t kPicturesKept = 256;

const QColor kGrid(228, 228, 228);
const QColor kGradeLine(150, 150, 150);
const QColor kDesign(0, 90, 200);
const QColor kCurve(0, 140, 90);
const QColor kCurrent(200, 0, 0);

// A round length: 1, 2 or 5 times a power of ten, not below the target.
double roundUp(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (const double step : {1.0, 2.0, 5.0})
    if (step * power >= target)
      return step * power;
  return 10 * power;
}

// The same, not above it: an exaggeration that still fits.
double roundDown(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (const double step : {5.0, 2.0, 1.0})
    if (step * power <= target)
      return step * power;
  return power;
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

ProfileView::ProfileView(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), scale_(new QSpinBox(this)) {
  setObjectName(QStringLiteral("profileView"));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setMinimumSize(120, 120);
  scale_->setObjectName(QStringLiteral("profileScale"));
  scale_->setRange(0, kLargestFactor);
  scale_->setPrefix(QStringLiteral("竖向 ×"));
  scale_->setSpecialValueText(QStringLiteral("竖向 自动"));
  scale_->setToolTip(QStringLiteral("高程的放大倍数；Ctrl+滚轮也可改"));
  scale_->move(6, 4);
  connect(scale_, &QSpinBox::valueChanged, this, [this] {
    layOut();
    update();
  });
}

void ProfileView::setRoute(std::shared_ptr<const RouteModel> route) {
  route_ = std::move(route);
  layOut();
  update();
}

void ProfileView::formChanged() {
  if (route_)
    update();
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
  const QRectF plot = plotArea();
  return {plot.left() + (measure - fromMeasure_) * pixelsPerMetreAlong_,
          plot.center().y() - (elevation - midElevation_) * pixelsPerMetreUp_};
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
void ProfileView::layOut() {
  const auto e = extent();
  if (!e)
    return;
  const QRectF plot = plotArea();
  fromMeasure_ = e->fromMeasure;
  midElevation_ = (e->low + e->high) / 2;
  pixelsPerMetreAlong_ = plot.width() / (e->toMeasure - e->fromMeasure);
  double factor = scale_->value();
  if (factor == 0) {
    const double span = std::max(e->high - e->low, kLeastSpan);
    factor = std::max(1.0, roundDown(plot.height() * 0.8 / span / pixelsPerMetreAlong_));
  }
  pixelsPerMetreUp_ = pixelsPerMetreAlong_ * factor;
}

// Chainage ticks at round chainages within each chain segment; elevation
// ticks at round levels.
void ProfileView::drawAxes(QPainter& painter, const Extent& e) {
  const QRectF plot = plotArea();
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(plot);
  const double step = roundUp(kTickPixels / pixelsPerMetreAlong_);
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
  const double level = roundUp(kLevelPixels / pixelsPerMetreUp_);
  const double lowest = midElevation_ - (plot.bottom() - plot.center().y()) / pixelsPerMetreUp_;
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
  QPolygonF grades;
  for (const GradeSegment& g : profile.grades()) {
    if (grades.isEmpty())
      grades << toScreen(g.start, profile.points()[g.from].elevation);
    grades << toScreen(g.end, profile.points()[g.to].elevation);
  }
  painter.setPen(QPen(kGradeLine, 1, Qt::DashLine));
  painter.drawPolyline(grades);

  // Only the part on the route: a grade point far beyond an end would
  // otherwise cost samples no one sees.
  const double length = route_->route().length();
  const auto line = [&](double from, double to, const QPen& pen) {
    from = std::max(from, 0.0);
    to = std::min(to, length);
    if (!(from < to))
      return;
    QPolygonF points;
    const double step = kSamplePixels / pixelsPerMetreAlong_;
    for (double m = from;; m = std::min(m + step, to)) {
      if (const auto level = profile.at(m))
        points << toScreen(m, level->elevation);
      if (m >= to)
        break;
    }
    painter.setPen(pen);
    painter.drawPolyline(points);
  };
  line(profile.grades().front().start, profile.grades().back().end, QPen(kDesign, 2));
  for (const VerticalCurve& c : profile.curves())
    line(c.start, c.end, QPen(kCurve, 3));
}

// Each grade point with its chainage and elevation (and its curve's radius);
// each grade with its per cent and length where there is room for it.
void ProfileView::drawPoints(QPainter& painter) {
  const Profile& profile = route_->profile();
  const auto& points = profile.points();
  std::vector<std::size_t> used;
  for (const GradeSegment& g : profile.grades()) {
    if (used.empty())
      used.push_back(g.from);
    used.push_back(g.to);
  }
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  std::erase_if(used, [&](std::size_t k) { return !onRoute(points[k].measure); });
  for (const std::size_t k : used)
    painter.drawEllipse(toScreen(points[k].measure, points[k].elevation), 3.5, 3.5);
  for (const std::size_t k : used) {
    const GradePoint& p = points[k];
    QString text = qs(p.name) + QLatin1Char(' ') + qs(chainageText(p.chainage)) +
                   QLatin1Char('\n') + QString::number(p.elevation, 'f', 3);
    if (p.tangentIn > 0 && p.tangentOut > 0) // an asymmetric curve: its two lengths
      text += QStringLiteral(" T1=") + QString::number(p.tangentIn, 'g', 10) +
              QStringLiteral(" T2=") + QString::number(p.tangentOut, 'g', 10);
    else if (p.radius > 0)
      text += QStringLiteral(" R=") + QString::number(p.radius, 'g', 10);
    drawLabel(painter, text, toScreen(p.measure, p.elevation));
  }
  for (const GradeSegment& g : profile.grades()) {
    const double mid = (g.start + g.end) / 2;
    const auto level = profile.at(mid);
    if (level && onRoute(mid))
      drawLabel(painter,
                QString::number(g.percent, 'f', 3) + QStringLiteral("% / ") +
                    QString::number(g.length, 'f', 3),
                toScreen(mid, level->elevation), true);
  }
}

// The chainage of the boxes' point, where the route has it, with its design
// elevation.
void ProfileView::drawCurrent(QPainter& painter) {
  const auto chainage = parseChainage(form_.text(Box::Text26));
  if (!chainage)
    return;
  const auto measure = route_->route().measureOf(route::Station{*chainage, 0});
  if (!measure)
    return;
  const auto level = route_->profile().at(*measure);
  const QRectF plot = plotArea();
  const double x = toScreen(*measure, 0).x();
  if (x < plot.left() || x > plot.right())
    return;
  painter.setPen(QPen(kCurrent, 1.5));
  painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  QString text = qs(chainageText(*chainage));
  if (level) {
    const QPointF at = toScreen(*measure, level->elevation);
    painter.setBrush(kCurrent);
    painter.drawEllipse(at, 3, 3);
    text += QStringLiteral(" 设计 ") + QString::number(level->elevation, 'f', 3);
    drawLabel(painter, text, at);
  } else {
    drawLabel(painter, text, QPointF(x, plot.top() + 8));
  }
}

// The first place around the anchor where the label stays inside the view,
// clear of the scale box and of the labels already placed; where none is
// clear, the one that covers least.
std::pair<QRectF, double> ProfileView::placeLabel(const QSizeF& size, const QPointF& p,
                                                  bool near) const {
  const double w = size.width(), h = size.height();
  const QRectF view = QRectF(rect()).adjusted(2, 2, -2, -2);
  const QRectF box = QRectF(scale_->geometry()).adjusted(-2, -2, 2, 2);
  const auto covered = [&](const QRectF& r) {
    double area = 0;
    const auto add = [&](const QRectF& other) {
      const QRectF both = r.intersected(other);
      area += both.width() * both.height();
    };
    add(box);
    for (const QRectF& placed : labelPlaces_)
      add(placed.adjusted(-1, -1, 1, 1));
    const QRectF inside = r.intersected(view);
    return area + (w * h - inside.width() * inside.height()) * 10;
  };
  QRectF best;
  double least = INFINITY;
  for (const double d : {6.0, 6.0 + h, 6.0 + 2 * h, 6.0 + 3 * h}) {
    if (near && d > 6)
      break;
    const QPointF corners[] = {{-w / 2, -d - h}, {-w / 2, d},    {6, -d - h},
                               {-w - 6, -d - h}, {6, d - h / 2}, {-w - 6, d - h / 2}};
    for (const QPointF& corner : corners) {
      const QRectF place(p + corner, size);
      const double c = covered(place);
      if (c == 0)
        return {place, 0};
      if (c < least) {
        least = c;
        best = place;
      }
    }
  }
  return {best, least};
}

// The text in white a pixel off every way, then in black: it reads over the
// lines beneath it. Drawn once into a picture that later paints copy.
const QPixmap& ProfileView::labelPicture(const QString& text, const QFont& font) {
  auto kept = labelPictures_.find(text);
  if (kept != labelPictures_.end())
    return kept->second;
  if (labelPictures_.size() > kPicturesKept)
    labelPictures_.clear();
  const QFontMetricsF metrics(font);
  const QStringList lines = text.split(QLatin1Char('\n'));
  double width = 0;
  for (const QString& line : lines)
    width = std::max(width, metrics.horizontalAdvance(line));
  const qreal scale = devicePixelRatioF();
  const QSizeF size(width + 2, metrics.height() * lines.size() + 2);
  QPixmap picture((size * scale).toSize() + QSize(1, 1));
  picture.setDevicePixelRatio(scale);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setFont(font);
  for (int i = 0; i < lines.size(); ++i) {
    const QPointF baseline(1, 1 + metrics.ascent() + i * metrics.height());
    p.setPen(Qt::white);
    for (const double dx : {-1.0, 0.0, 1.0})
      for (const double dy : {-1.0, 0.0, 1.0})
        if (dx != 0 || dy != 0)
          p.drawText(baseline + QPointF(dx, dy), lines[i]);
    p.setPen(Qt::black);
    p.drawText(baseline, lines[i]);
  }
  return labelPictures_.emplace(text, picture).first->second;
}

void ProfileView::drawLabel(QPainter& painter, const QString& text, const QPointF& anchor,
                            bool spare) {
  const QPixmap& picture = labelPicture(text, painter.font());
  const QSizeF size = picture.deviceIndependentSize() - QSizeF(2, 2);
  const auto [place, covered] = placeLabel(size, anchor, spare);
  if (spare && covered > 0)
    return;
  painter.drawPixmap(place.topLeft() - QPointF(1, 1), picture);
  labelPlaces_.push_back(place);
}

void ProfileView::paintEvent(QPaintEvent*) {
  labelPlaces_.clear();
  QPainter painter(this);
  const auto e = extent();
  if (!e) {
    painter.setPen(Qt::darkGray);
    painter.drawText(rect(), Qt::AlignCenter,
                     route_ ? QStringLiteral("没有纵断面：路线上至少要有两个可用的变坡点")
                            : QStringLiteral("没有打开路线"));
    return;
  }
  layOut();
  painter.setRenderHint(QPainter::Antialiasing);
  drawAxes(painter, *e);
  painter.setClipRect(plotArea().adjusted(-1, -1, 1, 1));
  drawLines(painter);
  painter.setClipping(false);
  drawPoints(painter);
  drawCurrent(painter);
}

void ProfileView::resizeEvent(QResizeEvent*) { layOut(); }

// Ctrl and the wheel change the exaggeration; the wheel alone is the
// surroundings'.
void ProfileView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (!(event->modifiers() & Qt::ControlModifier) || notches == 0 || !extent()) {
    event->ignore();
    return;
  }
  const double factor =
      std::clamp(exaggeration() * std::pow(kWheelStep, notches), 1.0, double(kLargestFactor));
  scale_->setValue(int(std::lround(factor)));
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/section_view.h"

#include "app/drawing/canvas.h"
#include "app/drawing/clipped_lines.h"
#include "app/drawing/notice_label.h"
#include "app/said.h"
#include "form/form.h"
#include "numeric/chainage_text.h"
#include "session/route_model.h"

#include <QEvent>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

// Room around the plot: elevations left, offsets below; above it, the
// title's lines and a gap.
constexpr double kLeft = 58, kRight = 14, kBottom = 30, kTitleGap = 12;
constexpr double kAcross = 0.62;     // of the plot's width, the road's
constexpr double kFill = 0.45;       // of the plot's height, the surface's span at most
constexpr double kLeastSpan = 0.3;   // metres of elevation taken at least
constexpr double kLeastWidth = 1;    // metres across taken at least
constexpr double kCrownFall = 2;     // per cent: a normal crown's fall, to show
constexpr double kCrownPixels = 8;   // at least this high over the narrower side
constexpr double kTickPixels = 70;   // pixels between offset ticks, at least
constexpr double kLevelPixels = 36;  // and between elevation ticks
constexpr double kLabelGap = 6;      // a label's distance from its anchor
constexpr double kLabelPad = 5;      // kept clear left and right of a label
constexpr int kLabelRings = 8;       // rows of labels that may stack above or below
constexpr double kLeaderBeyond = 20; // pixels: a label further off is tied to its point
constexpr double kVertexRadius = 2.5;
constexpr double kGroundSide = 6;

const QColor kGrid(228, 228, 228);
const QColor kCentreLine(150, 150, 150);
const QColor kSurface(0, 90, 200);
const QColor kGround(150, 90, 20);

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The ground's elevation at the boxes' point: Text32 where it holds a number,
// as the tools' cut or fill at the point takes it.
std::optional<double> groundOf(const Form& form) {
  const double elevation = form.number(Box::Text32);
  if (form.text(Box::Text32).empty() || !std::isfinite(elevation))
    return std::nullopt;
  return elevation;
}

// Above the anchor, then below it, rows a label's height apart; in each
// row leaning `lean` of the label's width to the left of the anchor (0.5
// centred, 1 wholly left, 0 wholly right), then centred, then the other way.
std::vector<QPointF> labelCorners(const QSizeF& size, double lean) {
  const double w = size.width(), h = size.height(), g = kLabelGap;
  std::vector<QPointF> corners;
  for (int ring = 0; ring < kLabelRings; ++ring) {
    const double d = g + ring * h;
    for (const double l : {lean, 0.5, 1 - lean})
      corners.insert(corners.end(), {{-w * l, -d - h}, {-w * l, d}});
  }
  return corners;
}

// Ticks of a round step over a range, the step at least `pixels` apart.
double tickStep(double pixels, double scale) { return roundStepAtLeast(pixels / scale); }

// As many decimals as a tick step needs.
int decimalsOf(double step) { return std::max(0, int(std::ceil(-std::log10(step) - 1e-9))); }

// An offset as the axis names it: the side and the distance from the
// centre line.
QString offsetText(double offset, int decimals) {
  const QString distance = QString::number(std::fabs(offset), 'f', decimals);
  if (std::fabs(offset) < 1e-9)
    return QStringLiteral("0");
  return said(offset < 0 ? Say::FieldSideLeft : Say::FieldSideRight) + distance;
}

// The factor that fits a span of elevations into the plot's share of its
// height at the horizontal scale: a round one, never below 1.
double factorFor(double span, double height, double scale) {
  return std::max(1.0, roundStepAtMost(height * kFill / std::max(span, kLeastSpan) / scale));
}

} // namespace

SectionView::SectionView(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), notice_(new NoticeLabel("sectionNotice", this)) {
  makeCanvas(*this, "sectionView");
  notice_->setAlignment(Qt::AlignCenter);
  showScene();
}

void SectionView::setRoute(std::shared_ptr<const RouteModel> route) {
  route_ = std::move(route);
  showScene();
}

void SectionView::formChanged() { showScene(); }

// The scene as the route and the boxes now give it, drawn anew only where it
// differs from the one drawn.
void SectionView::showScene() {
  std::optional<SectionScene> scene;
  QString notice;
  const auto chainage = parseChainage(form_.text(Box::Text26));
  if (!route_) {
    notice = said(Say::WindowSectionNoRoute);
  } else if (!chainage) {
    notice = said(Say::WindowSectionNoChainage);
  } else {
    SectionScene s = sectionScene(*route_, Station{*chainage, 0}, groundOf(form_));
    if (s.problem.empty())
      scene = std::move(s);
    else
      notice = qs(s.problem);
  }
  if (scene == scene_ && notice == notice_->notice())
    return;
  scene_ = std::move(scene);
  notice_->setNotice(notice);
  notice_->setVisible(!notice.isEmpty());
  drawing_.drop();
  update();
}

QRectF SectionView::plotArea() const {
  return QRectF(kLeft, top_, std::max(1.0, width() - kLeft - kRight),
                std::max(1.0, height() - top_ - kBottom));
}

// Whether the ground is drawn in the plot: where the factor that holds it
// with the surface still shows a normal crown's fall over the narrower side
// kCrownPixels high. Elsewhere (a ground typed far off) it is marked at the
// plot's edge.
bool SectionView::groundFits() const {
  if (!scene_->ground)
    return false;
  const auto [low, high] = std::minmax_element(
      scene_->surface.begin(), scene_->surface.end(),
      [](const SectionVertex& a, const SectionVertex& b) { return a.elevation < b.elevation; });
  const double g = scene_->ground->elevation;
  const double span = std::max(high->elevation, g) - std::min(low->elevation, g);
  const double narrower = std::min(-scene_->surface.front().offset, scene_->surface.back().offset);
  const double scale = view_.scale();
  return factorFor(span, plotArea().height(), scale) * scale * narrower * kCrownFall / 100 >=
         kCrownPixels;
}

// The road across the middle of the plot; the elevations exaggerated by the
// round factor that fits the surface (and the ground, where it fits) into
// the plot's share of its height.
void SectionView::layOut() {
  const QRectF plot = plotArea();
  view_.setArea(plot);
  const double left = scene_->surface.front().offset, right = scene_->surface.back().offset;
  const double scale = plot.width() * kAcross / std::max(right - left, kLeastWidth);
  view_.set({(left + right) / 2, 0}, scale, scale);
  double low = INFINITY, high = -INFINITY;
  for (const SectionVertex& v : scene_->surface) {
    low = std::min(low, v.elevation);
    high = std::max(high, v.elevation);
  }
  if (groundFits()) {
    low = std::min(low, scene_->ground->elevation);
    high = std::max(high, scene_->ground->elevation);
  }
  const double factor = factorFor(high - low, plot.height(), scale);
  view_.set({(left + right) / 2, (low + high) / 2}, scale, scale * factor);
}

// Offset ticks below, named by side; elevation ticks left.
void SectionView::drawAxes(QPainter& painter) {
  const QRectF plot = plotArea();
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(plot);
  const double step = tickStep(kTickPixels, view_.scale());
  const PlaneBox shown = view_.shown();
  for (double o = std::ceil(shown.left / step) * step; o <= shown.right; o += step) {
    const double x = view_.toScreen({o, 0}).x();
    painter.setPen(kGrid);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x - 40, plot.bottom() + 4, 80, kBottom - 6), Qt::AlignHCenter,
                     offsetText(o, decimalsOf(step)));
  }
  const double level = tickStep(kLevelPixels, view_.upScale());
  for (double z = std::ceil(shown.bottom / level) * level; z <= shown.top; z += level) {
    const double y = view_.toScreen({0, z}).y();
    painter.setPen(kGrid);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(2, y - 9, kLeft - 6, 18), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(z, 'f', decimalsOf(level)));
  }
  painter.setPen(QPen(kCentreLine, 1, Qt::DashDotLine));
  const double centre = view_.toScreen({0, 0}).x();
  painter.drawLine(QPointF(centre, plot.top()), QPointF(centre, plot.bottom()));
}

void SectionView::drawSurface(QPainter& painter) const {
  QPolygonF line;
  for (const SectionVertex& v : scene_->surface)
    line << toScreen(v);
  painter.setPen(QPen(kSurface, 2));
  drawClippedPolyline(painter, line, plotArea().adjusted(-10, -10, 10, 10));
  painter.setBrush(Qt::white);
  painter.setPen(QPen(kSurface, 1.5));
  for (const QPointF& p : line)
    if (paintable(p))
      painter.drawEllipse(p, kVertexRadius, kVertexRadius);
}

// The ground at the centre line: a triangle, and a dashed line up or down
// to the design elevation, the cut or fill between them. A ground too far
// off to fit stands at the plot's edge, its triangle pointing the way.
void SectionView::drawGround(QPainter& painter) {
  if (!scene_->ground)
    return;
  const QRectF plot = plotArea();
  const SectionVertex centre = scene_->elevations[1].at;
  QPointF at = toScreen(*scene_->ground);
  const double y = std::clamp(at.y(), plot.top() + kGroundSide, plot.bottom() - kGroundSide);
  const bool off = y != at.y();
  at.setY(y);
  painter.setPen(QPen(kGround, 1, Qt::DashLine));
  drawClippedLine(painter, at, toScreen(centre), plot);
  // Pointing down at the ground; off the plot, the way to it.
  const double s = kGroundSide;
  const double tip = off && scene_->ground->elevation > centre.elevation ? -s : s;
  const QPointF base = off ? QPointF(0, -tip) : QPointF(0, -s);
  painter.setPen(QPen(kGround, 1.5));
  painter.setBrush(kGround);
  painter.drawPolygon(QPolygonF(
      {at + QPointF(0, off ? tip : 0), at + base + QPointF(-s, 0), at + base + QPointF(s, 0)}));
  placer_.addMarker(at, s);
  QString text = qs(scene_->groundText) + (off ? said(Say::WindowSectionOutside) : QString());
  // On a narrow plot the cut or fill goes below the ground's elevation.
  const qsizetype cut = text.indexOf(QLatin1Char(' '), text.indexOf(QLatin1Char(' ')) + 1);
  if (cut > 0 && labels_.size(text).width() > plotArea().width() / 2)
    text[cut] = QLatin1Char('\n');
  placeLabel(painter, text, at + QPointF(kLabelGap, 0), 0);
}

// A label where it covers least, leaning as labelCorners says, tied to its
// point by a thin line where its neighbours pushed it off; kept with room
// beside it, so that two labels in a row do not read as one. Drawn once all
// are placed, over every line.
void SectionView::placeLabel(QPainter& painter, const QString& text, const QPointF& anchor,
                             double lean) {
  const QSizeF size = labels_.size(text) + QSizeF(2 * kLabelPad, 0);
  const QRectF place = placer_.place(size, anchor, labelCorners(size, lean)).rect;
  const QPointF nearest(std::clamp(anchor.x(), place.left(), place.right()),
                        std::clamp(anchor.y(), place.top(), place.bottom()));
  if (QLineF(anchor, nearest).length() > kLeaderBeyond) {
    painter.setPen(QPen(Qt::darkGray, 0.8));
    painter.drawLine(anchor, nearest);
  }
  placed_.emplace_back(text, place.topLeft() + QPointF(kLabelPad, 0));
  placer_.keep(place);
}

// The edges' and the centre line's elevations first, leaning outwards; then
// each part's fall above or below its middle.
void SectionView::drawLabels(QPainter& painter) {
  for (const SectionVertex& v : scene_->surface)
    placer_.addMarker(toScreen(v), kVertexRadius);
  const double leans[] = {0.85, 0.5, 0.15};
  for (std::size_t i = 0; i < scene_->elevations.size(); ++i) {
    const auto& [at, text] = scene_->elevations[i];
    placeLabel(painter, qs(text), toScreen(at), leans[i % 3]);
  }
  for (const auto& [at, text] : scene_->falls)
    placeLabel(painter, qs(text), toScreen(at), 0.5);
}

// The station and the exaggeration, then which way a fall's sign means,
// across the top, wrapped where the view is narrow.
QString SectionView::titleText(const QString& factor) const {
  return said(Say::WindowSectionTitle, {qs(scene_->title), factor});
}

QRectF SectionView::titlePlace() const { return QRectF(6, 2, std::max(1, width() - 12), height()); }

void SectionView::makeDrawing() {
  QPainter painter(&drawing_.remake(*this));
  painter.setFont(font());
  painter.setRenderHint(QPainter::Antialiasing);
  constexpr int wrapped = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  // As high as the title with the largest factor it may say.
  const QRectF title =
      painter.boundingRect(titlePlace(), wrapped, titleText(QStringLiteral("1000")));
  top_ = title.bottom() + kTitleGap;
  layOut();
  painter.setPen(Qt::black);
  painter.drawText(titlePlace(), wrapped, titleText(QString::number(std::lround(exaggeration()))));
  // Labels stay in the plot, clear of the axes' numbers.
  placer_.reset(plotArea().adjusted(2, 2, -2, -2));
  labels_.setFont(font(), devicePixelRatioF());
  drawAxes(painter);
  painter.setClipRect(plotArea().adjusted(-1, -1, 1, 1));
  drawSurface(painter);
  painter.setClipping(false);
  placed_.clear();
  drawLabels(painter);
  drawGround(painter);
  for (const auto& [text, at] : placed_)
    labels_.draw(painter, text, at);
}

void SectionView::paintEvent(QPaintEvent*) {
  if (!scene_)
    return;
  QPainter painter(this);
  if (drawing_.stale(*this))
    makeDrawing();
  drawing_.paint(painter);
}

void SectionView::resizeEvent(QResizeEvent*) {
  notice_->setGeometry(8, height() / 2 - 14, width() - 16, 28);
  drawing_.drop();
}

void SectionView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange)
    drawing_.drop();
  QWidget::changeEvent(event);
}

} // namespace quenlor

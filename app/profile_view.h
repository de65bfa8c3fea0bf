// SPDX-License-Identifier: GPL-3.0-or-later
// The route's profile (纵断面) drawn: the grade line through the grade points,
// the design line with its vertical curves, each grade point labelled with
// its chainage and elevation, each grade with its per cent and length, and
// the chainage of the boxes' point (Text26) marked with its design
// elevation. Chainages run to the right along the whole route, elevations
// upwards, exaggerated: the factor is the spin box's (Ctrl and the wheel
// change it), or on 自动 the one that fills the height. The drawing always
// fits the route into the width.
#pragma once

#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class QPainter;
class QSpinBox;

namespace quenlor {

class Form;
class RouteModel;

class ProfileView : public QWidget {
public:
  ProfileView(const Form& form, QWidget* parent);

  // The route to draw, or none.
  void setRoute(std::shared_ptr<const RouteModel> route);
  // The boxes changed: the marked chainage may have.
  void formChanged();
  // The vertical exaggeration; 0 for the one that fills the height.
  void setExaggeration(int factor);
  // As last drawn.
  double exaggeration() const { return pixelsPerMetreUp_ / pixelsPerMetreAlong_; }

  // Where a point of the profile lands (as last laid out).
  QPointF toScreen(double measure, double elevation) const;
  // Where the last paint put its labels.
  const std::vector<QRectF>& labelPlaces() const { return labelPlaces_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  struct Extent {
    double fromMeasure, toMeasure, low, high;
  };
  QRectF plotArea() const;
  bool onRoute(double measure) const; // between the route's ends: drawn
  std::optional<Extent> extent() const;
  void layOut();
  void drawAxes(QPainter& painter, const Extent& e);
  void drawLines(QPainter& painter) const;
  void drawPoints(QPainter& painter);
  void drawCurrent(QPainter& painter);
  // The place and how much of other labels (or of outside the view) it
  // covers; `near` keeps it beside the anchor.
  std::pair<QRectF, double> placeLabel(const QSizeF& size, const QPointF& anchor, bool near) const;
  // A label that must be read; a `spare` one is left out where no place
  // beside its anchor is clear.
  void drawLabel(QPainter& painter, const QString& text, const QPointF& anchor, bool spare = false);
  const QPixmap& labelPicture(const QString& text, const QFont& font);

  const Form& form_;
  std::shared_ptr<const RouteModel> route_;
  QSpinBox* scale_;
  double fromMeasure_ = 0, midElevation_ = 0;
  double pixelsPerMetreAlong_ = 1, pixelsPerMetreUp_ = 1;
  std::vector<QRectF> labelPlaces_;
  std::unordered_map<QString, QPixmap> labelPictures_;
};

} // namespace quenlor

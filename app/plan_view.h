// SPDX-License-Identifier: GPL-3.0-or-later
// A live plan of the route beside the boxes: the straights, the curve with its
// transitions, the main points, the computed point, the station with its
// sight lines, a scale bar and a north arrow. North (X) is up, east (Y) is to
// the right. It fits itself to what it draws until the user zooms (wheel) or
// pans (drag); a double-click fits again.
#pragma once

#include "session/plan_scene.h"

#include <QPen>
#include <QPointF>
#include <QWidget>

class QPainter;

namespace quenlor {

class Form;

class PlanView : public QWidget {
public:
  PlanView(const Form& form, QWidget* parent);

  // The boxes changed: the scene is built again at the next paint, so that
  // however fast the keys come there is at most one rebuild a frame.
  void formChanged();

  const PlanScene& scene();
  // Where a point of the route lands in the widget.
  QPointF toScreen(const PlanePoint& p) const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  void fit();
  QRectF paintArea() const;
  void drawLine(QPainter& painter, const PlanePoint& a, const PlanePoint& b) const;
  void drawPolyline(QPainter& painter, const Polyline& points, const QPen& pen) const;
  void drawRoute(QPainter& painter, const PlanScene& scene) const;
  static void drawMarker(QPainter& painter, const PlanMarker& marker, const QPointF& at);
  void drawLabel(QPainter& painter, const QString& label, const QPointF& at) const;
  void drawMarkers(QPainter& painter, const PlanScene& scene) const;
  void drawNorthArrow(QPainter& painter) const;
  void drawScaleBar(QPainter& painter) const;
  PlanePoint toPlan(const QPointF& screen) const;

  const Form& form_;
  PlanScene scene_;
  bool stale_ = true;
  bool userView_ = false; // zoomed or panned: do not refit
  double pixelsPerUnit_ = 1;
  PlanePoint centre_;
  QPointF dragFrom_;
};

} // namespace quenlor

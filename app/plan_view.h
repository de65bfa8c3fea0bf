// SPDX-License-Identifier: GPL-3.0-or-later
// A live plan of the route beside the boxes: the straights, the curve with its
// transitions, the main points, the computed point, the station with its
// sight lines, a scale bar and a north arrow. North (X) is up, east (Y) is to
// the right. It fits itself to what it draws until the user zooms (wheel) or
// pans (drag); a double-click fits again.
#pragma once

#include "app/drawing/halo_labels.h"
#include "app/drawing/label_placer.h"
#include "app/drawing/view_transform.h"
#include "session/plan_scene.h"

#include <QLineF>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace quenlor {

class Form;
class RouteModel;
class RoutePlan;

class PlanView : public QWidget {
public:
  PlanView(const Form& form, QWidget* parent);
  ~PlanView() override;

  // The boxes changed: the scene is built again at the next paint, so that
  // however fast the keys come there is at most one rebuild a frame.
  void formChanged();

  // The field tools' answers, whose points the plan marks as well.
  void setFieldAnswers(const FieldAnswers* answers) { answers_ = answers; }
  // The whole route to draw instead of the boxes' curve, or none; and the JD
  // to pick out on it.
  void setRoute(std::shared_ptr<const RouteModel> route);
  void setSelectedJd(std::optional<std::size_t> jd);
  // Puts `centre` in the middle of the view, zoomed in until `span` metres
  // take at least a quarter of it; a double-click fits the route again.
  void centreOn(const PlanePoint& centre, double span);

  const PlanScene& scene();
  // Where a point of the route lands in the widget.
  QPointF toScreen(const PlanePoint& p) const;
  // Where the last paint put the labels, and the north arrow.
  const std::vector<QRectF>& labelPlaces() const { return placer_.labels(); }
  // The point each of them names, and the leader lines drawn from a point to
  // its label where the label stands further off than kLeaderBeyond.
  const std::vector<QPointF>& labelAnchors() const { return anchors_; }
  const std::vector<QLineF>& labelLeaders() const { return leaders_; }
  static constexpr double kLeaderBeyond = 30; // pixels
  QRectF northArrowPlace() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  void fit();
  PlanScene::Bounds viewBounds() const;
  QRectF paintArea() const;
  void drawLine(QPainter& painter, const PlanePoint& a, const PlanePoint& b) const;
  void drawPolyline(QPainter& painter, const Polyline& points, const QPen& pen) const;
  void drawRoute(QPainter& painter, const PlanScene& scene) const;
  void drawTicksAndOffsets(QPainter& painter, const PlanScene& scene) const;
  static void drawMarker(QPainter& painter, const PlanMarker& marker, const QPointF& at);
  void drawMarkers(QPainter& painter, const PlanScene& scene);
  void drawNorthArrow(QPainter& painter) const;
  void drawScaleBar(QPainter& painter) const;

  const Form& form_;
  const FieldAnswers* answers_ = nullptr;
  std::shared_ptr<const RouteModel> route_;
  std::unique_ptr<RoutePlan> routePlan_;
  std::optional<std::size_t> selectedJd_;
  PlanScene scene_;
  bool stale_ = true;
  ViewTransform view_; // east to the right, north up
  LabelPlacer placer_;
  std::vector<QPointF> anchors_;
  std::vector<QLineF> leaders_;
  HaloLabels labels_;
  QPointF dragFrom_;
};

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The route's cross section (横断面) drawn at the chainage of the boxes'
// point (Text26), as the profile marks it: the road's surface from the left
// edge to the right with the superelevation and widening there, each part's
// cross fall at its middle, the design elevations of the edges and of the
// centre line, and the ground at the centre line where the point's
// elevation (Text32) is typed, with its cut or fill. Offsets run to the
// right, elevations upwards, exaggerated so that a normal crown's fall
// shows (the title says by how much); the engine's scene
// (session/section_scene.h) is all it draws. Where there is nothing to
// draw, a notice says why.
//
// The drawing is made once for each scene and size, and kept: a keystroke
// that changes neither the route, the chainage nor the ground paints
// nothing.
#pragma once

#include "app/drawing/halo_labels.h"
#include "app/drawing/kept_picture.h"
#include "app/drawing/label_placer.h"
#include "app/drawing/view_transform.h"
#include "session/section_scene.h"

#include <QRectF>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace quenlor {

class Form;
class NoticeLabel;
class RouteModel;

class SectionView : public QWidget {
public:
  SectionView(const Form& form, QWidget* parent);

  // The route to draw, or none; the same model again after an edit.
  void setRoute(std::shared_ptr<const RouteModel> route);
  // The boxes changed: the chainage or the ground may have.
  void formChanged();

  // What is drawn, or nothing where the notice says why.
  const std::optional<SectionScene>& scene() const { return scene_; }
  const NoticeLabel* notice() const { return notice_; }
  // As last laid out: the vertical exaggeration, and where a point of the
  // section lands.
  double exaggeration() const { return view_.upScale() / view_.scale(); }
  QPointF toScreen(const SectionVertex& v) const { return view_.toScreen({v.offset, v.elevation}); }
  // Where the last drawing put its labels.
  const std::vector<QRectF>& labelPlaces() const { return placer_.labels(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void showScene();
  QRectF plotArea() const;
  bool groundFits() const;
  void layOut();
  void makeDrawing();
  void drawAxes(QPainter& painter);
  void drawSurface(QPainter& painter) const;
  void drawGround(QPainter& painter);
  void drawLabels(QPainter& painter);
  QString titleText(const QString& factor) const;
  QRectF titlePlace() const;
  void placeLabel(QPainter& painter, const QString& text, const QPointF& anchor, double lean);

  const Form& form_;
  std::shared_ptr<const RouteModel> route_;
  NoticeLabel* notice_;
  std::optional<SectionScene> scene_; // none: the notice says why
  ViewTransform view_;                // offset to the right, elevation up
  LabelPlacer placer_;
  HaloLabels labels_;
  std::vector<std::pair<QString, QPointF>> placed_; // labels to draw over the lines
  KeptPicture drawing_;
  double top_ = 0; // of the plot, below the title
};

} // namespace quenlor

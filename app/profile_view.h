// SPDX-License-Identifier: GPL-3.0-or-later
// The route's profile (纵断面) drawn: the grade line through the grade points,
// the design line with its vertical curves, each grade point labelled with
// its chainage and elevation, each grade with its per cent and length, and
// the chainage of the boxes' point (Text26) marked with its design
// elevation. Chainages run to the right along the whole route, elevations
// upwards, exaggerated: the factor is the spin box's (Ctrl and the wheel
// change it), or on 自动 the one that fills the height. The drawing always
// fits the route into the width.
//
// Labels never hide each other: a grade point's label goes where it covers
// least, and is left out where that would cover a label placed before it
// (on a profile of thousands of points, most are); a grade's label is left
// out unless it has a clear place beside its grade. The boxes' point's label
// goes over the others where it must.
//
// The drawing is made once for each version of the route, size and factor,
// and kept: a keystroke in the boxes repaints only where the boxes' point
// was and is, and nothing when it stays put.
#pragma once

#include "app/drawing/halo_labels.h"
#include "app/drawing/kept_picture.h"
#include "app/drawing/label_placer.h"
#include "app/drawing/point_stamp.h"
#include "app/drawing/view_transform.h"

#include <QRectF>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

class QPainter;
class QSpinBox;

namespace quenlor {

class Form;
class RouteModel;

class ProfileView : public QWidget {
public:
  ProfileView(const Form& form, QWidget* parent);

  // The route to draw, or none; the same model again after an edit.
  void setRoute(std::shared_ptr<const RouteModel> route);
  // The boxes changed: the marked chainage may have.
  void formChanged();
  // The vertical exaggeration; 0 for the one that fills the height.
  void setExaggeration(int factor);
  // As last drawn.
  double exaggeration() const { return view_.upScale() / view_.scale(); }

  // Where a point of the profile lands (as last laid out).
  QPointF toScreen(double measure, double elevation) const;
  // Where the last paint put its labels: the drawing's, then the boxes'
  // point's.
  std::vector<QRectF> labelPlaces() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  struct Extent {
    double fromMeasure, toMeasure, low, high;
  };
  // The boxes' point as drawn: a line across the plot, the point on the
  // design line where it has one, and its label.
  struct Mark {
    double x = 0;
    std::optional<QPointF> point;
    QString text;
    QRectF label;
    bool operator==(const Mark&) const = default;
  };

  // What the drawing shows of a route: an edit that changes none of it (a
  // JD's name, a chain break beyond the profile) repaints nothing. Numbers
  // are kept as their bits, so that a grade point left out (its measure not
  // a number) is the same as before. The grade points are taken again only
  // from a profile made again (RouteModel::profileVersion), and shared.
  using Bits = std::uint64_t;
  using PointBits = std::tuple<std::string, Bits, Bits, Bits, Bits>;
  struct Source {
    unsigned long profileVersion = 0; // of the points
    std::shared_ptr<const std::vector<PointBits>> points;
    std::vector<std::tuple<Bits, Bits, Bits>> segments;
    Bits length = 0;
    bool operator==(const Source& other) const;
  };
  // From the route, with the points of `shown` when its profile is the same.
  static Source sourceOf(const RouteModel& route, const Source* shown);

  QRectF plotArea() const;
  bool onRoute(double measure) const; // between the route's ends: drawn
  std::optional<Extent> extent() const;
  void layOut(const Extent& e);
  void redraw();
  void makeDrawing(const Extent& e);
  void drawAxes(QPainter& painter, const Extent& e) const;
  void drawLines(QPainter& painter) const;
  void drawPoints(QPainter& painter);
  void drawGrades(QPainter& painter);
  std::optional<Mark> markOfForm();
  QRegion areaOf(const std::optional<Mark>& mark) const;
  void drawMark(QPainter& painter, const Mark& mark);

  const Form& form_;
  std::shared_ptr<const RouteModel> route_;
  QSpinBox* scale_;
  ViewTransform view_; // measure to the right, elevation up
  LabelPlacer placer_; // the drawing's labels
  HaloLabels labels_;
  PointStamp pointStamp_;
  Source source_;                // of the drawing
  std::optional<Extent> extent_; // none: nothing to draw
  KeptPicture drawing_;          // everything but the boxes' point
  std::optional<Mark> painted_;  // the boxes' point as last painted
  std::string markedChainage_;   // from the text of Text26 then
};

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Where a point of a drawing lands on a widget or a page, and the user's
// zoom and pan. The drawing's plane has a first coordinate to the right and
// a second upwards: a plan passes east and north, a profile the measure and
// the elevation, a cross-section the offset and the elevation. Each has its
// own scale (pixels per unit), so that a profile can exaggerate its heights;
// a plan keeps them equal.
//
// The centre of the plane shown lands in the middle of the area. The view
// fits what it draws until the user zooms or pans it (it is then held:
// fitting is the owner's choice again once it lets go).
#pragma once

#include <QPointF>
#include <QRectF>

#include <optional>

namespace quenlor {

struct PlaneXY {
  double right = 0, up = 0;
};

// A part of the plane: left <= right, bottom <= top.
struct PlaneBox {
  double left = 0, bottom = 0, right = 0, top = 0;
};

class ViewTransform {
public:
  void setArea(const QRectF& area) { area_ = area; }
  const QRectF& area() const { return area_; }

  QPointF toScreen(const PlaneXY& p) const;
  PlaneXY toPlane(const QPointF& screen) const;
  // The part of the plane the area shows.
  PlaneBox shown() const;

  double scale() const { return scale_; }           // pixels a unit, to the right
  double upScale() const { return upScale_; }       // and upwards
  const PlaneXY& centre() const { return centre_; } // in the middle of the area
  bool held() const { return held_; }

  // Shows `centre` in the middle at these scales; not held.
  void set(const PlaneXY& centre, double scale, double upScale);
  // Fits a box into the area less a margin on every side at one scale for
  // both axes; a box of no extent keeps the given scale, and nothing to fit
  // (or a box not finite) shows the origin at it. Lets go of the view.
  void fit(const std::optional<PlaneBox>& box, double margin, double fallbackScale);
  // The user's moves, each holding the view: zoom by a factor about a
  // screen point, which stays where it is (the scale kept within the
  // bounds); a pan by a screen distance; a point put in the middle.
  void zoom(const QPointF& about, double factor, double leastScale, double greatestScale);
  void pan(const QPointF& distance);
  void centreOn(const PlaneXY& centre) {
    centre_ = centre;
    held_ = true;
  }
  // Both scales set to one, about the middle, holding the view.
  void setScale(double scale);
  void letGo() { held_ = false; }

private:
  QRectF area_;
  PlaneXY centre_;
  double scale_ = 1, upScale_ = 1;
  bool held_ = false;
};

// A round step of 1, 2 or 5 times a power of ten: the least not below the
// target (a scale bar, ticks), or the greatest not above it (a factor that
// still fits). The target must be positive and finite.
double roundStepAtLeast(double target);
double roundStepAtMost(double target);

} // namespace quenlor

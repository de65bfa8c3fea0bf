// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/view_transform.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

QPointF ViewTransform::toScreen(const PlaneXY& p) const {
  return {area_.center().x() + (p.right - centre_.right) * scale_,
          area_.center().y() - (p.up - centre_.up) * upScale_};
}

PlaneXY ViewTransform::toPlane(const QPointF& s) const {
  return {centre_.right + (s.x() - area_.center().x()) / scale_,
          centre_.up - (s.y() - area_.center().y()) / upScale_};
}

PlaneBox ViewTransform::shown() const {
  const PlaneXY topLeft = toPlane(area_.topLeft()), bottomRight = toPlane(area_.bottomRight());
  return {topLeft.right, bottomRight.up, bottomRight.right, topLeft.up};
}

void ViewTransform::set(const PlaneXY& centre, double scale, double upScale) {
  centre_ = centre;
  scale_ = scale;
  upScale_ = upScale;
  held_ = false;
}

void ViewTransform::fit(const std::optional<PlaneBox>& box, double margin, double fallbackScale) {
  held_ = false;
  scale_ = upScale_ = fallbackScale;
  centre_ = {};
  if (!box)
    return;
  const PlaneXY centre{(box->left + box->right) / 2, (box->bottom + box->top) / 2};
  if (!std::isfinite(centre.right) || !std::isfinite(centre.up))
    return;
  centre_ = centre;
  const double width = std::max(1.0, area_.width() - 2 * margin);
  const double height = std::max(1.0, area_.height() - 2 * margin);
  const double spanRight = box->right - box->left, spanUp = box->top - box->bottom;
  const double scale = std::min(spanRight > 0 ? width / spanRight : INFINITY,
                                spanUp > 0 ? height / spanUp : INFINITY);
  if (std::isfinite(scale) && scale > 0)
    scale_ = upScale_ = scale;
}

void ViewTransform::zoom(const QPointF& about, double factor, double leastScale,
                         double greatestScale) {
  const PlaneXY under = toPlane(about);
  const double ratio = upScale_ / scale_;
  scale_ = std::clamp(scale_ * factor, leastScale, greatestScale);
  upScale_ = scale_ * ratio;
  const QPointF moved = toScreen(under);
  centre_.right += (moved.x() - about.x()) / scale_;
  centre_.up -= (moved.y() - about.y()) / upScale_;
  held_ = true;
}

void ViewTransform::pan(const QPointF& distance) {
  centre_.right -= distance.x() / scale_;
  centre_.up += distance.y() / upScale_;
  held_ = true;
}

void ViewTransform::setScale(double scale) {
  scale_ = upScale_ = scale;
  held_ = true;
}

double roundStepAtLeast(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (const double step : {1.0, 2.0, 5.0})
    if (step * power >= target)
      return step * power;
  return 10 * power;
}

double roundStepAtMost(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (const double step : {5.0, 2.0, 1.0})
    if (step * power <= target)
      return step * power;
  return power;
}

} // namespace quenlor

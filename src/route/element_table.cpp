// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/element_table.h"

#include <algorithm>

namespace quenlor::route {
namespace {

// A transition's radius at l from its curvature-0 end: R Ls / l, none at
// l = 0, R itself over its whole length.
double transitionRadius(const Element& e, double l) {
  if (!(l > 0))
    return kNoRadius;
  return l >= e.length ? e.radius : e.rls / l;
}

double spiralRadius(const Element& e, double s) {
  const double k = s <= 0
                       ? e.startCurvature
                       : (s >= e.length ? e.endCurvature : e.startCurvature + e.curvatureRate * s);
  return k == 0 ? kNoRadius : 1 / k;
}

struct Radii {
  double start, end;
};

// At s0 and s1 along the element: its ends where the span is all of it.
Radii radiiOf(const Element& e, double s0, double s1) {
  switch (e.shape) {
  case Shape::Straight: break;
  case Shape::Arc: return {e.radius, e.radius};
  case Shape::FirstTransition: return {transitionRadius(e, s0), transitionRadius(e, s1)};
  case Shape::SecondTransition:
    return {transitionRadius(e, e.length - s0), transitionRadius(e, e.length - s1)};
  case Shape::Spiral: return {spiralRadius(e, s0), spiralRadius(e, s1)};
  }
  return {kNoRadius, kNoRadius};
}

ElementKind kindOf(Shape shape) {
  switch (shape) {
  case Shape::Straight: return ElementKind::Straight;
  case Shape::Arc: return ElementKind::Arc;
  default: return ElementKind::Clothoid;
  }
}

Turn turnOf(const Element& e) {
  if (e.shape == Shape::Straight)
    return Turn::None;
  return e.turn > 0 ? Turn::Right : Turn::Left;
}

// A route by JDs names a row by the last main point where it starts.
std::string nameOf(const Route& route, const Route::Span& span) {
  const RouteDefinition& d = route.definition();
  if (route.byElements())
    return d.elements[static_cast<std::size_t>(route.element(std::size_t(span.element)).owner)]
        .name;
  if (span.from == 0)
    return d.start.name;
  const std::vector<NamedPoint>& points = route.mainPoints();
  const auto after = std::upper_bound(points.begin(), points.end(), span.from,
                                      [](double m, const NamedPoint& p) { return m < p.measure; });
  if (after == points.begin() || (after - 1)->measure != span.from)
    return {};
  const NamedPoint& at = *(after - 1);
  const std::string& jd = d.jds[static_cast<std::size_t>(at.index)].name;
  return (jd.empty() ? "JD #" + std::to_string(at.index + 1) : jd) + " " +
         route.pointName(at.kind, at.index);
}

PlanePoint shifted(PlanePoint p, PlanePoint by) { return {p.x + by.x, p.y + by.y}; }

} // namespace

ElementTable elementTable(const Route& route) {
  ElementTable table;
  for (const Route::Span& span : route.spans()) {
    const Element e = route.element(static_cast<std::size_t>(span.element));
    // The whole element where the span is: its ends exactly.
    const double s0 = span.from - e.start;
    const double s1 = span.to == e.start + e.length ? e.length : span.to - e.start;
    const ElementPoint start = pointOn(e, s0);
    const Radii radii = radiiOf(e, s0, s1);
    table.rows.push_back({nameOf(route, span), kindOf(e.shape), span.from,
                          route.stationAt(span.from), shifted(start.point, route.origin()),
                          reducedAzimuth(start.azimuth), radii.start, radii.end, s1 - s0,
                          turnOf(e)});
  }
  if (route.hasGeometry())
    table.end = route.pointAt(route.length());
  return table;
}

RouteDefinition elementDefinition(const Route& route) {
  const RouteDefinition& from = route.definition();
  const ElementTable table = elementTable(route);
  RouteDefinition d;
  d.name = from.name;
  d.method = Method::Elements;
  d.start = from.start;
  if (!table.rows.empty()) {
    d.start.x = table.rows.front().start.x;
    d.start.y = table.rows.front().start.y;
    d.start.azimuth = table.rows.front().startAzimuth;
  }
  for (const ElementTableRow& row : table.rows)
    d.elements.push_back({row.name, row.kind, row.startRadius, row.endRadius, row.length, row.turn,
                          row.start.x, row.start.y});
  d.end = from.end;
  if (table.end) {
    d.end.x = table.end->point.x;
    d.end.y = table.end->point.y;
  }
  d.breaks = from.breaks;
  d.gradePoints = from.gradePoints;
  return d;
}

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// The elements of the centre line: straights, clothoids and circular arcs,
// each placed along the route by the measure (the distance along the centre
// line from BP) at which it starts. An element knows its own geometry;
// route.h puts them in order.
#pragma once

#include "route/plane.h"

namespace quenlor::route {

// Which formula places an element's points. A JD's curve has the
// transitions of curvature 0 at the straight, each summed from that end
// (clothoid.h: clothoidPoint), so that ZH and HZ are where its tangents put
// them; an element route's clothoids run from their start, any curvature to
// any (clothoid.h: spiralPoint).
enum class Shape {
  Straight,
  FirstTransition, // curvature 0 at its start, the series from its start (ZH)
  Arc,
  SecondTransition, // curvature 0 at its end, the series back from its end (HZ)
  Spiral,           // any start and end curvature, from its start
};

struct Element {
  Shape shape = Shape::Straight;
  int owner = 0;      // of a JD's curve the JD (on a straight the JD it leads
                      // to); of an element route the element row
  double start = 0;   // measure at its start
  double length = 0;  // >= 0
  PlanePoint base;    // where its formula starts: its start point, but HZ
                      // (its end) for the second transition
  double azimuth = 0; // tangent azimuth at base
  double turn = 0;    // +1 turning right, -1 left
  double radius = 0;  // arcs and transitions: R; spirals: the least
  double rls = 0;     // transitions: R Ls
  PlanePoint centre;  // arcs
  double startCurvature = 0, endCurvature = 0, curvatureRate = 0; // spirals: k0, k1 >= 0,
                                                                  // dk/ds
};

Element straight(int owner, double start, double length, PlanePoint from, double azimuth);
Element firstTransition(int owner, double start, double ls, PlanePoint zh, double azimuth,
                        double turn, double radius);
Element arc(int owner, double start, double length, PlanePoint hy, double azimuth, double turn,
            double radius, PlanePoint centre);
Element secondTransition(int owner, double start, double ls, PlanePoint hz, double azimuth,
                         double turn, double radius);
// A clothoid from curvature k0 to k1 (both >= 0, not both 0) over `length`.
Element spiral(int owner, double start, double length, PlanePoint from, double azimuth, double turn,
               double k0, double k1);

// Its signed curvature at s along it from its start (right positive), and
// the size of its change of direction from one end to the other.
double curvatureAt(const Element& e, double s);
double totalTurn(const Element& e);

struct ElementPoint {
  PlanePoint point;
  double azimuth; // of the tangent, towards increasing measure; not reduced
};

// The point at s along the element from its start, 0 <= s <= length.
ElementPoint pointOn(const Element& e, double s);

// A box that holds the whole element, whose ends are start and end. Single
// precision, rounded outwards, so that a route's boxes take half the memory:
// a box is only ever a bound.
struct BoundingBox {
  float minX, minY, maxX, maxY;
};
BoundingBox boundsOf(const Element& e, PlanePoint start, PlanePoint end);
// The box of a straight from its two ends.
BoundingBox boundsOf(PlanePoint a, PlanePoint b);
double distanceSquaredTo(const BoundingBox& box, PlanePoint p);
BoundingBox unite(const BoundingBox& a, const BoundingBox& b);

// The point of the element between s0 and s1 nearest p: a foot of the
// perpendicular from p where there is one, else an end.
struct Nearest {
  double s;
  double distanceSquared;
};
Nearest nearestOn(const Element& e, PlanePoint p, double s0, double s1);

} // namespace quenlor::route

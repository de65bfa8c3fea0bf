// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the centre line: straights, clothoids and circular arcs, each
// placed along the route by the measure (the distance along the centre line
// from BP) at which it starts. A piece knows its own geometry; route.h puts
// them in order.
#pragma once

#include "route/plane.h"

namespace quenlor::route {

// Where on its JD's stretch of the route a piece (or a point) lies.
enum class Stretch { Straight, FirstTransition, Arc, SecondTransition };

struct Element {
  Stretch stretch = Stretch::Straight;
  int jd = 0;         // the JD of the curve; on a straight the JD it leads to
  double start = 0;   // measure at its start
  double length = 0;  // >= 0
  PlanePoint base;    // where its formula starts: its start point, but HZ
                      // (its end) for the second transition
  double azimuth = 0; // tangent azimuth at base
  double turn = 0;    // +1 turning right, -1 left
  double radius = 0;  // arcs and clothoids: R
  double rls = 0;     // clothoids: R Ls
  PlanePoint centre;  // arcs
};

Element straight(int jd, double start, double length, PlanePoint from, double azimuth);
Element firstTransition(int jd, double start, double ls, PlanePoint zh, double azimuth, double turn,
                        double radius);
Element arc(int jd, double start, double length, PlanePoint hy, double azimuth, double turn,
            double radius, PlanePoint centre);
Element secondTransition(int jd, double start, double ls, PlanePoint hz, double azimuth,
                         double turn, double radius);

struct ElementPoint {
  PlanePoint point;
  double azimuth; // of the tangent, towards increasing measure; not reduced
};

// The point at s along the element from its start, 0 <= s <= length.
ElementPoint pointOn(const Element& e, double s);

// A box that holds the whole element, whose ends are start and end. Single
// precision, rounded outwards, so that a route's boxes take half the memory:
// a box is only ever a bound.
struct Box {
  float minX, minY, maxX, maxY;
};
Box boundsOf(const Element& e, PlanePoint start, PlanePoint end);
// The box of a straight from its two ends.
Box boundsOf(PlanePoint a, PlanePoint b);
double distanceSquaredTo(const Box& box, PlanePoint p);
Box unite(const Box& a, const Box& b);

// The point of the element between s0 and s1 nearest p: a foot of the
// perpendicular from p where there is one, else an end.
struct Nearest {
  double s;
  double distanceSquared;
};
Nearest nearestOn(const Element& e, PlanePoint p, double s0, double s1);

} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// A bounding-volume tree over the pieces of the centre line, for the nearest
// piece to a point. A route is a path, so pieces next to each other in route
// order are next to each other in the plane: the tree halves the sequence
// (no sorting), which builds in linear time and is rebuilt after every edit.
#pragma once

#include "route/element.h"

#include <functional>
#include <vector>

namespace quenlor::route {

class ElementTree {
public:
  // The boxes of the pieces, in route order.
  void build(std::vector<Box> boxes);

  // Calls measure(i) for the pieces that may hold the nearest point to p,
  // nearer boxes first; measure returns the squared distance it found, and
  // a piece whose box is no nearer than the best found is skipped.
  void nearest(PlanPoint p, const std::function<double(int)>& measure) const;

private:
  struct Node {
    Box box;
    int first, count; // the pieces under the node
    int left, right;  // children; -1 for a leaf
  };
  int buildRange(int first, int count);
  void visit(int node, PlanPoint p, double& best, const std::function<double(int)>& measure) const;

  std::vector<Node> nodes_;
  std::vector<Box> boxes_;
};

} // namespace quenlor::route

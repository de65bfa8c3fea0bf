// SPDX-License-Identifier: GPL-3.0-or-later
// A bounding-volume tree over the pieces of the centre line, for the nearest
// piece to a point. A route is a path, so pieces next to each other in route
// order are next to each other in the plane: the tree halves the sequence
// (no sorting), which builds in linear time and is rebuilt after every edit.
#pragma once

#include "route/element.h"

#include <functional>
#include <optional>
#include <vector>

namespace quenlor::route {

class ElementTree {
public:
  // Over count pieces in route order, with boxOf(i) the box of piece i.
  void build(int count, const std::function<BoundingBox(int)>& boxOf);

  // Calls measure(i) for the pieces that may hold the nearest point to p,
  // nearer boxes first, a few neighbouring pieces at a time; measure returns
  // the squared distance it found, and a group of pieces whose box is no
  // nearer than the best found is skipped.
  void nearest(PlanePoint p, const std::function<double(int)>& measure) const;

  // Calls seen(i), in the order of the pieces, for every piece whose box
  // meets the area; and the box of them all, when there are any.
  void within(const BoundingBox& area, const std::function<void(int)>& seen) const;
  std::optional<BoundingBox> extent() const;

private:
  struct Node {
    BoundingBox box;
    int first, count; // the pieces under the node
    int left, right;  // children; -1 for a leaf
  };
  int buildRange(int first, int count, const std::function<BoundingBox(int)>& boxOf);
  void visit(int node, PlanePoint p, double& best, const std::function<double(int)>& measure) const;
  void visitWithin(int node, const BoundingBox& area, const std::function<void(int)>& seen) const;

  std::vector<Node> nodes_;
};

} // namespace quenlor::route

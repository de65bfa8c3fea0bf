// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/element_tree.h"

#include <algorithm>
#include <limits>

namespace quenlor::route {
namespace {

constexpr int kLeafPieces = 4;

} // namespace

void ElementTree::build(int count, const std::function<BoundingBox(int)>& boxOf) {
  nodes_.clear();
  nodes_.reserve(static_cast<std::size_t>(count) / 2 + 1);
  if (count > 0)
    buildRange(0, count, boxOf);
}

int ElementTree::buildRange(int first, int count, const std::function<BoundingBox(int)>& boxOf) {
  const int index = static_cast<int>(nodes_.size());
  nodes_.push_back({{}, first, count, -1, -1});
  if (count <= kLeafPieces) {
    BoundingBox box = boxOf(first);
    for (int i = first + 1; i < first + count; ++i)
      box = unite(box, boxOf(i));
    nodes_[index].box = box;
    return index;
  }
  const int half = count / 2;
  const int left = buildRange(first, half, boxOf);
  const int right = buildRange(first + half, count - half, boxOf);
  nodes_[index].left = left;
  nodes_[index].right = right;
  nodes_[index].box = unite(nodes_[left].box, nodes_[right].box);
  return index;
}

void ElementTree::nearest(PlanePoint p, const std::function<double(int)>& measure) const {
  double best = std::numeric_limits<double>::infinity();
  if (!nodes_.empty())
    visit(0, p, best, measure);
}

void ElementTree::visit(int index, PlanePoint p, double& best,
                        const std::function<double(int)>& measure) const {
  const Node& node = nodes_[index];
  if (node.left < 0) {
    for (int i = node.first; i < node.first + node.count; ++i)
      best = std::min(best, measure(i));
    return;
  }
  const double left = distanceSquaredTo(nodes_[node.left].box, p);
  const double right = distanceSquaredTo(nodes_[node.right].box, p);
  const bool leftFirst = left <= right;
  const int order[2] = {leftFirst ? node.left : node.right, leftFirst ? node.right : node.left};
  const double bound[2] = {leftFirst ? left : right, leftFirst ? right : left};
  for (int k = 0; k < 2; ++k)
    if (bound[k] < best)
      visit(order[k], p, best, measure);
}

void ElementTree::within(const BoundingBox& area, const std::function<void(int)>& seen) const {
  if (!nodes_.empty())
    visitWithin(0, area, seen);
}

void ElementTree::visitWithin(int index, const BoundingBox& area,
                              const std::function<void(int)>& seen) const {
  const Node& node = nodes_[index];
  const BoundingBox& b = node.box;
  if (b.minX > area.maxX || area.minX > b.maxX || b.minY > area.maxY || area.minY > b.maxY)
    return;
  if (node.left >= 0) {
    visitWithin(node.left, area, seen);
    visitWithin(node.right, area, seen);
    return;
  }
  for (int i = node.first; i < node.first + node.count; ++i)
    seen(i);
}

std::optional<BoundingBox> ElementTree::extent() const {
  if (nodes_.empty())
    return std::nullopt;
  return nodes_[0].box;
}

} // namespace quenlor::route

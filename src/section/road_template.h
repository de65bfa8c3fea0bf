// SPDX-License-Identifier: GPL-3.0-or-later
// The road's template (路幅): on each side of the centre line its parts from
// the centre line outwards, each with its width and its normal cross fall,
// and how each part takes a curve's superelevation and widening.
//
// Signs, here and in everything the cross section gives:
// - an offset is in metres from the centre line, right of the direction of
//   the route positive, left negative; widths and widening are sizes (>= 0);
// - a cross fall (横坡) is in per cent, negative where the surface falls away
//   from the centre line: a normal crown is -2, the outer side of a curve at
//   full superelevation +i_h, its inner side -i_h. The design tables' "2 %"
//   of a normal crown is -2 here;
// - a rise is in metres above the profile's design elevation (negative
//   below it).
//
// The parts of a side, in this order (路幅 of a road without a median):
// - lanes (行车道, with their edge strip 路缘带): they take the
//   superelevation; their outer edge, before any widening, is the edge an
//   axis of rotation 绕内边线 or 绕外边线 runs along, and the widening is
//   added there;
// - hard shoulders (硬路肩): they take the superelevation in the lanes'
//   plane, beyond the widening;
// - soil shoulders (土路肩): they keep their own normal fall, except on a
//   side whose lanes have been turned down steeper than their normal fall
//   (the inside of a superelevated curve): there a soil shoulder takes the
//   lanes' fall wherever that is steeper than its own.
// Everything that takes the superelevation on a side lies in one plane: the
// side's crown is the normal fall of its first part when that is a lane or a
// hard shoulder, and every lane and hard shoulder of the side must have it.
// A side whose first part is a soil shoulder, or that has no parts, has the
// other side's crown (a plane of no width that its shoulders follow), and
// the crown is 0 where neither side has a lane or a hard shoulder.
//
// Checks, reported with the part they concern, the rest still used:
// - a width that is not a finite number above 0, or a fall that is not a
//   finite number: the part is left out;
// - a lane or hard shoulder beyond a part of a later kind (a lane beyond a
//   hard shoulder, anything beyond a soil shoulder): taken as a soil shoulder;
// - a lane or hard shoulder whose normal fall is not the side's crown: taken
//   as a soil shoulder (it cannot lie in the lanes' plane on a straight);
// - a soil shoulder that falls less steeply than its lanes' crown: its fall
//   steps from its own to the lanes' where a curve's runoff starts on its
//   side, since on the inside it may not be flatter than the lanes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quenlor::section {

inline constexpr double kPercent = 100.0; // a fall in per cent, over a rise per metre

enum class Side { Left, Right };

enum class PartKind {
  Lane,         // 行车道
  HardShoulder, // 硬路肩
  SoilShoulder, // 土路肩
};

struct Part {
  std::string name; // as the design names it: 行车道, 硬路肩, 土路肩 ...
  PartKind kind = PartKind::Lane;
  double width = 0; // metres
  double fall = 0;  // normal cross fall, per cent, signed as above

  bool operator==(const Part&) const = default;
};

struct Template {
  std::vector<Part> left, right; // each from the centre line outwards

  bool empty() const { return left.empty() && right.empty(); }
  bool operator==(const Template&) const = default;
};

enum class PartFault {
  Unusable,         // left out
  OutOfOrder,       // taken as a soil shoulder
  FallUnlikeLanes,  // taken as a soil shoulder; amount: its fall minus the crown, per cent
  FlatterThanLanes, // a soil shoulder; amount: its fall minus the crown, per cent
};

struct PartCheck {
  PartFault fault = PartFault::Unusable;
  Side side = Side::Left;
  std::size_t part = 0; // index in its side's list
  double amount = 0;

  bool operator==(const PartCheck&) const = default;
};

// A soil shoulder as the section uses it.
struct Shoulder {
  std::size_t part = 0; // index in its side's list
  double width = 0, fall = 0;
};

// A side of the template as the section uses it: the parts kept, each with
// the kind it is taken as.
struct SideLayout {
  double crown = 0;         // per cent: the lanes' normal fall
  double lanes = 0;         // metres: the lanes' width, to the axis' edge
  double hardShoulders = 0; // metres: beyond the lanes (and the widening), in their plane
  std::vector<std::size_t> laneParts, hardShoulderParts; // indices in the side's list
  std::vector<Shoulder> shoulders;                       // beyond the hard shoulders, outwards

  double width() const; // without widening
};

struct Layout {
  SideLayout left, right;
  std::vector<PartCheck> checks; // left side first, each side outwards

  const SideLayout& side(Side s) const { return s == Side::Left ? left : right; }
};

// The layout of a template, with its checks.
Layout layoutOf(const Template& road);

// The fall a soil shoulder of normal fall `own` takes beside lanes whose
// crown is `crown` and whose fall is now `lanes` (per cent): own, or the
// lanes' fall where they are turned down below their crown and fall more
// steeply than own.
double shoulderFall(double own, double crown, double lanes);

} // namespace quenlor::section

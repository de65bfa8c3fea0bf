// SPDX-License-Identifier: GPL-3.0-or-later
// The route's cross section (横断面) at a station, as the window draws it:
// the road's surface from the left edge through the centre line to the right
// edge, each part's vertices at their offsets and design elevations (with
// the superelevation and widening there), each part's cross fall and each
// edge's and the centre line's design elevation as the labels say them, and
// the ground point typed there with its cut or fill. Offsets are in metres,
// right of the direction of the route positive; falls in per cent, negative
// falling away from the centre line, labelled with the per cent sign.
#pragma once

#include "alignment/station.h"

#include <optional>
#include <string>
#include <vector>

namespace quenlor {

class RouteModel;

struct SectionVertex {
  double offset = 0;
  double elevation = 0;

  bool operator==(const SectionVertex&) const = default;
};

struct SectionScene {
  std::string title;                  // "K1+234.567 横断面" and where it comes from
  std::string problem;                // why there is nothing to draw; empty where there is
  std::vector<SectionVertex> surface; // left edge to right edge, the centre line among them
  struct Label {
    SectionVertex at; // the point it tells about
    std::string text;

    bool operator==(const Label&) const = default;
  };
  std::vector<Label> falls;            // one a part, at its middle: "-2.00%"
  std::vector<Label> elevations;       // the left edge, the centre line, the right edge
  std::optional<SectionVertex> ground; // at the centre line
  std::string groundText;              // "地面 133.000 填 0.550"

  // The same scene: a view draws it again only where it differs.
  bool operator==(const SectionScene&) const = default;
};

// The scene at a station of the route; the ground's elevation at the
// centre line when one is typed. Without a template, a profile at the
// station, or a point there, the problem says which.
SectionScene sectionScene(const RouteModel& route, const Station& station,
                          std::optional<double> ground);

} // namespace quenlor

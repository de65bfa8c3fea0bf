// SPDX-License-Identifier: GPL-3.0-or-later
// A whole route as the window and the driver hold it: its definition, the
// route computed from it, the vertical alignment of its grade points and the
// cross section of its template, curves and station table.
//
// A grade point is given by its chainage, as the design's profile gives it;
// the profile itself runs on the distance along the centre line. A chainage
// that a long chain break makes occur twice is taken at its first
// occurrence not behind the grade point before it. A chainage before BP's or
// beyond EP's stands before or beyond the route, its first or last chain
// segment carried on (a design's profile usually runs a little past the
// route's ends, and those points shape the grades inside it); one within a
// millimetre of an end is at that end. One that names no point (in a short
// break's gap) leaves the grade point out, and the profile says so among its
// checks. A row of the station table is placed by its chainage the same way
// (a row that names no point is left out, and the sections say so).
//
// Elevations on the cross section (section/sections.h): the profile's design
// elevation H is the centre line's under the normal crown; a point of the
// template at an offset stands at H + its rise, the centre line itself at
// H + the centre line's rise where a curve turns the road about an edge.
#pragma once

#include "numeric/expected.h"
#include "profile/profile.h"
#include "route/route.h"
#include "section/sections.h"

#include <optional>
#include <string>
#include <vector>

namespace quenlor {

// The road's cross section at a station: the section, and where the profile
// has a design level there, the design elevations of the centre line and of
// each side's edge (with its widening).
struct CrossSectionAt {
  double measure = 0;
  section::Section section;
  std::optional<DesignLevel> level; // the profile's, at the centre line
  std::optional<double> centre, leftEdge, rightEdge;
};

class RouteModel {
public:
  explicit RouteModel(route::RouteDefinition definition = {});

  const route::Route& route() const { return route_; }
  const route::RouteDefinition& definition() const { return route_.definition(); }
  const Profile& profile() const { return profile_; }

  // Every edit of the definition goes through here, so that the profile
  // follows the geometry and the grade points. A window edits its one model
  // in place (a copy of ten thousand JDs would cost more than the edit) and
  // tells its views, which know by the version that it changed.
  //
  // An edit in the plan (a JD, an element, BP, EP) keeps the chain segments
  // but the end of the last one, and so the measure of every grade point that
  // is not near the route's end: where no grade point's chainage lies within
  // kProfileEndReach of either end, and the grade points are as they were,
  // the profile is the same and is kept (a profile of ten thousand points
  // costs more to make than the edit), but for how early it ends. Otherwise
  // it is made again, and its version counts up.
  template <class Edit> void edit(Edit&& change) {
    change(route_);
    if (!profileStands())
      makeProfile();
    else
      profile_.moveRouteEnd(route_.length());
    sections_ = sectionsOf(route_);
    ++version_;
  }
  void replace(route::RouteDefinition definition);
  unsigned long version() const { return version_; }
  // Counts the profiles made: the same number, the same profile.
  unsigned long profileVersion() const { return profileVersion_; }

  // The design level at a station of the route, or nothing where the route
  // or the profile has none.
  std::optional<DesignLevel> designAt(const route::Station& station) const;

  // Why the route has no design level at a measure on it, where its profile
  // has a line: the measure lies before the line's first grade point or
  // beyond its last (said in English and Chinese, naming where the line
  // starts or ends). Nothing where it has a level, or no line at all.
  std::optional<Failure> whyNoDesign(double measure) const;

  // What a stretch of the route from one measure to another lacks of design
  // levels: the part before the line's first point, the part beyond its
  // last, each said in English and Chinese. None where the line covers the
  // stretch, or there is no line at all.
  std::vector<Failure> designGaps(double from, double to) const;

  // The checks of the profile as lines for the user, each naming its grade
  // point.
  std::vector<std::string> profileCheckTexts() const;

  // Metres: beyond the millimetre within which a grade point is at an end.
  static constexpr double kProfileEndReach = 0.01;

  // The cross section: the template's parts (left then right, as in the
  // definition), a span for each JD, the station table's rows in order.
  const section::Sections& sections() const { return sections_; }
  // The cross section at a station, or nothing without a template or where
  // the station names no point of the route.
  std::optional<CrossSectionAt> crossSectionAt(const route::Station& station) const;
  // The design elevation at an offset (right positive) of a cross section:
  // nothing without a design level, or beyond the side's edge.
  std::optional<double> designAt(const CrossSectionAt& section, double offset) const;

private:
  static Profile profileOf(const route::Route& route);
  static section::Sections sectionsOf(const route::Route& route);
  void makeProfile();
  bool profileStands() const;

  route::Route route_;
  Profile profile_;
  section::Sections sections_;
  std::vector<route::ChainSegment> profileSegments_; // the chain segments it was made on
  unsigned long version_ = 0, profileVersion_ = 0;
};

} // namespace quenlor

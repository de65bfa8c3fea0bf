// SPDX-License-Identifier: GPL-3.0-or-later
// The boxes beside an open route, for the window and the driver alike: the
// JD they were filled from while they hold it as filled, a chainage typed
// into Text26 filling the JD whose stretch holds it, and what the notice
// line says of them. The boxes' own computations stay as they are: a fill
// is typed into them as a surveyor types, and the boxes' own edits are never
// typed over.
#pragma once

#include "session/jd_boxes.h"
#include "session/notices.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quenlor {

class Form;
class RouteModel;

class RouteBoxes {
public:
  // Fills the boxes from a JD of the route, as typed; false, and nothing
  // typed, for a JD that is not in the route.
  bool fill(Form& form, const route::Route& route, std::size_t jd);

  // Before Text26 takes `text` (its whole new text) with a route open (none:
  // nothing to do): where the boxes are empty or hold a JD of the route as
  // filled, and the chainage the text reads as (the boxes' lenient parse)
  // lies on the stretch of another JD (jd_boxes.h: jdAtMeasure; on any of
  // its occurrences the filled JD's stretch holds, it stays), that JD is
  // filled first. Gives the JD filled, if one was.
  std::optional<std::size_t> beforeChainage(Form& form, const RouteModel* route,
                                            std::string_view text);

  // The fill the boxes hold, while they hold it.
  const FilledJd* held(const Form& form, const route::Route& route) const;

  // What the notice line says: the form's notices, then, beside an open
  // route (with geometry), the route's (notices.h); and the route's alone.
  std::vector<Notice> notices(const Form& form, const RouteModel* route) const;
  std::vector<Notice> routeNotices(const Form& form, const RouteModel* route) const;

private:
  std::optional<FilledJd> filled_;
};

} // namespace quenlor

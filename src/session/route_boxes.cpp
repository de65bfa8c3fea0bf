// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_boxes.h"

#include "form/form.h"
#include "numeric/number_text.h"
#include "session/route_model.h"

#include <cmath>
#include <string>

namespace quenlor {

bool RouteBoxes::fill(Form& form, const route::Route& route, std::size_t jd) {
  auto filled = fillFromJd(form, route, jd);
  if (!filled)
    return false;
  filled_ = std::move(filled);
  return true;
}

std::optional<std::size_t> RouteBoxes::beforeChainage(Form& form, const RouteModel* model,
                                                      std::string_view text) {
  if (!model || text.empty())
    return std::nullopt;
  const route::Route& route = model->route();
  const FilledJd* now = held(form, route);
  if (!now && !jdBoxesEmpty(form))
    return std::nullopt; // the boxes' own edits
  const double k = parseNumber(std::string(text));
  if (!std::isfinite(k))
    return std::nullopt;
  std::optional<std::size_t> jd;
  for (const double m : route.measuresOf(k)) {
    const auto on = jdAtMeasure(route, m);
    if (now && on == now->jd)
      return std::nullopt;
    if (!jd)
      jd = on;
  }
  if (!jd || !fill(form, route, *jd))
    return std::nullopt;
  filled_->forChainage = true;
  return jd;
}

const FilledJd* RouteBoxes::held(const Form& form, const route::Route& route) const {
  return filled_ && stillHolds(*filled_, form, route) ? &*filled_ : nullptr;
}

std::vector<Notice> RouteBoxes::notices(const Form& form, const RouteModel* route) const {
  std::vector<Notice> notices = noticesOf(form);
  for (Notice& n : routeNotices(form, route))
    notices.push_back(std::move(n));
  return notices;
}

std::vector<Notice> RouteBoxes::routeNotices(const Form& form, const RouteModel* route) const {
  if (!route || !route->route().hasGeometry())
    return {};
  return routeNoticesOf(form, *route, held(form, route->route()));
}

} // namespace quenlor

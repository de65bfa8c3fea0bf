// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/jd_boxes.h"

#include "form/form.h"
#include "geometry/angle_text.h"
#include "numeric/number_text.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace quenlor {
namespace {

// Decimals of a second an angle is packed with: a microsecond, inside the
// fifteen digits a box holds for any angle below a thousand degrees.
constexpr int kSecondDecimals = 6;

std::string number(double value) { return formatNumber(value); }

// An azimuth as the boxes write one: packed, the fraction of a second
// dropped. Typed with its fraction, the incoming azimuth would make the
// exchange between the outgoing azimuth and the deflection lose a second on
// each of its rounds.
std::string wholeSecondsText(double radians) {
  const double seconds = std::floor(radians * 180 / std::numbers::pi * 3600 + 1e-6);
  char text[32];
  std::snprintf(text, sizeof text, "%.0f.%02.0f%02.0f", std::floor(seconds / 3600),
                std::fmod(std::floor(seconds / 60), 60), std::fmod(seconds, 60));
  return formatNumber(parseNumber(text));
}

// The point the JD's outgoing straight runs to: the next JD in the route, or
// EP.
std::pair<double, double> nextPoint(const route::Route& route, std::size_t index) {
  for (std::size_t next = index + 1; next < route.jdCount(); ++next)
    if (route.jd(next).inRoute)
      return {route.jdPoint(next).x, route.jdPoint(next).y};
  return {route.endPoint().x, route.endPoint().y};
}

} // namespace

std::vector<std::pair<Box, std::string>> boxEditsForJd(const route::Route& route,
                                                       std::size_t index) {
  if (index >= route.jdCount())
    return {};
  const route::JdResult result = route.jd(index);
  if (!result.inRoute)
    return {};
  const route::Jd& jd = route.definition().jds[index];
  const auto [nextX, nextY] = nextPoint(route, index);
  return {{Box::Text7, jd.name},
          {Box::Text8, number(route.stationAt(result.measure).chainage)},
          {Box::Text6, packedDmsText(result.curve.deflection, kSecondDecimals)},
          {Box::Text9, number(jd.radius)},
          {Box::Text10, number(jd.ls1)},
          {Box::Text42, number(jd.secondTransition())},
          {Box::Text13, number(result.point.x)},
          {Box::Text14, number(result.point.y)},
          {Box::Text15, number(nextX)},
          {Box::Text16, number(nextY)},
          {Box::Text17, wholeSecondsText(result.curve.incomingAzimuth)}};
}

void fillBoxes(Form& form, const std::vector<std::pair<Box, std::string>>& edits) {
  for (const auto& [box, text] : edits)
    form.edit(box, text);
}

bool jdBoxesEmpty(const Form& form) {
  for (const Box box : kJdBoxes)
    if (!form.text(box).empty())
      return false;
  return true;
}

std::optional<FilledJd> fillFromJd(Form& form, const route::Route& route, std::size_t jd) {
  FilledJd filled{jd, boxEditsForJd(route, jd), {}, false};
  if (filled.edits.empty())
    return std::nullopt;
  fillBoxes(form, filled.edits);
  for (std::size_t i = 0; i < kJdBoxes.size(); ++i)
    filled.held[i] = form.text(kJdBoxes[i]);
  return filled;
}

bool stillHolds(const FilledJd& filled, const Form& form, const route::Route& route) {
  for (std::size_t i = 0; i < kJdBoxes.size(); ++i)
    if (form.text(kJdBoxes[i]) != filled.held[i])
      return false;
  return boxEditsForJd(route, filled.jd) == filled.edits;
}

std::optional<std::size_t> jdAtMeasure(const route::Route& route, double measure) {
  if (!route.hasGeometry() || !(measure >= 0 && measure <= route.length()))
    return std::nullopt;
  std::optional<std::size_t> found;
  double previousEnd = 0; // where the curve before ends: BP for the first
  for (std::size_t i = 0; i < route.jdCount(); ++i) {
    const route::JdResult jd = route.jd(i);
    if (!jd.inRoute)
      continue;
    if (found && measure < (previousEnd + jd.mainPoints.zh) / 2)
      return found;
    found = i;
    previousEnd = jd.mainPoints.hz;
  }
  return found;
}

route::Jd jdFromBoxes(const Form& form, const route::Jd& jd) {
  const auto value = [&form](Box box, double current) {
    const double v = form.number(box);
    return form.text(box).empty() || !std::isfinite(v) ? current : v;
  };
  route::Jd typed = jd;
  if (!form.text(Box::Text7).empty())
    typed.name = form.text(Box::Text7);
  typed.x = value(Box::Text13, jd.x);
  typed.y = value(Box::Text14, jd.y);
  typed.radius = value(Box::Text9, jd.radius);
  typed.ls1 = value(Box::Text10, jd.ls1);
  const double ls2 = value(Box::Text42, jd.secondTransition());
  typed.ls2 = !jd.ls2 && ls2 == typed.ls1 ? std::nullopt : std::optional(ls2);
  return typed;
}

std::optional<std::size_t> jdNamed(const route::Route& route, std::string_view name) {
  const auto& jds = route.definition().jds;
  for (std::size_t i = 0; i < jds.size(); ++i)
    if (jds[i].name == name)
      return i;
  return std::nullopt;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/notices.h"

#include "form/form.h"
#include "form/main_points.h"
#include "geometry/angle.h"
#include "geometry/constants.h"
#include "numeric/number_text.h"

#include <cmath>
#include <optional>

namespace quenlor {
namespace {

constexpr double kOneSecond = kPi / kDegreesPerHalfTurn / kSecondsPerDegree;

// The number a box holds, when it holds text and the number is finite.
std::optional<double> typed(const Form& form, Box box) {
  const std::string& text = form.text(box);
  const double value = form.number(box);
  if (text.empty() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

bool deflectionDisagrees(const Form& form) {
  const auto typedDeflection = typed(form, Box::Text6);
  const auto fromCoordinates = typed(form, Box::Text19);
  if (!typedDeflection || !fromCoordinates)
    return false;
  const double difference = radiansOf(*typedDeflection) - radiansOf(*fromCoordinates);
  // A second exactly, up to the rounding of the conversions, is still agreement.
  return std::fabs(difference) > kOneSecond * (1 + 1e-9);
}

bool mainPointsOutOfOrder(const Form& form) {
  std::optional<double> previous;
  for (const MainPoint& m : kMainPoints) {
    const auto k = typed(form, m.box);
    if (!k)
      return false;
    if (previous && *k < *previous)
      return true;
    previous = k;
  }
  return false;
}

bool radiusNotPositive(const Form& form) {
  const auto r = typed(form, Box::Text9);
  return r && *r <= 0;
}

bool transitionsDiffer(const Form& form) {
  if (!typed(form, Box::Text9))
    return false;
  return form.number(Box::Text10) != form.number(Box::Text42);
}

} // namespace

std::vector<Notice> noticesOf(const Form& form) {
  std::vector<Notice> notices;
  if (deflectionDisagrees(form))
    notices.push_back(Notice::DeflectionDisagrees);
  if (mainPointsOutOfOrder(form))
    notices.push_back(Notice::TransitionsTooLong);
  if (radiusNotPositive(form))
    notices.push_back(Notice::RadiusNotPositive);
  if (transitionsDiffer(form))
    notices.push_back(Notice::TransitionsDiffer);
  return notices;
}

std::string noticeText(Notice notice) {
  switch (notice) {
  case Notice::DeflectionDisagrees: return "偏角与坐标算得的交点偏角相差一秒以上";
  case Notice::TransitionsTooLong: return "缓和曲线对偏角过长，主点桩号次序颠倒";
  case Notice::RadiusNotPositive: return "半径为零或负";
  case Notice::TransitionsDiffer:
    return "两缓和曲线不等：计算桩号一栏按对称曲线计算，平面图与放样工具按真实曲线";
  }
  return {};
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/notices.h"

#include "form/form.h"
#include "form/main_points.h"
#include "geometry/angle.h"
#include "geometry/constants.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "session/curve_of_boxes.h"
#include "session/jd_boxes.h"
#include "session/route_model.h"
#include "text/catalogue.h"

#include <array>
#include <cmath>
#include <optional>

namespace quenlor {
namespace {

constexpr double kOneSecond = kPi / kDegreesPerHalfTurn / kSecondsPerDegree;
// A figure of the boxes further than this from the route's is not the route's.
constexpr double kMillimetre = 1e-3;

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

// The chain breaks placed inside the curve, from just after ZH to HZ: the
// boxes count every main point from the JD's chainage, past the break.
void addBreaksInCurve(std::vector<Notice>& notices, const route::Route& route,
                      const route::JdResult& jd, const std::string& name) {
  for (const route::ChainSegment& s : route.chainages().segments()) {
    if (s.chainBreak < 0 ||
        !(s.startMeasure > jd.mainPoints.zh && s.startMeasure <= jd.mainPoints.hz))
      continue;
    const route::ChainBreak& b = route.definition().breaks[std::size_t(s.chainBreak)];
    notices.push_back({NoticeKind::BreakInCurve, name,
                       b.name + " " + chainageText(b.behind) + " = " + chainageText(b.ahead)});
  }
}

// The boxes' elements and main-point chainages against the route's, the
// chainages counted on from the JD's as the boxes count them (a break is
// said on its own): the largest difference beyond a millimetre.
void addFormulaDifference(std::vector<Notice>& notices, const Form& form, const route::Route& route,
                          const route::JdResult& jd, const std::string& name) {
  const route::Curve& c = jd.curve;
  const double jdChainage = route.stationAt(jd.measure).chainage;
  const auto chainage = [&](double measure) { return jdChainage + (measure - jd.measure); };
  const route::MainPoints& m = jd.mainPoints;
  struct Figure {
    const char* name;
    Box box;
    double route;
  };
  std::vector<Figure> figures{
      {"T", Box::Text11, c.tangent1},      {"L", Box::Text34, c.length},
      {"ZH", Box::Text21, chainage(m.zh)}, {"HY", Box::Text22, chainage(m.hy)},
      {"QZ", Box::Text23, chainage(m.qz)}, {"YH", Box::Text24, chainage(m.yh)},
      {"HZ", Box::Text25, chainage(m.hz)}};
  if (c.ls1 == c.ls2) // the boxes' E is that of a symmetric curve
    figures.push_back({"E", Box::Text12, c.external});
  Notice worst{NoticeKind::FormulasDiffer, name, {}, kMillimetre};
  for (const Figure& f : figures) {
    const auto boxes = typed(form, f.box);
    const double difference = boxes ? std::fabs(*boxes - f.route) : 0;
    if (difference > worst.amount) {
      worst.subject = f.name;
      worst.amount = difference;
    }
  }
  if (!worst.subject.empty())
    notices.push_back(worst);
}

// The boxes' point at the chainage in Text26 against the route's there (the
// occurrence on the JD's stretch where the chainage occurs twice); not while
// it is out of date (the plan says so), as after a fill without an edit of
// Text26.
void addPointDifference(std::vector<Notice>& notices, const Form& form, const route::Route& route,
                        std::size_t jd, const std::string& name) {
  const auto k = typed(form, Box::Text26);
  const auto x = typed(form, Box::Text27), y = typed(form, Box::Text28);
  if (!k || !x || !y)
    return;
  const auto now = boxesPointAt(form, *k);
  if (!now || std::hypot(now->x - *x, now->y - *y) > kMillimetre)
    return;
  const std::vector<double> measures = route.measuresOf(*k);
  if (measures.empty())
    return;
  double measure = measures.front();
  for (const double m : measures)
    if (jdAtMeasure(route, m) == jd)
      measure = m;
  const auto at = route.pointAt(measure);
  const double off = at ? std::hypot(*x - at->point.x, *y - at->point.y) : 0;
  if (off > kMillimetre)
    notices.push_back({NoticeKind::PointDiffers, name, {}, off});
}

std::string metres(double amount) { return lengthText(amount, Precision::Field) + " m"; }

} // namespace

std::vector<Notice> noticesOf(const Form& form) {
  std::vector<Notice> notices;
  if (deflectionDisagrees(form))
    notices.push_back({NoticeKind::DeflectionDisagrees});
  if (mainPointsOutOfOrder(form))
    notices.push_back({NoticeKind::TransitionsTooLong});
  if (radiusNotPositive(form))
    notices.push_back({NoticeKind::RadiusNotPositive});
  if (transitionsDiffer(form))
    notices.push_back({NoticeKind::TransitionsDiffer});
  return notices;
}

std::vector<Notice> routeNoticesOf(const Form& form, const RouteModel& model,
                                   const FilledJd* held) {
  std::vector<Notice> notices;
  const route::Route& route = model.route();
  if (!held) {
    if (const auto k = typed(form, Box::Text26))
      notices.push_back(jdBoxesEmpty(form)
                            ? Notice{NoticeKind::NoCurveForChainage, {}, chainageText(*k)}
                            : Notice{NoticeKind::OwnCurve});
    return notices;
  }
  const route::JdResult jd = route.jd(held->jd);
  const std::string& name = route.definition().jds[held->jd].name;
  if (held->forChainage)
    notices.push_back({NoticeKind::FilledForChainage, name});
  if (!jd.curve.curved) {
    notices.push_back({NoticeKind::CurveNotInRoute, name});
    return notices;
  }
  addBreaksInCurve(notices, route, jd, name);
  addFormulaDifference(notices, form, route, jd, name);
  addPointDifference(notices, form, route, held->jd, name);
  return notices;
}

namespace {

Say sentenceOf(NoticeKind kind) {
  switch (kind) {
  case NoticeKind::DeflectionDisagrees: return Say::NoticeDeflectionDisagrees;
  case NoticeKind::TransitionsTooLong: return Say::NoticeTransitionsTooLong;
  case NoticeKind::RadiusNotPositive: return Say::NoticeRadiusNotPositive;
  case NoticeKind::TransitionsDiffer: return Say::NoticeTransitionsDiffer;
  case NoticeKind::FilledForChainage: return Say::NoticeFilledForChainage;
  case NoticeKind::BreakInCurve: return Say::NoticeBreakInCurve;
  case NoticeKind::FormulasDiffer: return Say::NoticeFormulasDiffer;
  case NoticeKind::CurveNotInRoute: return Say::NoticeCurveNotInRoute;
  case NoticeKind::PointDiffers: return Say::NoticePointDiffers;
  case NoticeKind::OwnCurve: return Say::NoticeOwnCurve;
  case NoticeKind::NoCurveForChainage: return Say::NoticeNoCurveForChainage;
  }
  return Say::NoticeOwnCurve;
}

} // namespace

std::string noticeText(const Notice& n) {
  return chinese(sentenceOf(n.kind), {n.jd, n.subject, metres(n.amount)});
}

std::string noticeMessage(const Notice& n) {
  return english(sentenceOf(n.kind), {n.jd, n.subject, metres(n.amount)});
}

} // namespace quenlor

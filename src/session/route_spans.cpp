// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_spans.h"

#include <cmath>

namespace quenlor::section {
namespace {

// A clothoid's end curvature is the arc's it meets when they agree to this
// share: the element table gives the arc's radius at the clothoid's end.
constexpr double kSameCurvature = 1e-9;

using route::Element;
using route::Shape;

CurveSettings settingOf(const std::vector<CurveSettings>& settings, std::size_t i) {
  return i < settings.size() ? settings[i] : CurveSettings{};
}

std::vector<CurveSpan> jdSpans(const route::Route& route,
                               const std::vector<CurveSettings>& settings) {
  std::vector<CurveSpan> spans(route.jdCount());
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const route::JdResult jd = route.jd(i);
    const route::MainPoints& m = jd.mainPoints;
    const bool curved = jd.inRoute && jd.curve.curved;
    spans[i] = {m.zh,
                m.hy,
                m.yh,
                m.hz,
                curved ? static_cast<int>(jd.curve.turn) : 0,
                settingOf(settings, i)};
  }
  return spans;
}

// Whether a clothoid turning to `turn` reaches curvature `k` at its end
// (atEnd) or leaves it at its start: the arc's transition.
bool transitionOf(const Element& e, double turn, double k, bool atEnd) {
  if (e.shape != Shape::Spiral || e.length <= 0 || e.turn != turn)
    return false;
  const double its = atEnd ? e.endCurvature : e.startCurvature;
  return std::fabs(its - k) <= kSameCurvature * k;
}

// Each arc of a route by elements is a curve: its main points HY and YH its
// ends, ZH and HZ those of the clothoids that run into it and out of it at
// its curvature (none: ZH = HY, HZ = YH).
std::vector<CurveSpan> elementSpans(const route::Route& route,
                                    const std::vector<CurveSettings>& settings) {
  const std::size_t count = route.elementCount();
  std::vector<CurveSpan> spans(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Element e = route.element(i);
    const double end = e.start + e.length;
    spans[i] = {e.start, e.start, end, end, 0, settingOf(settings, i)};
    if (e.shape != Shape::Arc || e.length <= 0 || !(e.radius > 0))
      continue;
    const double k = 1 / e.radius;
    spans[i].turn = e.turn > 0 ? 1 : -1;
    if (i > 0)
      if (const Element before = route.element(i - 1); transitionOf(before, e.turn, k, true))
        spans[i].zh = before.start;
    if (i + 1 < count)
      if (const Element after = route.element(i + 1); transitionOf(after, e.turn, k, false))
        spans[i].hz = after.start + after.length;
  }
  return spans;
}

} // namespace

std::vector<CurveSpan> curveSpans(const route::Route& route,
                                  const std::vector<CurveSettings>& settings) {
  return route.byElements() ? elementSpans(route, settings) : jdSpans(route, settings);
}

std::vector<CurveSpan> curveSpans(const route::Route& route) {
  const route::RouteDefinition& d = route.definition();
  std::vector<CurveSettings> settings;
  if (route.byElements())
    for (const route::ElementRow& row : d.elements)
      settings.push_back(row.section);
  else
    for (const route::Jd& jd : d.jds)
      settings.push_back(jd.section);
  return curveSpans(route, settings);
}

} // namespace quenlor::section

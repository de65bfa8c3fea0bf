// SPDX-License-Identifier: GPL-3.0-or-later
#include "section/route_spans.h"

namespace quenlor::section {

std::vector<CurveSpan> curveSpans(const route::Route& route,
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
                i < settings.size() ? settings[i] : CurveSettings{}};
  }
  return spans;
}

std::vector<CurveSpan> curveSpans(const route::Route& route) {
  std::vector<CurveSettings> settings;
  settings.reserve(route.jdCount());
  for (const route::Jd& jd : route.definition().jds)
    settings.push_back(jd.section);
  return curveSpans(route, settings);
}

} // namespace quenlor::section

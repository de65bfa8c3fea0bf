// SPDX-License-Identifier: GPL-3.0-or-later
// The cross section's cost on the route benchmark's random route of 10,000
// JDs: the section at a measure (target: under 1 µs), the same from a
// chainage through the route's chain breaks, the rise at an offset, and
// building the sections of every curve.
#include "route/route.h"
#include "section/sections.h"
#include "session/route_spans.h"
#include "support/random_route.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace quenlor::section;
using quenlor::route::Route;
using quenlor::route::Station;

constexpr int kJds = 10000;
constexpr std::size_t kQueries = 1 << 14;

const Route& route() {
  static const Route route(quenlor::test::randomRoute(kJds, 5));
  return route;
}

Template twoLaneRoad() {
  const std::vector<Part> side = {{"行车道", PartKind::Lane, 3.5, -2},
                                  {"硬路肩", PartKind::HardShoulder, 0.75, -2},
                                  {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
  return {side, side};
}

// Every curve superelevated from 2 to 8 %, about each axis in turn, half of
// them widened (the high-order curve on every fourth); a curve with an end
// without transition gets a typed runoff as long as its other transition,
// or 30 m.
std::vector<CurveSettings> settings() {
  quenlor::test::RandomRoute draw(3);
  const std::vector<CurveSpan> spans = curveSpans(route(), {});
  std::vector<CurveSettings> all(spans.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    const double ls1 = spans[i].hy - spans[i].zh, ls2 = spans[i].hz - spans[i].yh;
    all[i].superelevation = draw.uniform(2, 8);
    all[i].axis = static_cast<Axis>(i % 3);
    all[i].widening = i % 2 ? draw.uniform(0.2, 1.5) : 0;
    all[i].shape = i % 4 == 1 ? WideningShape::HighOrder : WideningShape::Linear;
    if (ls1 == 0 || ls2 == 0)
      all[i].runoff = std::max(ls1, ls2) > 0 ? std::max(ls1, ls2) : 30;
  }
  return all;
}

const Sections& sections() {
  static const Sections s =
      Sections::build(twoLaneRoad(), curveSpans(route(), settings()), {}, 0, route().length());
  return s;
}

// Measures over the whole route, in an order the branch predictor and the
// cache cannot learn.
const std::vector<double>& measures() {
  static const std::vector<double> all = [] {
    quenlor::test::RandomRoute draw(9);
    std::vector<double> m(kQueries);
    for (double& x : m)
      x = draw.uniform(0, route().length());
    return m;
  }();
  return all;
}

void BM_SectionAtAMeasure(benchmark::State& state) {
  const Sections& s = sections();
  const std::vector<double>& m = measures();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(s.at(m[i]));
    i = (i + 1) & (kQueries - 1);
  }
  state.SetLabel(std::to_string(s.checks().size()) + " checks on " + std::to_string(kJds) +
                 " curves");
}

void BM_SectionAtAChainage(benchmark::State& state) {
  const Sections& s = sections();
  std::vector<Station> stations;
  for (double m : measures())
    stations.push_back(route().stationAt(m));
  std::size_t i = 0;
  for (auto _ : state) {
    const auto measure = route().measureOf(stations[i]);
    benchmark::DoNotOptimize(s.at(*measure));
    i = (i + 1) & (kQueries - 1);
  }
  state.SetLabel("the chainage's measure, then the section");
}

void BM_RiseAtAnOffset(benchmark::State& state) {
  const Sections& s = sections();
  const std::vector<double>& m = measures();
  std::size_t i = 0;
  for (auto _ : state) {
    const Section section = *s.at(m[i]);
    benchmark::DoNotOptimize(s.riseAt(section, i % 2 ? -4.6 : 4.6));
    i = (i + 1) & (kQueries - 1);
  }
  state.SetLabel("the section, then the rise in a soil shoulder");
}

void BM_BuildSections(benchmark::State& state) {
  const std::vector<CurveSettings> all = settings();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        Sections::build(twoLaneRoad(), curveSpans(route(), all), {}, 0, route().length()));
  state.SetLabel("the spans from the route and the sections of 10,000 curves");
}

BENCHMARK(BM_SectionAtAMeasure);
BENCHMARK(BM_SectionAtAChainage);
BENCHMARK(BM_RiseAtAnOffset);
BENCHMARK(BM_BuildSections)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-route engine on a route of 10,000 JDs (with 20 chain breaks):
// opening its file, the point at a chainage, the chainage and offset of a
// point, a 100,000-row stake table, and the edit of one JD. And on a route
// of 10,000 elements (eggs, S-curves and compound arcs among them, 20 chain
// breaks): computing it, the point at a chainage, the chainage and offset of
// a point.
#include "route/element_table.h"
#include "route/route.h"
#include "route/route_file.h"
#include "route/stakes.h"
#include "session/route_model.h"
#include "session/route_plan.h"
#include "support/random_route.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

using namespace quenlor::route;
using quenlor::PlanePoint;
using quenlor::StakePosition;
using quenlor::StakeRequest;
using quenlor::StakeSpacing;

constexpr int kJds = 10000;
constexpr int kQueries = 4096;

// 20 chain breaks, alternately long and short, each where the last left off.
void addBreaks(RouteDefinition& definition) {
  const Route plain(definition);
  const double step = plain.length() / 21;
  const double start = definition.start.chainage;
  for (int j = 1; j <= 20; ++j) // alternately long and short, each where the last left off
    definition.breaks.push_back(
        {"DL" + std::to_string(j), start + j * step, start + j * step + (j % 2 ? -15.5 : 12.25)});
}

RouteDefinition bigRoute() {
  RouteDefinition definition = quenlor::test::randomRoute(kJds, 5);
  addBreaks(definition);
  return definition;
}

const RouteDefinition& definition() {
  static const RouteDefinition route = bigRoute();
  return route;
}

const Route& route() {
  static const Route route(definition());
  return route;
}

constexpr int kElements = 10000;

const RouteDefinition& elementRouteDefinition() {
  static const RouteDefinition route = [] {
    RouteDefinition definition = quenlor::test::randomElementRoute(kElements, 5);
    definition.elements.resize(kElements);
    addBreaks(definition);
    return definition;
  }();
  return route;
}

const Route& elementRoute() {
  static const Route route(elementRouteDefinition());
  return route;
}

// Chainages and points spread over the whole route.
struct Queries {
  std::vector<Station> stations;
  std::vector<PlanePoint> points;
};
Queries queriesOn(const Route& route) {
  Queries q;
  quenlor::test::RandomRoute draw(9);
  for (int i = 0; i < kQueries; ++i) {
    const double measure = draw.uniform(0, route.length());
    q.stations.push_back(route.stationAt(measure));
    q.points.push_back(sideStake(*route.pointAt(measure), draw.uniform(-30, 30)));
  }
  return q;
}
const Queries& queries() {
  static const Queries all = queriesOn(route());
  return all;
}
const Queries& elementQueries() {
  static const Queries all = queriesOn(elementRoute());
  return all;
}

void BM_OpenRoute(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "quenlor-route-bench.csv").string();
  if (!saveRouteFile(path, definition()))
    state.SkipWithError("cannot save the route");
  for (auto _ : state) {
    auto read = openRouteFile(path);
    const Route opened(std::move(read.value()));
    benchmark::DoNotOptimize(opened.length());
  }
  std::filesystem::remove(path);
  state.SetLabel("10,000 JDs: read the file and compute");
}

void BM_ReadRouteText(benchmark::State& state) {
  const std::string text = routeText(definition());
  for (auto _ : state)
    benchmark::DoNotOptimize(readRouteText(text));
  state.SetLabel("the parse alone, " + std::to_string(text.size() / 1024) + " KiB");
}

void BM_ComputeRoute(benchmark::State& state) {
  for (auto _ : state) {
    const Route computed(definition());
    benchmark::DoNotOptimize(computed.length());
  }
  state.SetLabel("the computation alone");
}

void BM_PointAtChainage(benchmark::State& state) {
  const Queries& q = queries();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(route().pointAt(q.stations[i++ % kQueries]));
  }
}

void BM_LocatePoint(benchmark::State& state) {
  const Queries& q = queries();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(route().locate(q.points[i++ % kQueries]));
  }
}

StakeRequest hundredThousandRows() {
  return {0, route().length(), route().length() / 100000, StakeSpacing::WholeStations};
}

void BM_StakePositions100k(benchmark::State& state) {
  std::size_t rows = 0;
  for (auto _ : state) {
    const StakeList list = stakePositions(route(), hundredThousandRows());
    rows = list.stakes.size();
    benchmark::DoNotOptimize(list.stakes.data());
  }
  state.SetLabel(std::to_string(rows) + " rows listed, none computed");
}

void BM_StakeTable100k(benchmark::State& state) {
  std::size_t rows = 0;
  for (auto _ : state) {
    const StakeList list = stakePositions(route(), hundredThousandRows());
    for (const StakePosition& stake : list.stakes)
      if (const auto centre = route().pointAt(stake.measure))
        benchmark::DoNotOptimize(sideStake(*centre, 7.5));
    rows = list.stakes.size();
  }
  state.SetLabel(std::to_string(rows) + " rows, every one computed");
}

// The middle JD moved half a metre and back, edit after edit.
class MiddleJdNudged {
public:
  static constexpr std::size_t kIndex = kJds / 2;
  const Jd& next() {
    jd_.x += flip_ ? 0.5 : -0.5;
    flip_ = !flip_;
    return jd_;
  }

private:
  Jd jd_ = definition().jds[kIndex];
  bool flip_ = false;
};

void BM_EditOneJd(benchmark::State& state) {
  Route edited(definition());
  MiddleJdNudged nudged;
  for (auto _ : state) {
    edited.replaceJd(MiddleJdNudged::kIndex, nudged.next());
    benchmark::DoNotOptimize(edited.length());
  }
  state.SetLabel("replace the middle JD, the rest recomputed as needed");
}

void BM_InsertAndEraseJd(benchmark::State& state) {
  Route edited(definition());
  const std::size_t middle = kJds / 2;
  const Jd& a = definition().jds[middle];
  const Jd& b = definition().jds[middle + 1];
  const Jd added{"new", (a.x + b.x) / 2 + 5, (a.y + b.y) / 2, a.radius / 4, 0, std::nullopt};
  for (auto _ : state) {
    edited.insertJd(middle + 1, added);
    edited.eraseJd(middle + 1);
    benchmark::DoNotOptimize(edited.length());
  }
  state.SetLabel("two edits");
}

// An edit of one JD as the window makes it: the route and its profile
// recomputed, then the plan's scene of the whole route; and the scene of a
// view a kilometre wide.
void BM_EditOneJdAndPlan(benchmark::State& state) {
  // Edits follow each other in a window that reuses its memory, unlike a
  // first open (see main).
  mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
  auto model = std::make_shared<quenlor::RouteModel>(definition());
  MiddleJdNudged nudged;
  for (auto _ : state) {
    const Jd& jd = nudged.next();
    model->edit([&](Route& r) { r.replaceJd(MiddleJdNudged::kIndex, jd); });
    const quenlor::RoutePlan plan(model);
    benchmark::DoNotOptimize(plan.scene(*plan.bounds(),
                                        plan.bounds()->maxX - plan.bounds()->minX > 0
                                            ? (plan.bounds()->maxX - plan.bounds()->minX) / 800
                                            : 1,
                                        MiddleJdNudged::kIndex));
  }
  state.SetLabel("10,000 JDs: edit, its profile, scene of the whole route at 800 pixels");
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

// A view a kilometre wide, 1.25 m a pixel: with a two-lane template (argument
// 1) near enough for the road's edges to be drawn beside the centre line.
void BM_PlanSceneInView(benchmark::State& state) {
  RouteDefinition d = definition();
  if (state.range(0) == 1) {
    using namespace quenlor::section;
    const std::vector<Part> side = {{"行车道", PartKind::Lane, 3.5, -2},
                                    {"硬路肩", PartKind::HardShoulder, 0.75, -2},
                                    {"土路肩", PartKind::SoilShoulder, 0.75, -3}};
    d.section.road = {side, side};
  }
  const quenlor::RoutePlan plan(std::make_shared<const quenlor::RouteModel>(d));
  const Jd& jd = definition().jds[kJds / 2];
  for (auto _ : state)
    benchmark::DoNotOptimize(
        plan.scene({jd.x - 500, jd.y - 500, jd.x + 500, jd.y + 500}, 1.25, kJds / 2));
  state.SetLabel(state.range(0) == 1 ? "with the road's edges" : "the centre line");
}

void BM_ComputeElementRoute(benchmark::State& state) {
  for (auto _ : state) {
    const Route computed(elementRouteDefinition());
    benchmark::DoNotOptimize(computed.length());
  }
  state.SetLabel("10,000 elements: chained, indexed, checked");
}

void BM_ElementPointAtChainage(benchmark::State& state) {
  const Queries& q = elementQueries();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(elementRoute().pointAt(q.stations[i++ % kQueries]));
}

void BM_ElementLocatePoint(benchmark::State& state) {
  const Queries& q = elementQueries();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(elementRoute().locate(q.points[i++ % kQueries]));
}

void BM_ElementTableOfJdRoute(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(Route(elementDefinition(route())).length());
  state.SetLabel("10,000 JDs as their element table, chained again");
}

BENCHMARK(BM_OpenRoute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRouteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputeRoute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointAtChainage);
BENCHMARK(BM_LocatePoint);
BENCHMARK(BM_StakePositions100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StakeTable100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditOneJd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertAndEraseJd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditOneJdAndPlan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanSceneInView)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeElementRoute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ElementPointAtChainage);
BENCHMARK(BM_ElementLocatePoint);
BENCHMARK(BM_ElementTableOfJdRoute)->Unit(benchmark::kMillisecond);

} // namespace

// Every large block comes fresh from the system, as on the first open of a
// session: without this, the allocator keeps the memory of one iteration for
// the next, and the page faults of a first open (a good part of its cost on
// a virtual machine) would not be counted.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}

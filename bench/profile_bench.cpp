// SPDX-License-Identifier: GPL-3.0-or-later
// The profile's cost: the design level at a measure on a 10,000-point
// profile with a vertical curve at nearly every grade point (target: under
// 1 µs), and building that profile with its checks.
#include "profile/profile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace quenlor;

constexpr int kPoints = 10000;

// Grade points 150 to 600 m apart, grades within ±6 %, each curve's tangent
// under 45 % of the shorter grade beside it: no checks.
std::vector<GradePoint> gradePoints() {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> spacing(150, 600), grade(-0.06, 0.06), share(0.2, 0.9);
  std::vector<double> length{0}, grades{0};
  std::vector<GradePoint> points{{"BPD0", 0, 0, 500, 0}};
  for (int i = 1; i < kPoints; ++i) {
    length.push_back(spacing(random));
    grades.push_back(grade(random));
    const double measure = points.back().measure + length[i];
    points.push_back({"BPD" + std::to_string(i), measure, measure,
                      points.back().elevation + grades[i] * length[i], 0});
  }
  for (std::size_t i = 1; i + 1 < points.size(); ++i)
    points[i].radius = share(random) * 0.9 * std::min(length[i], length[i + 1]) /
                       std::fabs(grades[i + 1] - grades[i]);
  return points;
}

void BM_ProfileLevelAtAMeasure(benchmark::State& state) {
  const std::vector<GradePoint> points = gradePoints();
  const Profile profile = Profile::build(points, 0, points.back().measure);
  if (!profile.checks().empty() || profile.curves().size() != kPoints - 2) {
    state.SkipWithError("the benchmark profile is not clean");
    return;
  }
  // Measures spread over the whole route, a few beyond its ends, in an order
  // the branch predictor and the cache cannot learn.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> along(-100, points.back().measure + 100);
  std::vector<double> measures(1 << 14);
  for (double& m : measures)
    m = along(random);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(profile.at(measures[i]));
    i = (i + 1) & (measures.size() - 1);
  }
  state.SetLabel(std::to_string(kPoints) + " grade points, " +
                 std::to_string(profile.curves().size()) + " curves");
}

void BM_ProfileBuild(benchmark::State& state) {
  const std::vector<GradePoint> points = gradePoints();
  for (auto _ : state)
    benchmark::DoNotOptimize(Profile::build(points, 0, points.back().measure));
  state.SetLabel(std::to_string(kPoints) + " grade points");
}

BENCHMARK(BM_ProfileLevelAtAMeasure);
BENCHMARK(BM_ProfileBuild)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

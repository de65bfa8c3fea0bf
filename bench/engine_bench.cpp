// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one edit in the engine, cascade included, for each path a
// keystroke can take; and the number text alone. Each edit alternates between
// two texts that differ in their last digit, so every one runs its handler.
#include "form/form.h"
#include "numeric/number_text.h"
#include "session/script.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace quenlor;

// The worked right-hand curve with a station: every handler has inputs.
constexpr const char* kWorkedCurve =
    "set Text8 639.363\nset Text6 40\nset Text9 300\nset Text10 60\nset Text42 60\n"
    "set Text13 1000\nset Text14 2000\nset Text17 30\nset Text15 1342.02\nset Text16 2939.693\n"
    "set Text35 900\nset Text36 1900\nset Text37 152.36\nset Text38 1.52\nset Text41 1.6\n"
    "set Text40 -0.43\nset Text39 850\nset Text1 2100\nset Text31 0.25\nset Text3 25\n"
    "set Text4 45\nset Text11 139.3631\nset Text12 19.7853\n";

Form workedForm() {
  Form form;
  std::istringstream in(kWorkedCurve);
  std::ostringstream out, err;
  runScript(form, in, out, err);
  return form;
}

void editTwoWays(benchmark::State& state, Box box, const char* a, const char* b) {
  Form form = workedForm();
  bool flip = false;
  for (auto _ : state) {
    form.edit(box, flip ? a : b);
    flip = !flip;
  }
  state.SetLabel(boxName(box) + " " + a + "/" + b);
}

void clicks(benchmark::State& state, Button button) {
  Form form = workedForm();
  for (auto _ : state)
    form.click(button);
}

void BM_ChainageIncomingStraight(benchmark::State& s) { editTwoWays(s, Box::Text26, "480", "481"); }
void BM_ChainageFirstTransition(benchmark::State& s) { editTwoWays(s, Box::Text26, "550", "551"); }
void BM_ChainageArc(benchmark::State& s) { editTwoWays(s, Box::Text26, "600", "601"); }
void BM_ChainageSecondTransition(benchmark::State& s) { editTwoWays(s, Box::Text26, "750", "751"); }
void BM_ChainageOutgoingStraight(benchmark::State& s) { editTwoWays(s, Box::Text26, "800", "801"); }
void BM_CurveElements(benchmark::State& s) { editTwoWays(s, Box::Text6, "40", "41"); }
void BM_TangentAzimuths(benchmark::State& s) { editTwoWays(s, Box::Text13, "1000", "1001"); }
void BM_Station(benchmark::State& s) { editTwoWays(s, Box::Text35, "900", "901"); }
void BM_RadiusFromTangent(benchmark::State& s) { clicks(s, Button::Command3); }
void BM_RadiusFromExternal(benchmark::State& s) { clicks(s, Button::Command4); }
void BM_SideShot(benchmark::State& s) { clicks(s, Button::Command6); }

void BM_ParseNumber(benchmark::State& state) {
  const std::string text = "1987.47030216297";
  for (auto _ : state)
    benchmark::DoNotOptimize(parseNumber(text));
}

void BM_FormatNumber(benchmark::State& state) {
  double value = 1987.4703021629701;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(formatNumber(value));
  }
}

// The README's worked curve, every line of it, through the driver.
void BM_ScriptedSession(benchmark::State& state) {
  std::ifstream file(QUENLOR_EXAMPLE_SESSION);
  const std::string session((std::istreambuf_iterator<char>(file)), {});
  for (auto _ : state) {
    Form form;
    std::istringstream in(session);
    std::ostringstream out, err;
    benchmark::DoNotOptimize(runScript(form, in, out, err));
  }
}

} // namespace

BENCHMARK(BM_ChainageIncomingStraight);
BENCHMARK(BM_ChainageFirstTransition);
BENCHMARK(BM_ChainageArc);
BENCHMARK(BM_ChainageSecondTransition);
BENCHMARK(BM_ChainageOutgoingStraight);
BENCHMARK(BM_CurveElements);
BENCHMARK(BM_TangentAzimuths);
BENCHMARK(BM_Station);
BENCHMARK(BM_RadiusFromTangent);
BENCHMARK(BM_RadiusFromExternal);
BENCHMARK(BM_SideShot);
BENCHMARK(BM_ParseNumber);
BENCHMARK(BM_FormatNumber);
BENCHMARK(BM_ScriptedSession);

BENCHMARK_MAIN();

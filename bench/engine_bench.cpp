// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one operation in the engine: one edit, cascade included, for each
// path a keystroke can take; the number text alone; and typing and deleting
// long texts through the driver. Each edit alternates between two texts that
// differ in their last digit, so every one runs its handler.
//
// Two figures for each: the time (Google Benchmark), and with --instructions
// the instructions executed, counted by callgrind, which do not depend on the
// host. In that mode every operation runs once untimed, then `runs` times
// with callgrind collecting, and the collected counts are dumped under the
// operation's name: "NAME runs=R characters=C" (scripts/bench reads them).
// Usage: quenlor_engine_bench --instructions [REGEX], under
// valgrind --tool=callgrind --collect-atstart=no.
#include "form/form.h"
#include "numeric/number_text.h"
#include "session/script.h"

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace quenlor;

// The worked right-hand curve with a station: every handler has inputs.
constexpr const char* kWorkedCurve =
    "set Text8 639.363\nset Text6 40\nset Text9 300\nset Text10 60\nset Text42 60\n"
    "set Text13 1000\nset Text14 2000\nset Text17 30\nset Text15 1342.02\nset Text16 2939.693\n"
    "set Text35 900\nset Text36 1900\nset Text37 152.36\nset Text38 1.52\nset Text41 1.6\n"
    "set Text40 -0.43\nset Text39 850\nset Text1 2100\nset Text31 0.25\nset Text3 25\n"
    "set Text4 45\nset Text11 139.3631\nset Text12 19.7853\n";

void play(Form& form, const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  runScript(form, in, out, err);
}

std::shared_ptr<Form> workedForm() {
  auto form = std::make_shared<Form>();
  play(*form, kWorkedCurve);
  return form;
}

// One operation: prepare() readies it, unmeasured (before every run where
// `prepareEachRun`, else once), run() is what is measured.
struct Operation {
  std::string name;
  std::function<void()> run;
  std::function<void()> prepare = [] {};
  bool prepareEachRun = false;
  long runs = 2000;         // how many runs callgrind counts
  std::size_t characters{}; // characters one run types or deletes, if any
};

Operation edit(const char* name, Box box, const char* a, const char* b) {
  auto form = workedForm();
  auto flip = std::make_shared<bool>(false);
  return {name, [=] {
            form->edit(box, *flip ? a : b);
            *flip = !*flip;
          }};
}

Operation click(const char* name, Button button) {
  auto form = workedForm();
  return {name, [=] { form->click(button); }};
}

// Numbers as the computations write them: coordinates, chainages, angles in
// radians and packed DMS, heights, a few tiny and huge ones.
std::vector<double> writtenNumbers() {
  std::mt19937_64 random(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> values;
  for (int i = 0; i < 1024; ++i) {
    const double u = unit(random);
    switch (i % 8) {
    case 0: values.push_back(1000 + 2000 * u); break;                   // coordinate
    case 1: values.push_back(500 + 400 * u); break;                     // chainage
    case 2: values.push_back(6.2831852 * u); break;                     // radians
    case 3: values.push_back(double(int(360 * u)) + 0.5959 * u); break; // packed angle
    case 4: values.push_back(150 + u); break;                           // elevation
    case 5: values.push_back((u - 0.5) * 1e-3); break;                  // small offset
    case 6: values.push_back(std::ldexp(u, int(64 * u) - 32)); break;
    default: values.push_back(double(int(1000 * u))); break; // whole number
    }
  }
  return values;
}

Operation formatMix() {
  auto values = std::make_shared<std::vector<double>>(writtenNumbers());
  auto next = std::make_shared<std::size_t>(0);
  return {"FormatNumber", [=] {
            char text[kNumberTextCapacity];
            benchmark::DoNotOptimize(formatNumberTo(text, (*values)[*next]));
            benchmark::ClobberMemory();
            *next = (*next + 1) % values->size();
          }};
}

Operation parseMix() {
  auto texts = std::make_shared<std::vector<std::string>>();
  for (double v : writtenNumbers())
    texts->push_back(formatNumber(v));
  auto next = std::make_shared<std::size_t>(0);
  return {"ParseNumber", [=] {
            benchmark::DoNotOptimize(parseNumber((*texts)[*next]));
            *next = (*next + 1) % texts->size();
          }};
}

// A long height difference "0.25" followed by digits: every keystroke runs
// the point elevation, which reads the whole number the box now holds.
std::string longNumber(std::size_t characters) {
  std::string text = "0.25";
  while (text.size() < characters)
    text += "3141592653";
  text.resize(characters);
  return text;
}

Operation typeLong(std::size_t characters) {
  auto form = std::make_shared<Form>();
  const std::string line = "type Text31 " + longNumber(characters);
  return {"Type/Text31/" + std::to_string(characters),
          [=] {
            std::ostringstream out;
            runScriptLine(*form, line, out, out);
          },
          [=] {
            *form = Form();
            play(*form, kWorkedCurve);
            form->edit(Box::Text31, "");
          },
          true,
          1,
          characters};
}

Operation backLong(std::size_t characters) {
  auto form = std::make_shared<Form>();
  const std::string line = "back Text31 " + std::to_string(characters);
  return {"Back/Text31/" + std::to_string(characters),
          [=] {
            std::ostringstream out;
            runScriptLine(*form, line, out, out);
          },
          [=] {
            *form = Form();
            play(*form, kWorkedCurve);
            form->edit(Box::Text31, longNumber(characters));
          },
          true,
          1,
          characters};
}

// The README's worked curve, every line of it, through the driver.
Operation scriptedSession() {
  std::ifstream file(QUENLOR_EXAMPLE_SESSION);
  auto session = std::make_shared<std::string>(std::istreambuf_iterator<char>(file),
                                               std::istreambuf_iterator<char>());
  return {"ScriptedSession", [=] {
            Form form;
            play(form, *session);
          }};
}

std::vector<Operation> operations() {
  std::vector<Operation> ops = {
      edit("ChainageIncomingStraight", Box::Text26, "480", "481"),
      edit("ChainageFirstTransition", Box::Text26, "550", "551"),
      edit("ChainageArc", Box::Text26, "600", "601"),
      edit("ChainageSecondTransition", Box::Text26, "750", "751"),
      edit("ChainageOutgoingStraight", Box::Text26, "800", "801"),
      edit("CurveElements", Box::Text6, "40", "41"),
      edit("TangentAzimuths", Box::Text13, "1000", "1001"),
      edit("Exchange", Box::Text18, "70", "71"),
      edit("Station", Box::Text35, "900", "901"),
      edit("BacksightElevation", Box::Text37, "152.36", "152.37"),
      click("RadiusFromTangent", Button::Command3),
      click("RadiusFromExternal", Button::Command4),
      click("SideShot", Button::Command6),
      parseMix(),
      formatMix(),
      scriptedSession(),
  };
  for (std::size_t n : {10000, 100000, 1000000})
    ops.push_back(typeLong(n));
  for (std::size_t n : {10000, 100000, 1000000})
    ops.push_back(backLong(n));
  return ops;
}

void timeRuns(benchmark::State& state, const Operation& op) {
  op.prepare();
  for (auto _ : state) {
    if (op.prepareEachRun) {
      state.PauseTiming();
      op.prepare();
      state.ResumeTiming();
    }
    op.run();
  }
}

// Under callgrind started with --collect-atstart=no: collects only the runs.
void countInstructions(const Operation& op) {
  op.prepare();
  op.run(); // warm: first-use work such as a table built once
  for (long i = 0; i < op.runs; ++i) {
    if (op.prepareEachRun || i == 0)
      op.prepare();
    CALLGRIND_TOGGLE_COLLECT;
    op.run();
    CALLGRIND_TOGGLE_COLLECT;
  }
  const std::string name =
      op.name + " runs=" + std::to_string(op.runs) + " characters=" + std::to_string(op.characters);
  CALLGRIND_DUMP_STATS_AT(name.c_str());
}

} // namespace

int main(int argc, char** argv) {
  const std::vector<Operation> ops = operations();
  if (argc > 1 && std::strcmp(argv[1], "--instructions") == 0) {
    const std::regex filter(argc > 2 ? argv[2] : ".");
    for (const Operation& op : ops)
      if (std::regex_search(op.name, filter))
        countInstructions(op);
    return 0;
  }
  for (const Operation& op : ops) {
    auto* b = benchmark::RegisterBenchmark(op.name.c_str(), timeRuns, op);
    if (op.prepareEachRun)
      b->Iterations(1);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Every kind of arithmetic fault a computation can meet: the computation ends
// there, writes nothing after it, and the program goes on. Each case names the
// boxes whose text the faulting action changes; every other box keeps its text.
#include "geometry/direction.h"
#include "geometry/quadratic.h"
#include "numeric/fault.h"
#include "support/session.h"

#include <cmath>
#include <functional>
#include <random>
#include <set>

namespace quenlor {
namespace {

using test::play;

std::map<Box, std::string> texts(const Form& form) {
  std::map<Box, std::string> all;
  for (Box box : allBoxes())
    all[box] = form.text(box);
  return all;
}

std::set<std::string> changedBy(Form& form, const std::string& action) {
  const auto before = texts(form);
  play(form, action);
  std::set<std::string> changed;
  for (Box box : allBoxes())
    if (form.text(box) != before.at(box))
      changed.insert(boxName(box));
  return changed;
}

// The worked right-hand curve, with a station.
const std::string kWorkedCurve =
    test::workedCurve() + "set Text35 900\nset Text36 1900\nset Text37 100\nset Text26 480\n";

// A case's setup, the faulting action, and the boxes whose text it changes.
struct FaultCase {
  const char* name;
  std::string setup;
  const char* action;
  std::string changed; // box names, each followed by a blank
};

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, EndOnlyTheComputationThatMeetsThem) {
  Form form;
  play(form, GetParam().setup);
  std::string changed;
  for (const std::string& box : changedBy(form, GetParam().action))
    changed += box + " ";
  EXPECT_EQ(changed, GetParam().changed);
  for (const StateField& field : stateFields())
    EXPECT_TRUE(std::isfinite(form.state().*field.member)) << field.name;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Faults,
    ::testing::Values(
        // tan(0) and 1/cos(0) - 1 make the quadratic's leading coefficient 0.
        FaultCase{"ZeroDeflectionIntoTheTangentButton",
                  "set Text8 1000\nset Text10 60\nset Text9 300\nset Text11 150", "click Command3",
                  ""},
        FaultCase{"ZeroDeflectionIntoTheExternalButton",
                  "set Text8 1000\nset Text10 60\nset Text9 300\nset Text12 20", "click Command4",
                  ""},
        // The local coordinates divide by the radius.
        FaultCase{"ZeroRadiusOnTheCurve",
                  "set Text6 40\nset Text9 0\nset Text10 60\nset Text11 139.3631\n"
                  "set Text21 500\nset Text23 634.7198\nset Text25 769.4395\nset Text26 480",
                  "set Text26 550", "Text26 "},
        // At ZH itself no curve formula runs, so a zero radius does not fault.
        FaultCase{"ZeroRadiusAtZh",
                  "set Text6 40\nset Text9 0\nset Text10 60\nset Text11 100\nset Text21 500\n"
                  "set Text23 634.7198\nset Text25 769.4395\nset Text17 90\nset Text26 480",
                  "set Text26 500", "Text26 Text27 Text28 Text30 Text44 Text45 "},
        // Squares beyond the double range in the station's distance.
        FaultCase{"StationDistanceOverflows", "set Text39 1\nset Text37 5", "set Text39 1e200",
                  "Text39 "},
        FaultCase{"SetOutDistanceOverflows", kWorkedCurve, "set Text35 1e300\nset Text26 600",
                  "Text26 Text27 Text28 Text35 Text44 Text45 "},
        // The side-shot point itself overflows: nothing is written.
        FaultCase{"SideShotBeyondTheDoubleRange",
                  "set Text35 1.7e308\nset Text3 1.7e308\nset Text4 0", "click Command6", ""},
        // The point is finite, but the station's distance to it overflows: the
        // two nested station computations fault, the side-shot goes on.
        FaultCase{"SideShotTooFarToMeasure", "set Text37 5\nset Text3 1e300\nset Text4 45",
                  "click Command6", "Text1 Text39 "},
        FaultCase{"ElevationSumOverflows", "set Text37 1\nset Text38 1.7e308", "set Text40 1.7e308",
                  "Text40 "},
        FaultCase{"AzimuthBeyondTheDoubleRangeInRadians", kWorkedCurve, "set Text17 1e308",
                  "Text17 "},
        FaultCase{"ChainageReadsAHugeTangent", kWorkedCurve, "set Text11 1e999\nset Text26 600",
                  "Text11 Text26 "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Faults, ANumberBeyondTheDoubleRangeInAnyBoxChangesOnlyThatBox) {
  for (Box box : allBoxes()) {
    Form form;
    play(form, kWorkedCurve);
    play(form, "set Text3 10\nset Text4 45\nset Text38 1.5\nset Text41 1.6\nset Text31 0.2");
    const std::set<std::string> changed = changedBy(form, "set " + boxName(box) + " 1e999");
    // The backsight elevation box takes back its own text at once.
    const std::set<std::string> expected =
        box == Box::Text2 ? std::set<std::string>{} : std::set<std::string>{boxName(box)};
    EXPECT_EQ(changed, expected) << boxName(box);
  }
}

TEST(Faults, AFaultInANestedComputationEndsOnlyThatOne) {
  // The second transition's square overflows inside the curve elements that
  // the button's write of the radius starts; the button goes on writing.
  Form form;
  play(form, "set Text8 1000\nset Text10 60\nset Text6 30\nset Text11 150\nset Text42 1e200");
  play(form, "click Command3");
  EXPECT_EQ(form.text(Box::Text9), "447.510917555022");
  EXPECT_EQ(form.text(Box::Text11), "150");    // the nested computation wrote nothing
  EXPECT_EQ(form.text(Box::Text25), "1E+200"); // the button's own chainage of HZ
}

TEST(Faults, TheFaultingStepStoresNothing) {
  Form form;
  play(form, "set Text6 30\nset Text8 1000\nset Text9 500");
  const double deflection = form.state().deflection;
  play(form, "set Text8 1e999");
  EXPECT_EQ(form.state().deflection, deflection); // read before the fault
  EXPECT_EQ(form.state().jdChainage, 1000);       // the faulting read
}

// Random sessions: texts of every kind typed, pasted and deleted in random
// boxes, random clicks. Every computation returns, no box ever shows a
// non-number such as inf or nan, and the state stays finite.
TEST(Faults, RandomSessionsNeverShowANonNumber) {
  std::vector<std::string> fragments = {
      "0",     "9",      ".",    "-",   "e", "5",         "30",   "500", "1e999", "-1e999",
      "1e308", "1e-320", "&HFF", "abc", " ", "90.332055", "45.6", "-0",  "1.2.3"};
  fragments.insert(fragments.end(), {"1.7976931348623157e308", "99999999999999999999"});
  std::mt19937 random(20261206);
  const auto& boxes = allBoxes();
  for (int session = 0; session < 10; ++session) {
    Form form;
    form.setObserver([](Box box, const std::string& text) {
      for (const char* bad : {"inf", "nan", "INF", "NAN", "Inf", "NaN"})
        ASSERT_EQ(text.find(bad), std::string::npos) << boxName(box) << "=" << text;
    });
    for (int step = 0; step < 1000; ++step) {
      const Box box = boxes[random() % boxes.size()];
      const std::string fragment = fragments[random() % fragments.size()];
      switch (random() % 4) {
      case 0: form.edit(box, fragment); break;
      case 1: play(form, "type " + boxName(box) + " " + fragment); break;
      case 2: play(form, "back " + boxName(box) + " " + std::to_string(random() % 4)); break;
      default: form.click(static_cast<Button>(random() % kButtonCount)); break;
      }
    }
    for (const StateField& field : stateFields())
      ASSERT_TRUE(std::isfinite(form.state().*field.member)) << field.name;
  }
}

// A quadratic without its square term, and the chord angle of a point across
// the tangent or of the start point itself.
TEST(Faults, PrimitivesRaiseTheFaultThatEndsTheirCaller) {
  double x = 0;
  const std::function<void()> calls[] = {[&] { qg(x, 0.0, -3.0, 2.0); },
                                         [&] { qg(x, 0.0, 0.0, 0.0); }, [&] { xjjs(x, 0.0, 5.0); },
                                         [&] { xjjs(x, 0.0, 0.0); }};
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    clearFaults();
    EXPECT_NO_THROW(checkFaults());
    calls[i]();
    EXPECT_THROW(checkFaults(), ArithmeticFault) << i;
    clearFaults();
  }
}

} // namespace
} // namespace quenlor

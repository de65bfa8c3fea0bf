// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle.h"
#include "support/session.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace quenlor {
namespace {

using test::play;

TEST(Form, StartsWithEveryBoxEmptyAndEveryValueZero) {
  Form form;
  for (Box box : allBoxes())
    EXPECT_EQ(form.text(box), "") << boxName(box);
  for (const StateField& field : stateFields())
    EXPECT_EQ(form.state().*field.member, 0.0) << field.name;
}

TEST(Form, NamesTheBoxesAndButtonsAsTheDriverWritesThem) {
  for (const char* bad : {"Text43", "Text0", "Text046", "text6", "Text46"})
    EXPECT_FALSE(boxFromName(bad)) << bad;
  EXPECT_EQ(boxFromName("Text44"), Box::Text44);
  EXPECT_EQ(buttonFromName("Command1"), Button::Command1);
  EXPECT_EQ(buttonFromName("Command1(0)"), Button::Command1);
  EXPECT_FALSE(buttonFromName("Command7"));
  EXPECT_FALSE(buttonFromName("Command1(1)"));
}

using Changes = std::vector<std::pair<Box, std::string>>;

// Records every text change the form reports, in order.
void listen(Form& form, Changes& changes) {
  form.setObserver(
      [&changes](Box box, const std::string& text) { changes.emplace_back(box, text); });
}

Changes changesOf(Form& form, const std::string& session) {
  Changes changes;
  listen(form, changes);
  play(form, session);
  form.setObserver(nullptr);
  return changes;
}

TEST(Form, AnUnchangedTextRaisesNothing) {
  Form form;
  play(form, "set Text6 30\nset Text9 500");
  EXPECT_TRUE(changesOf(form, "set Text6 30\nset Text9 500\nset Text7 \nback Text7").empty());
}

// Typing at the end of a text and taking characters away there are the
// edits with the longer and shorter text: the same changes heard in the same
// order, the same boxes and state after each, in a box with no handler, the
// chainage, the exchange and the backsight elevation's lock.
TEST(Form, AppendAndRemoveLastAreEditsOfTheWholeText) {
  const char* setup = "set Text8 639.363\nset Text6 40\nset Text9 300\nset Text10 60\n"
                      "set Text13 1000\nset Text14 2000\nset Text17 30\nset Text37 100\n"
                      "set Text18 70";
  Form inPlace, whole;
  play(inPlace, setup);
  play(whole, setup);
  Changes heardInPlace, heardWhole;
  listen(inPlace, heardInPlace);
  listen(whole, heardWhole);
  const struct {
    Box box;
    const char* typed; // then as many characters taken back, one at a time
  } cases[] = {{Box::Text7, "JD 7"},
               {Box::Text26, "6.5e2x"},
               {Box::Text18, "1.3"},
               {Box::Text2, "57"},
               {Box::Text26, ""}};
  for (const auto& c : cases) {
    const std::string typed = c.typed;
    for (std::size_t i = 0; i < typed.size() + typed.size() + 1; ++i) {
      if (i < typed.size()) {
        inPlace.append(c.box, typed.substr(i, 1));
        whole.edit(c.box, whole.text(c.box) + typed[i]);
      } else {
        inPlace.removeLast(c.box, 1);
        const std::string& t = whole.text(c.box);
        whole.edit(c.box, t.substr(0, t.empty() ? 0 : t.size() - 1));
      }
      ASSERT_EQ(heardInPlace, heardWhole) << boxName(c.box) << ' ' << i;
      ASSERT_EQ(play(inPlace, "dump\nstate"), play(whole, "dump\nstate"));
    }
  }
}

// changedBy: bit for bit, texts cut and restored, texts replaced and
// restored, state values, a megabyte text that is never compared whole.
TEST(Form, ChangedByTellsWhetherAnActionChangedAnything) {
  Form form;
  play(form, "set Text37 100\nset Text7 JD");
  form.edit(Box::Text33, std::string(1 << 20, '7'));
  const struct {
    const char* what;
    std::function<void(Form&)> action;
    bool changes;
  } cases[] = {
      {"nothing", [](Form&) {}, false},
      {"an empty box's Backspace", [](Form& f) { f.removeLast(Box::Text26, 1); }, false},
      {"the locked elevation", [](Form& f) { f.removeLast(Box::Text2, 1); }, false},
      {"cut and typed again",
       [](Form& f) { f.removeLast(Box::Text7, 2), f.append(Box::Text7, "JD"); }, false},
      {"replaced and put back", [](Form& f) { f.edit(Box::Text7, "x"), f.edit(Box::Text7, "JD"); },
       false},
      {"typed and cut", [](Form& f) { f.append(Box::Text33, "1"), f.removeLast(Box::Text33, 1); },
       false},
      {"a character cut", [](Form& f) { f.removeLast(Box::Text7, 1); }, true},
      {"one digit of a megabyte", [](Form& f) { f.removeLast(Box::Text33, 1); }, true},
      {"a state value", [](Form& f) { f.state().radius = -0.0; }, true},
  };
  for (const auto& c : cases) {
    const std::string before = play(form, "dump\nstate");
    EXPECT_EQ(form.changedBy([&] { c.action(form); }), c.changes) << c.what;
    EXPECT_EQ(play(form, "dump\nstate") != before, c.changes) << c.what;
  }
}

TEST(Form, TheObserverHearsEachEditBeforeTheWritesItStarts) {
  Form form;
  const auto changes = changesOf(form, "set Text9 500");
  const Box order[] = {Box::Text9,  Box::Text11, Box::Text12, Box::Text34, Box::Text21,
                       Box::Text22, Box::Text23, Box::Text24, Box::Text25};
  ASSERT_EQ(changes.size(), std::size(order));
  for (std::size_t i = 0; i < changes.size(); ++i)
    EXPECT_EQ(changes[i].first, order[i]) << i;
  EXPECT_EQ(changes[0].second, "500");

  // A button's write of the radius runs the curve elements inside it, and
  // the button's own writes follow.
  play(form, "set Text8 1000\nset Text10 60\nset Text42 60\nset Text6 30\nset Text11 150");
  const auto clicked = changesOf(form, "click Command3");
  ASSERT_GE(clicked.size(), 9u);
  EXPECT_EQ(clicked[0].first, Box::Text9);
  EXPECT_EQ(clicked[1].first, Box::Text11);
  EXPECT_EQ(clicked[8].first, Box::Text25);
}

// What the form keeps beside the texts: each box's number, which a write
// brings along with its text, and each angle in radians, kept until its
// text changes. After every line of a session that retypes the angles
// between chainages, both are what reading the text afresh gives, bit for
// bit.
TEST(Form, KeepsEachBoxsNumberAndAngleAsItsTextReads) {
  Form form;
  const std::string session = test::workedCurve(true) + std::string(test::kStation) +
                              "type Text26 550\nset Text17 31\nback Text26\nset Text6 -40.3\n"
                              "type Text26 7.25\nset Text18 350.3\nset Text26 1e3\n"
                              "set Text17 1e300\nset Text26 600\nset Text17 29.5959\n"
                              "click Command6\nset Text26 12.5m\n";
  std::istringstream lines(session);
  const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
  for (std::string line; std::getline(lines, line);) {
    play(form, line);
    for (const Box box : allBoxes()) {
      const double read = parseNumber(form.text(box));
      ASSERT_EQ(bits(form.number(box)), bits(read)) << line << ": " << boxName(box);
      if (std::isfinite(read)) {
        ASSERT_EQ(bits(form.readRadians(box)), bits(radiansOf(read)))
            << line << ": " << boxName(box);
      }
    }
  }
}

TEST(Form, ButtonsWithoutAComputationChangeNothing) {
  Form form;
  play(form, "set Text6 30\nset Text8 1000\nset Text9 500\nset Text3 10\nset Text4 45");
  const std::string before = play(form, "dump\nstate");
  play(form, "click Command1(0)\nclick Command2\nclick Command5\nclick Command1");
  EXPECT_EQ(play(form, "dump\nstate"), before);
}

} // namespace
} // namespace quenlor

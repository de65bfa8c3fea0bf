// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/handler_hook.h"
#include "support/session.h"

#include <functional>
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

TEST(Form, HasTheFortyFourBoxesOfTheWindow) {
  EXPECT_EQ(allBoxes().size(), 44u);
  EXPECT_EQ(boxName(allBoxes().front()), "Text1");
  EXPECT_EQ(boxName(allBoxes().back()), "Text45");
  EXPECT_FALSE(boxFromName("Text43"));
  EXPECT_FALSE(boxFromName("Text0"));
  EXPECT_FALSE(boxFromName("Text046"));
  EXPECT_FALSE(boxFromName("text6"));
  EXPECT_EQ(boxFromName("Text44"), Box::Text44);
  EXPECT_EQ(buttonFromName("Command1"), Button::Command1);
  EXPECT_EQ(buttonFromName("Command1(0)"), Button::Command1);
  EXPECT_FALSE(buttonFromName("Command7"));
  EXPECT_FALSE(buttonFromName("Command1(1)"));
}

// Records every text change the form reports, in order.
struct Recorder {
  std::vector<std::pair<Box, std::string>> changes;
  void attach(Form& form) {
    form.setObserver([this](Box box, const std::string& text) { changes.emplace_back(box, text); });
  }
};

TEST(Form, AnUnchangedTextRaisesNothing) {
  Form form;
  play(form, "set Text6 30\nset Text9 500");
  Recorder recorder;
  recorder.attach(form);
  play(form, "set Text6 30\nset Text9 500\nset Text7 \nback Text7");
  EXPECT_TRUE(recorder.changes.empty());
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
  Recorder heardInPlace, heardWhole;
  heardInPlace.attach(inPlace);
  heardWhole.attach(whole);
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
      ASSERT_EQ(heardInPlace.changes, heardWhole.changes) << boxName(c.box) << ' ' << i;
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

TEST(Form, TheObserverHearsTheEditBeforeTheWritesItStarts) {
  Form form;
  Recorder recorder;
  recorder.attach(form);
  play(form, "set Text9 500");
  ASSERT_EQ(recorder.changes.size(), 9u);
  EXPECT_EQ(recorder.changes[0], std::make_pair(Box::Text9, std::string("500")));
  const Box written[] = {Box::Text11, Box::Text12, Box::Text34, Box::Text21,
                         Box::Text22, Box::Text23, Box::Text24, Box::Text25};
  for (std::size_t i = 0; i < 8; ++i)
    EXPECT_EQ(recorder.changes[i + 1].first, written[i]);
}

TEST(Form, TheRadiusButtonWritesAgainAfterTheCascade) {
  Form form;
  play(form, "set Text8 1000\nset Text10 60\nset Text42 60\nset Text6 30\nset Text11 150");
  Recorder recorder;
  recorder.attach(form);
  play(form, "click Command3");
  // Text9, then the nested curve elements (Text11 ... Text25), then the
  // button's own writes, which find the same texts except where they differ.
  ASSERT_GE(recorder.changes.size(), 9u);
  EXPECT_EQ(recorder.changes[0].first, Box::Text9);
  EXPECT_EQ(recorder.changes[1].first, Box::Text11);
  EXPECT_EQ(recorder.changes[8].first, Box::Text25);
}

// The number text as the boxes see it: the station elevation read leniently,
// the backsight elevation written in the general format.
TEST(Form, ReadsAndWritesNumberTextThroughTheBoxes) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{" 1 2.5 ", "12.5"}, {"abc", "0"},      {"-.5", "-0.5"}, {"1e3", "1000"},
               {"1.2.3", "1.2"},    {"12.5m", "12.5"}, {"1,000", "1"},  {"-2", "-2"},
               {"1e20", "1E+20"},   {"1e-7", "1E-07"}, {"&H1F", "31"},  {"5.e3", "5000"}};
  for (const auto& c : cases) {
    Form form;
    play(form, std::string("set Text37 ") + c.typed);
    EXPECT_EQ(form.text(Box::Text2), c.shown) << c.typed;
  }
  Form sum;
  play(sum, "set Text37 0.1\nset Text38 0.2");
  EXPECT_EQ(sum.text(Box::Text2), "0.3");
}

// Packed angles as the deflection and the exchange convert them.
TEST(Form, ConvertsPackedAnglesThroughTheBoxes) {
  Form form;
  play(form, "set Text6 30.152");
  EXPECT_NEAR(form.state().deflection, 0.52805905245679, 1e-14);
  play(form, "set Text6 -30.152");
  EXPECT_NEAR(form.state().deflection, -0.52805905245679, 1e-14);
  // From the deflection back to packed DMS with Text17 at 0: the text comes
  // back as it was typed.
  for (const char* angle : {"146.3218", "2.01", "0.29", "359.5959", "-28.3852"}) {
    Form exchange;
    play(exchange, std::string("set Text17 0\nset Text19 ") + angle);
    EXPECT_EQ(exchange.text(Box::Text18), angle);
  }
}

TEST(Form, ButtonsWithoutAComputationChangeNothing) {
  Form form;
  play(form, "set Text6 30\nset Text8 1000\nset Text9 500\nset Text3 10\nset Text4 45");
  const std::string before = play(form, "dump\nstate");
  play(form, "click Command1(0)\nclick Command2\nclick Command5\nclick Command1");
  EXPECT_EQ(play(form, "dump\nstate"), before);
}

TEST(Form, ResultBoxesAcceptTyping) {
  Form form;
  play(form, "set Text9 500\nset Text21 \ntype Text21 123");
  EXPECT_EQ(form.text(Box::Text21), "123");
  play(form, "set Text3 12\nset Text7 JD5\nset Text33 7");
  EXPECT_EQ(form.text(Box::Text3), "12");
  EXPECT_EQ(form.text(Box::Text7), "JD5");
}

TEST(Faults, NoStateValueEverHoldsANonNumber) {
  Form form;
  play(form, "set Text9 1e-300\nset Text10 1e300\nset Text42 1e300\nset Text6 1e300\n"
             "set Text8 -1e308\nclick Command3\nclick Command4\nset Text12 1e308\nclick Command4");
  for (const StateField& field : stateFields())
    EXPECT_TRUE(std::isfinite(form.state().*field.member)) << field.name;
}

} // namespace
} // namespace quenlor

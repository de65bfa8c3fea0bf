// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

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

// Records every text change the form reports, in order.
std::vector<std::pair<Box, std::string>> changesOf(Form& form, const std::string& session) {
  std::vector<std::pair<Box, std::string>> changes;
  form.setObserver([&](Box box, const std::string& text) { changes.emplace_back(box, text); });
  play(form, session);
  form.setObserver(nullptr);
  return changes;
}

TEST(Form, AnUnchangedTextRaisesNothing) {
  Form form;
  play(form, "set Text6 30\nset Text9 500");
  EXPECT_TRUE(changesOf(form, "set Text6 30\nset Text9 500\nset Text7 \nback Text7").empty());
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

// The boxes read leniently and write the general number text.
TEST(Form, ReadsAndWritesNumberTextThroughTheBoxes) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{" 1 2.5 ", "12.5"}, {"abc", "0"}, {"1.2.3", "1.2"}, {"1e20", "1E+20"}};
  for (const auto& c : cases) {
    Form form;
    play(form, std::string("set Text37 ") + c.typed);
    EXPECT_EQ(form.text(Box::Text2), c.shown) << c.typed;
  }
  Form sum;
  play(sum, "set Text37 0.1\nset Text38 0.2");
  EXPECT_EQ(sum.text(Box::Text2), "0.3");
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
  play(form, "set Text9 500\nset Text21 \ntype Text21 123\nset Text7 JD5");
  EXPECT_EQ(form.text(Box::Text21), "123");
  EXPECT_EQ(form.text(Box::Text7), "JD5");
}

} // namespace
} // namespace quenlor

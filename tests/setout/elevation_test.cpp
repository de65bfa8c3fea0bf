// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace quenlor {
namespace {

using test::play;

TEST(BacksightElevation, FollowsEveryHeightBox) {
  Form form;
  play(form, "type Text37 100");
  EXPECT_EQ(form.text(Box::Text2), "100");
  play(form, "set Text38 1.5\nset Text41 1.6\nset Text40 -2.3");
  EXPECT_EQ(form.text(Box::Text2), "97.6");
  // Heights alone never touch the distance and azimuth.
  EXPECT_EQ(form.text(Box::Text3), "");
  EXPECT_EQ(form.text(Box::Text4), "");
}

TEST(BacksightElevation, TheHeightDifferenceEditedLastCounts) {
  Form form;
  play(form, "set Text37 100\nset Text40 2");
  EXPECT_EQ(form.text(Box::Text2), "102");
  play(form, "set Text5 3");
  EXPECT_EQ(form.text(Box::Text2), "103");
  play(form, "set Text40 2.5");
  EXPECT_EQ(form.text(Box::Text2), "102.5");
}

TEST(BacksightElevation, TheBoxRefusesTyping) {
  Form fresh;
  play(fresh, "type Text2 5");
  EXPECT_EQ(fresh.text(Box::Text2), "0");

  Form form;
  play(form, "set Text37 100\nset Text38 1.5\nset Text41 1.6\nset Text40 -2.3");
  play(form, "type Text2 x\nback Text2 2\nset Text2 hello");
  EXPECT_EQ(form.text(Box::Text2), "97.6");
  // The lock shows the stored elevation without reading the heights again.
  form.state().stationElevation = 0;
  play(form, "set Text2 1");
  EXPECT_EQ(form.text(Box::Text2), "97.6");
}

TEST(PointElevation, FollowsItsHeightDifferenceOnly) {
  Form form;
  play(form, "set Text37 100\nset Text38 1.5\nset Text41 1.6\nset Text31 x");
  EXPECT_EQ(form.text(Box::Text32), "99.9");
  play(form, "set Text31 0.45");
  EXPECT_EQ(form.text(Box::Text32), "100.35");
  play(form, "set Text37 200\nset Text38 2\nset Text41 3");
  EXPECT_EQ(form.text(Box::Text32), "100.35");
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/field_tools.h"
#include "support/session.h"

namespace quenlor {
namespace {

using test::play;
using Input = FieldToolsModel::Input;

// The panel's model and the driver give the same answers, read the boxes
// and write none. A stake 10 m right of K0+480 (incoming azimuth 30) stands
// at (861.9875 - 5, 1920.3185 + 8.6603); one 7.5 m left of K0+600 is found
// again on the left.
TEST(FieldTools, AnswerThePanelAndTheDriverAlike) {
  Form form = test::workedForm(true, test::kStation);
  const std::string before = play(form, "dump\nstate");

  FieldToolsModel model;
  model.setText(Input::StakeChainage, "600");
  model.setText(Input::StakeOffset, "-7.5");
  const SideStakeAnswer left = model.update(form).stake;
  EXPECT_EQ(left.side, "左");
  model.setText(Input::StakeChainage, "480");
  model.setText(Input::StakeOffset, "10");
  model.setText(Input::PointX, left.x);
  model.setText(Input::PointY, left.y);
  const FieldAnswers& a = model.update(form);

  EXPECT_NEAR(parseNumber(a.stake.x), 856.9875, 1e-4);
  EXPECT_NEAR(parseNumber(a.stake.y), 1928.9788, 1e-4);
  EXPECT_EQ(a.stake.side, "右");
  EXPECT_EQ(play(form, "stake 480 10"), "X=" + a.stake.x + " Y=" + a.stake.y +
                                            " azimuth=" + a.stake.azimuth +
                                            " distance=" + a.stake.distance + "\n");
  EXPECT_EQ(a.locate.k, "K0+600.000");
  EXPECT_NEAR(parseNumber(a.locate.offset), -7.5, 1e-4);
  EXPECT_EQ(a.locate.side, "左");
  EXPECT_EQ(play(form, "locate " + left.x + " " + left.y),
            "chainage=" + a.locate.chainage + " offset=" + a.locate.offset + "\n");
  EXPECT_EQ(play(form, "dump\nstate"), before);
}

TEST(FieldTools, ATableIsMadeAgainOnlyWhenItsRouteOrInputsChange) {
  Form form = test::workedForm();
  FieldToolsModel model;
  model.setText(Input::TableStart, "480");
  model.setText(Input::TableEnd, "800");
  model.setText(Input::TableInterval, "20");
  EXPECT_EQ(model.update(form).table.note, "20 行");
  const unsigned long made = model.tableVersion();
  play(form, "set Text35 5"); // the station moves: new setting-out values
  model.update(form);
  EXPECT_EQ(model.tableVersion(), made + 1);
  play(form, "set Text26 601"); // neither the route nor the table
  model.update(form);
  EXPECT_EQ(model.tableVersion(), made + 1);
  play(form, "set Text9 301");
  model.update(form);
  EXPECT_EQ(model.tableVersion(), made + 2);
}

} // namespace
} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// The station row: distance and azimuth to the backsight, the side-shot, and
// the elevations the heights give.
#include "support/session.h"

namespace quenlor {
namespace {

using test::play;

struct StationCase {
  const char* name;
  const char* session;
  const char* distance;
  const char* azimuth;
};

class Station : public ::testing::TestWithParam<StationCase> {};

TEST_P(Station, GivesDistanceAndAzimuthToTheBacksight) {
  Form form;
  play(form, GetParam().session);
  EXPECT_EQ(form.text(Box::Text3), GetParam().distance);
  EXPECT_EQ(form.text(Box::Text4), GetParam().azimuth);
}

// The azimuth's quadrants and axes are the Fwjjs table's (angle_test.cpp).
INSTANTIATE_TEST_SUITE_P(
    Examples, Station,
    ::testing::Values(
        StationCase{"OneZeroTyped", "type Text35 0", "0", "0"},
        StationCase{"ThreeFourFive", "set Text39 3\nset Text1 4", "5", "53.0748"},
        StationCase{"Diagonal", "set Text39 5\nset Text1 5", "7.07106781186548", "45"},
        StationCase{"UnitsAfterTheNumber", "set Text39 12.5m", "12.5", "0"},
        StationCase{"StationMoved", "set Text39 5\nset Text35 5\nset Text36 -5", "5", "90"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Station, AlsoRefreshesTheBacksightElevation) {
  Form form;
  play(form, "set Text37 100\nset Text38 1.5\nset Text41 1.6\nset Text40 -2.3\nset Text5 7");
  EXPECT_EQ(form.text(Box::Text2), "106.9");
  play(form, "set Text39 1");
  EXPECT_EQ(form.text(Box::Text2), "97.6"); // Text40 counts again
}

TEST(SideShot, MakesThePointTheBacksight) {
  const struct {
    const char* session;
    const char* x;        // Text39
    const char* y;        // Text1
    const char* distance; // Text3
    const char* azimuth;  // Text4
  } cases[] = {{"set Text3 10\nset Text4 0", "110", "200", "10", "0"},
               {"set Text3 -10\nset Text4 0", "90", "200", "10", "180"},
               {"set Text39 7\nset Text1 7\nset Text3\nset Text4 45", "100", "200", "0", "0"}};
  for (const auto& c : cases) {
    Form form;
    play(form, std::string("set Text35 100\nset Text36 200\n") + c.session + "\nclick Command6");
    EXPECT_EQ(play(form, "print Text39\nprint Text1\nprint Text3\nprint Text4"),
              std::string("Text39=") + c.x + "\nText1=" + c.y + "\nText3=" + c.distance +
                  "\nText4=" + c.azimuth + "\n")
        << c.session;
  }
}

TEST(SideShot, PlacesThePointAlongTheTypedAzimuth) {
  Form form;
  play(form, "set Text35 100\nset Text36 200\nset Text3 10\nset Text4 45\nclick Command6");
  // 45 deg with the program's pi, 3.1415926: a hair past the true diagonal.
  test::expectNear(form, Box::Text39, 107.0710679066, 1e-9);
  test::expectNear(form, Box::Text1, 207.0710677171, 1e-9);
  EXPECT_EQ(form.text(Box::Text3), "10");
  // Re-derived from the written coordinates: 45 deg less the short pi's noise.
  EXPECT_TRUE(form.text(Box::Text4) == "45" || form.text(Box::Text4) == "44.5959")
      << form.text(Box::Text4);
}

TEST(SideShot, ElevationFollowsTheStationRowsHeightDifference) {
  Form form;
  play(form, "set Text35 100\nset Text36 200\nset Text37 50\nset Text40 2\nset Text5 9\n"
             "set Text3 10\nset Text4 90");
  EXPECT_EQ(form.text(Box::Text2), "59");
  const std::string station = play(form, "print Text35\nprint Text36\nprint Text37\nprint "
                                         "Text38\nprint Text40\nprint Text41");
  play(form, "click Command6");
  EXPECT_EQ(form.text(Box::Text2), "52");
  EXPECT_EQ(play(form, "print Text35\nprint Text36\nprint Text37\nprint Text38\nprint "
                       "Text40\nprint Text41"),
            station);
}

TEST(SideShot, UnchangedCoordinatesKeepTheTypedDistanceAndAzimuth) {
  Form form;
  play(form, "set Text35 100\nset Text36 200\nset Text3 10\nset Text4 0\nclick Command6");
  play(form, "set Text3 10.0\nset Text4 0.0000\nclick Command6");
  EXPECT_EQ(form.text(Box::Text3), "10.0");
  EXPECT_EQ(form.text(Box::Text4), "0.0000");
}

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

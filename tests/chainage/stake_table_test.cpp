// SPDX-License-Identifier: GPL-3.0-or-later
#include "chainage/stake_table.h"
#include "numeric/chainage_text.h"
#include "session/route_of_boxes.h"
#include "support/session.h"

#include <cmath>

namespace quenlor {
namespace {

RouteInputs workedRoute() { return *routeOfBoxes(test::workedForm()); }

StakeTableRequest request(double start, double end, double interval,
                          StakeSpacing spacing = StakeSpacing::FromStart) {
  StakeTableRequest r;
  r.start = start;
  r.end = end;
  r.interval = interval;
  r.offset = 5;
  r.spacing = spacing;
  r.station = PlanePoint{900, 1900};
  r.mainPoints = {500, 560, 634.7198, 709.4395, 769.4395};
  return r;
}

std::vector<std::string> labels(const StakeTable& table) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto stake = table.at(i);
    all.push_back(chainageText(stake.chainage) + std::string(stake.mainPoint));
  }
  return all;
}

TEST(KNotation, WritesAndReadsKilometresAndMetres) {
  const struct {
    double chainage;
    const char* text;
  } written[] = {{1234.567, "K1+234.567"},  {500, "K0+500.000"},
                 {1999.9996, "K2+000.000"}, {1999.9994, "K1+999.999"},
                 {12, "K0+012.000"},        {-12.5, "K-0+012.500"},
                 {-1234.5, "K-1+234.500"},  {-0.0001, "K0+000.000"},
                 {2e12, "2000000000000"},   {INFINITY, ""}};
  for (const auto& c : written)
    EXPECT_EQ(chainageText(c.chainage), c.text) << c.chainage;
  const struct {
    const char* text;
    std::optional<double> chainage;
  } read[] = {{"K1+234.567", 1234.567}, {"k1+234.5", 1234.5},   {" 1+234.567 ", 1234.567},
              {"1234.567", 1234.567},   {"K-0+012.5", -12.5},   {"-1234.5", -1234.5},
              {"1.2e+3", 1200},         {"K12+3", 12003},       {"K1+1234", std::nullopt},
              {"K1+", std::nullopt},    {"+234", std::nullopt}, {"K1.5+2", std::nullopt},
              {"12.5m", std::nullopt},  {"", std::nullopt},     {"K", std::nullopt}};
  for (const auto& c : read)
    EXPECT_EQ(parseChainage(c.text), c.chainage) << c.text;
}

TEST(StakeTable, HoldsTheStakesAndTheMainPointsInOrder) {
  const StakeTable table(request(480, 800, 20));
  // 480, 500 (ZH), ..., 800: 17 stakes, plus QZ, YH and HZ between them.
  ASSERT_EQ(table.size(), 17u + 3u);
  const std::vector<std::string> all = labels(table);
  EXPECT_EQ(all[1], "K0+500.000ZH");
  EXPECT_EQ(all[4], "K0+560.000HY");
  EXPECT_EQ(all[8], "K0+634.720QZ");
  for (std::size_t i = 1; i < table.size(); ++i)
    EXPECT_LT(table.at(i - 1).chainage, table.at(i).chainage);
  const StakeRow row = stakeRow(workedRoute(), table, 8);
  ASSERT_TRUE(row.centre && row.left && row.right && row.setOut && row.leftSetOut);
  EXPECT_NEAR(std::hypot(row.left->x - row.right->x, row.left->y - row.right->y), 10, 1e-9);

  // The main points as the curve elements compute them, a hair off the
  // stakes: the stake at 500 is ZH itself, not a second row.
  StakeTableRequest computed = request(480, 800, 20);
  computed.mainPoints = {499.999989306826, 559.999989306826, 634.719686626162, 709.439383945498,
                         769.439383945498};
  const StakeTable merged(computed);
  EXPECT_EQ(merged.size(), 17u + 3u);
  EXPECT_EQ(merged.at(1).mainPoint, "ZH");
  EXPECT_EQ(merged.at(1).chainage, 499.999989306826);
}

TEST(StakeTable, WholeStationsRunFromStartToEndAtMultiplesOfTheInterval) {
  const StakeTable table(request(485, 611, 20, StakeSpacing::WholeStations));
  EXPECT_EQ(labels(table),
            (std::vector<std::string>{"K0+485.000", "K0+500.000ZH", "K0+520.000", "K0+540.000",
                                      "K0+560.000HY", "K0+580.000", "K0+600.000", "K0+611.000"}));
}

TEST(StakeTable, BadRequestsGiveBoundedResults) {
  const struct {
    StakeTableRequest request;
    std::size_t rows;
  } cases[] = {{request(480, 800, 0), 5},   // the main points alone
               {request(480, 800, -20), 5}, // likewise
               {request(800, 480, 20), 20}, // swapped
               {request(NAN, 800, 20), 0},
               {request(600, 600, 20), 1}};
  for (const auto& c : cases)
    EXPECT_EQ(StakeTable(c.request).size(), c.rows);
}

// A table at its row limit lists only the main points inside the rows it
// shows, and says up to which chainage it went.
TEST(StakeTable, ACutOffTableStaysInOrder) {
  const StakeTable table(request(0, 1e12, 0.001));
  ASSERT_TRUE(table.truncated());
  ASSERT_EQ(table.size(), kMaxStakeRows);
  double previous = -1;
  for (std::size_t i = 0; i < table.size(); i += 97) {
    EXPECT_GT(table.at(i).chainage, previous) << i;
    previous = table.at(i).chainage;
  }
  EXPECT_EQ(chainageText(table.at(table.size() - 1).chainage), "K0+099.999");
}

TEST(StakeTable, NoSettingOutWithoutAStation) {
  StakeTableRequest r = request(480, 520, 20);
  r.station.reset();
  const StakeRow row = stakeRow(workedRoute(), StakeTable(r), 0);
  EXPECT_TRUE(row.centre && row.left && row.right);
  EXPECT_FALSE(row.setOut || row.leftSetOut || row.rightSetOut);
}

} // namespace
} // namespace quenlor

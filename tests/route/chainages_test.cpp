// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/angle_text.h"
#include "route/chainage_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace quenlor::route {
namespace {

// 5000 m from K0+000 with a long break K3+100 = K3+080.5 (at measure 3100)
// and a short one K4+000 = K4+050, which the chainage counted on from 3080.5
// reaches at measure 3100 + 919.5 = 4019.5. The route ends at
// K4+050 + 980.5 = K5+030.5.
ChainageMap twoBreaks() {
  return ChainageMap(0, {{"DL1", 3100, 3080.5}, {"DL2", 4000, 4050}}, 5000);
}

struct Occurrences {
  double chainage;
  std::vector<double> measures;
};

TEST(ChainageMap, ChainagesNameNoneOneOrTwoPoints) {
  const ChainageMap map = twoBreaks();
  const Occurrences table[] = {
      {1000, {1000}},
      {3080.5, {3080.5, 3100}}, // both ends of the repeated stretch occur twice
      {3090, {3090, 3109.5}},
      {3100, {3100, 3119.5}},
      {3120, {3139.5}},
      {4000, {4019.5}}, // behind the short break
      {4025, {}},       // in its gap
      {4050, {4019.5}}, // ahead of it: the same point
      {5030.5, {5000}},
      {5031, {}},
      {-1, {}},
  };
  for (const Occurrences& o : table)
    EXPECT_EQ(map.measuresOf(o.chainage), o.measures) << o.chainage;
}

TEST(ChainageMap, MeasuresNameTheirOccurrence) {
  const ChainageMap map = twoBreaks();
  const std::pair<double, Station> table[] = {
      {3090, {3090, 0}},   {3109.5, {3090, 1}}, {3100, {3080.5, 1}}, // a break carries its ahead
      {4019.5, {4050, 0}}, {5000, {5030.5, 0}}, {-10, {-10, 0}},     // extended beyond BP
      {5010, {5040.5, 0}},                                           // and beyond EP
  };
  for (const auto& [measure, station] : table)
    EXPECT_EQ(map.stationAt(measure), station) << measure;
}

TEST(ChainageMap, SaysWhyAChainageNamesNoPoint) {
  const ChainageMap map = twoBreaks();
  EXPECT_EQ(map.measureOf({3090, 1}).value(), 3109.5);
  EXPECT_EQ(map.measureOf({4025, 0}).error(),
            "K4+025.000 names no point: the short chain break K4+000.000 = K4+050.000 skips it");
  EXPECT_EQ(map.measureOf({5031, 0}).error(),
            "K5+031.000 lies beyond the route, which runs from K0+000.000 to K5+030.500");
  EXPECT_EQ(map.measureOf({3090, 2}).error(),
            "K3+090.000 occurs twice on the route; there is no occurrence 3");
  // Fault: a chainage was said rounded to the millimetre, and a tenth of a
  // millimetre before the repeated stretch read as its start, which occurs
  // twice.
  EXPECT_EQ(map.measureOf({3080.4999, 1}).error(),
            "K3+080.4999 occurs once on the route; there is no occurrence 2");
  EXPECT_EQ(map.measureOf({5030.5000001, 1}).error(),
            "K5+030.500 occurs once on the route; there is no occurrence 2");
}

TEST(ChainageMap, LeavesOutBreaksItCannotPlace) {
  const ChainageMap map(1000,
                        {{"", 900, 950},    // before BP
                         {"", 2000, 1990},  // placed at 1000
                         {"", 1980, 2500},  // behind the one before it
                         {"", 9000, 9100}}, // beyond EP
                        3000);
  EXPECT_EQ(map.placesOfBreaks(),
            (std::vector<BreakPlace>{BreakPlace::OutsideRoute, BreakPlace::Placed,
                                     BreakPlace::OutOfOrder, BreakPlace::OutsideRoute}));
  ASSERT_EQ(map.segments().size(), 2u);
  EXPECT_EQ(map.segments()[1].startMeasure, 1000);
  EXPECT_EQ(map.segments()[1].chainBreak, 1);
}

TEST(StationText, WrittenAndReadTheSurveyorsWay) {
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
  EXPECT_EQ(chainageText(3080.25, 1), "K3+080.3");
  EXPECT_EQ(stationText({3090, 1}), "K3+090.000 (2)");
  const struct {
    const char* text;
    std::optional<double> chainage;
  } read[] = {{"K1+234.567", 1234.567}, {" k1+234.5 ", 1234.5}, {" 1+234.567 ", 1234.567},
              {"1234.567", 1234.567},   {"K-0+012.5", -12.5},   {"-1234.5", -1234.5},
              {"1.2e+3", 1200},         {"K12+3", 12003},       {"K1+1234", std::nullopt},
              {"K1+", std::nullopt},    {"+234", std::nullopt}, {"K1.5+2", std::nullopt},
              {"12.5m", std::nullopt},  {"", std::nullopt},     {"K", std::nullopt},
              {"K3080", std::nullopt},  {"Kx+1", std::nullopt}, {"K3+-5", std::nullopt},
              {"abc", std::nullopt},    {"K+5", std::nullopt}};
  for (const auto& c : read)
    EXPECT_EQ(parseChainage(c.text), c.chainage) << c.text;
}

TEST(AngleText, RoundsOnceAndCarries) {
  constexpr double kDegree = std::numbers::pi / 180;
  EXPECT_EQ(dmsText(45 * kDegree), "45°00′00.0″");
  EXPECT_EQ(dmsText(-45 * kDegree, 0), "-45°00′00″");
  EXPECT_EQ(dmsText((10 + 59.0 / 60 + 59.96 / 3600) * kDegree), "11°00′00.0″");
  EXPECT_EQ(dmsTextOfPacked(251.375), "251°37′50″");
  EXPECT_EQ(dmsTextOfPacked(-41.295994), "-41°30′00″");
  EXPECT_EQ(dmsTextOfPacked(12.595951), "13°00′00″");
  EXPECT_EQ(dmsTextOfPacked(-0.000049), "0°00′00″");
  EXPECT_EQ(packedDmsText((12 + 20.0 / 60 + 44.44 / 3600) * kDegree, 2), "12.204444");
}

} // namespace
} // namespace quenlor::route

// SPDX-License-Identifier: GPL-3.0-or-later
// The route tables' edit rules without a window: cells read, new rows named
// and placed, rows pasted and copied.
#include "session/route_edits.h"
#include "support/random_route.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

using route::Jd;

struct NumberCase {
  const char* text;
  std::optional<double> value;
  CellFault fault;
};

TEST(RouteEdits, CellsReadNumbersStrictly) {
  const NumberCase cases[] = {
      {"1250.5", 1250.5, {}},
      {" 12\t", 12, {}},
      {"\u3000-7.25\u00a0", -7.25, {}}, // ideographic and no-break spaces
      {"1.2e3", 1200, {}},
      {"-1e9", -1e9, {}},
      {"", {}, CellFault::NotANumber},
      {"12,5", {}, CellFault::NotANumber},
      {"1 2", {}, CellFault::NotANumber},
      {"+5", {}, CellFault::NotANumber},
      {"0x10", {}, CellFault::NotANumber},
      {"1e10", {}, CellFault::BeyondRange},
      {"1e400", {}, CellFault::BeyondRange},
      {"nan", {}, CellFault::BeyondRange},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Taken<double> read = readCellNumber(c.text);
    if (c.value)
      EXPECT_EQ(std::get<double>(read), *c.value);
    else
      EXPECT_EQ(std::get<CellRefusal>(read), (CellRefusal{c.fault, c.text}));
  }
}

TEST(RouteEdits, CellsReadChainagesAndNames) {
  EXPECT_EQ(std::get<double>(readCellChainage(" K1+234.567")), 1234.567);
  EXPECT_EQ(std::get<double>(readCellChainage("-12.5")), -12.5);
  EXPECT_EQ(std::get<CellRefusal>(readCellChainage("K1+2345")).fault, CellFault::NotAChainage);
  EXPECT_EQ(std::get<CellRefusal>(readCellChainage("2e9")).fault, CellFault::BeyondRange);

  EXPECT_EQ(std::get<std::string>(readCellName(" 交点二\u3000")), "交点二");
  EXPECT_EQ(std::get<std::string>(readCellName("  ")), "");
  for (const char* control : {"a\tb", "JD\x7f", "JD\u0085"}) // U+0085 is a control and a blank
    EXPECT_EQ(std::get<CellRefusal>(readCellName(control)).fault, CellFault::ControlCharacter)
        << control;
  EXPECT_TRUE(isBlankCell("\u2003\r\n"));
  EXPECT_FALSE(isBlankCell("\u3000x"));
}

TEST(RouteEdits, ExactTextReadsBackTheSameNumber) {
  test::RandomRoute random(11);
  for (int i = 0; i < 1000; ++i) {
    const double value = random.uniform(-1e9, 1e9) * std::pow(10.0, -random.uniform(0, 12));
    EXPECT_EQ(std::get<double>(readCellNumber(exactText(value))), value);
  }
  EXPECT_EQ(exactText(1250.5), "1250.5");
}

struct NameCase {
  std::vector<const char*> names;
  const char* next;
};

TEST(RouteEdits, NewNamesGoOnePastTheHighest) {
  const NameCase cases[] = {
      {{}, "JD1"},
      {{"JD1", "JD6", "JD2"}, "JD7"},
      {{"JD08", "JD3"}, "JD9"},
      {{"JD12a", "XJD40", "JD", "JD3"}, "JD4"}, // not JD and digits alone
      {{"JD123456789"}, "JD1"},                 // nine digits: not a number of the kind
      {{"JD99999999"}, "JD100000000"},
  };
  for (const NameCase& c : cases) {
    std::vector<Jd> jds;
    for (const char* name : c.names)
      jds.push_back({name, 0, 0, 0, 0, {}});
    EXPECT_EQ(nextName(jds, "JD"), c.next) << c.names.size();
  }
}

// BP (0, 0), JD1 (100, 0) with R 500 and Ls 60, EP (200, 100).
route::RouteDefinition smallRoute() {
  route::RouteDefinition d;
  d.start = {"BP", 0, 0, 1000};
  d.jds = {{"JD1", 100, 0, 500, 60, std::nullopt}};
  d.end = {"EP", 200, 100};
  return d;
}

TEST(RouteEdits, NewJdsStandHalfwayWithTheCurveBefore) {
  const route::RouteDefinition d = smallRoute();
  EXPECT_EQ(newJdAt(d, 0), (Jd{"JD2", 50, 0, 0, 0, std::nullopt})); // BP to JD1, no curve before
  EXPECT_EQ(newJdAt(d, 1), (Jd{"JD2", 150, 50, 500, 60, std::nullopt})); // JD1 to EP
}

TEST(RouteEdits, NewBreaksAndGradePointsFollowTheLastOnes) {
  // A straight 600 m long from K1+000: its middle is K1+300.
  route::RouteDefinition line;
  line.start = {"BP", 0, 0, 1000};
  line.end = {"EP", 600, 0};
  line.breaks = {{"DL4", 1500, 1500}};
  const route::Route straight(line);
  EXPECT_EQ(newBreak(straight), (route::ChainBreak{"DL5", 1300, 1300}));

  route::RouteDefinition d = smallRoute();
  EXPECT_EQ(newGradePoint(d), (route::GradePointRow{"SJD1", 1000, 0, 0}));
  d.gradePoints = {{"SJD0", 1100, 52.5, 0}, {"SJD3", 1250, 50.5, 8000}};
  EXPECT_EQ(newGradePoint(d), (route::GradePointRow{"SJD4", 1350, 50.5, 0}));
}

TEST(RouteEdits, ButtonsChangeTheRowsTheyName) {
  route::RouteDefinition d = test::RandomRoute(3).make(6);
  d.breaks = {{"DL1", 1500, 1490}, {"DL2", 2500, 2510}, {"DL3", 3500, 3500}};
  route::Route route(d);
  const std::vector<Jd> jds = d.jds;
  swapJds(route.definition(), 1, 2)(route);
  EXPECT_EQ(route.definition().jds[1], jds[2]);
  EXPECT_EQ(route.definition().jds[2], jds[1]);
  eraseJds({0, 2, 5})(route);
  EXPECT_EQ(route.definition().jds, (std::vector<Jd>{jds[2], jds[3], jds[4]}));
  insertJds(1, {jds[0], jds[5]})(route);
  EXPECT_EQ(route.definition().jds, (std::vector<Jd>{jds[2], jds[0], jds[5], jds[3], jds[4]}));
  eraseBreaks(route.definition(), {0, 2})(route);
  EXPECT_EQ(route.definition().breaks, (std::vector<route::ChainBreak>{d.breaks[1]}));
  EXPECT_EQ(route::Route(route.definition()).definition(), route.definition());
}

struct PasteCase {
  const char* text;
  std::vector<Jd> jds;
  std::optional<PasteRefusal> refusal;
};

TEST(RouteEdits, PastedRowsAreReadOrRefusedWhole) {
  const Jd a{"A1", 3457300, 513500, 500, 60, std::nullopt};
  const PasteCase cases[] = {
      {"名称\tX\tY\tR\tLs\tls2\nA1\t3457300\t513500\t500\t60\n", {a}, {}},
      {"\n \t \r\nA1\t3457300\t513500\t500\t60\t\textra\r\n\n", {a}, {}},
      {"B\t1\t2\t300\n", {{"B", 1, 2, 300, 0, std::nullopt}}, {}},
      {"B\t1\t2\t300\t\t40\n", {{"B", 1, 2, 300, 0, 40}}, {}},
      {"", {}, {}},
      {"B1\t1\t2\t300\nB2\t1\tx\t300\n", {}, PasteRefusal{1, 2, {CellFault::NotANumber, "x"}}},
      {"B1\t1\t2\n", {}, PasteRefusal{0, 3, {CellFault::Missing, ""}}},
      {"B1\t1\t2\t3\nname\tX\tY\tR\n", {}, PasteRefusal{1, 1, {CellFault::NotANumber, "X"}}},
      {"B\x01\t1\t2\t3\n", {}, PasteRefusal{0, 0, {CellFault::ControlCharacter, "B\x01"}}},
      {"B\t1\t2\t3\t4\t5e9\n", {}, PasteRefusal{0, 5, {CellFault::BeyondRange, "5e9"}}},
  };
  for (const PasteCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto pasted = pastedJds(c.text);
    if (c.refusal)
      EXPECT_EQ(std::get<PasteRefusal>(pasted), *c.refusal);
    else
      EXPECT_EQ(std::get<std::vector<Jd>>(pasted), c.jds);
  }
}

TEST(RouteEdits, CopiedRowsPasteBackTheSame) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    std::vector<Jd> jds = test::RandomRoute(seed).make(8).jds;
    jds[0].name = "交点 一";
    EXPECT_EQ(std::get<std::vector<Jd>>(pastedJds(copiedJds(jds))), jds) << seed;
  }
}

} // namespace
} // namespace quenlor

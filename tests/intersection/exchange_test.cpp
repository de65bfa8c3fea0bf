// SPDX-License-Identifier: GPL-3.0-or-later
// The outgoing azimuth and the deflection at a JD: computed from the JD's and
// the next point's coordinates or the incoming azimuth, and kept consistent
// with each other as either is typed.
#include "support/session.h"

namespace quenlor {
namespace {

using test::play;

struct ExchangeCase {
  const char* name;
  const char* session;
  const char* outgoing;   // Text18 afterwards
  const char* deflection; // Text19 afterwards
};

// Editing Text17 runs the tangent-azimuth computation, which fills Text18 and
// Text19; typing into them starts as a surveyor does, by typing over the whole
// text (set) and then key by key (type).
class Exchange : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(Exchange, KeepsOutgoingAzimuthAndDeflectionConsistent) {
  Form form;
  play(form, GetParam().session);
  EXPECT_EQ(form.text(Box::Text18), GetParam().outgoing);
  EXPECT_EQ(form.text(Box::Text19), GetParam().deflection);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Exchange,
    ::testing::Values(
        ExchangeCase{"OutgoingTyped", "set Text17 30\nset Text18 4\ntype Text18 5", "45", "15"},
        ExchangeCase{"DeflectionTyped", "set Text17 30\nset Text19 1\ntype Text19 5", "45", "15"},
        ExchangeCase{"BeyondAFullCircle", "set Text17 350\nset Text19 20", "370", "20"},
        ExchangeCase{"BelowZero", "set Text17 10\nset Text19 -20", "-10", "-20"},
        ExchangeCase{"WholeSecondsAddUp", "set Text17 90.332\nset Text19 55.5858", "146.3218",
                     "55.5858"},
        ExchangeCase{"SixtyMinutesAreNormalised", "set Text17 30\nset Text18 4\ntype Text18 5.6",
                     "46", "16"},
        ExchangeCase{"PastedAzimuthIsNormalised", "set Text17 30\nset Text18 45.30001", "45.3",
                     "15.3"},
        ExchangeCase{"PastedTrailingZero", "set Text17 30\nset Text18 45.30", "45.3", "15.3"},
        ExchangeCase{"PastedDeflectionIsNormalised", "set Text17 30\nset Text19 15.30001", "45.3",
                     "15.3"},
        ExchangeCase{"TypedTextsStayAsTyped", "set Text17 30\nset Text18 4\ntype Text18 5.30001",
                     "45.30001", "15.3"},
        ExchangeCase{"TypedDeflectionStaysAsTyped",
                     "set Text17 30\nset Text19 1\ntype Text19 5.30001", "45.3", "15.30001"},
        ExchangeCase{"EmptyIncomingAzimuth", "set Text18 1\ntype Text18 23.4556", "123.4556",
                     "123.4556"},
        ExchangeCase{"TrailingPointStays", "set Text17 30\nset Text18 4\ntype Text18 5.", "45.",
                     "15"},
        ExchangeCase{"FractionOfASecondComesToRest",
                     "set Text17 90.332055\nset Text18 8\ntype Text18 0", "80", "-10.332"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each round would lose a second to the fraction of Text17 (90 deg 33 min
// 20.55 s): 100 gives the deflection 9.2639, that gives back 99.5959, that
// the deflection 9.2638, and the bound of three handlers stops the exchange
// there.
TEST(Exchange, FractionalIncomingAzimuthComesToRestWithinTheNestingBound) {
  Form form;
  play(form, "set Text17 90.332055\nset Text18 1\ntype Text18 00");
  EXPECT_EQ(form.text(Box::Text18), "99.5959");
  EXPECT_EQ(form.text(Box::Text19), "9.2638");
}

struct TangentCase {
  const char* name;
  const char* session; // Text25 and Text11 first, then the inputs
  const char* outgoing;
  const char* deflection;
  const char* nextChainage;
};

class TangentAzimuth : public ::testing::TestWithParam<TangentCase> {};

TEST_P(TangentAzimuth, FillsOutgoingAzimuthDeflectionAndNextChainage) {
  Form form;
  play(form, GetParam().session);
  EXPECT_EQ(form.text(Box::Text18), GetParam().outgoing);
  EXPECT_EQ(form.text(Box::Text19), GetParam().deflection);
  EXPECT_EQ(form.text(Box::Text20), GetParam().nextChainage);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TangentAzimuth,
    ::testing::Values(
        TangentCase{"FromACoordinateBox",
                    "set Text25 1200\nset Text11 50\nset Text17 30\nset Text13 1000\n"
                    "set Text14 1000\nset Text15 1100\nset Text16 1100",
                    "45", "15", "1291.42135623731"},
        TangentCase{"FromTheIncomingAzimuth",
                    "set Text25 1200\nset Text11 50\nset Text13 1000\nset Text14 1000\n"
                    "set Text15 1100\nset Text16 1100\nset Text17 30",
                    "45", "15", "1291.42135623721"},
        TangentCase{"DeflectionIsNotReduced",
                    "set Text25 1200\nset Text11 50\nset Text17 350\nset Text13 1000\n"
                    "set Text14 1000\nset Text15 1100\nset Text16 1000",
                    "0", "-350", "1250"},
        TangentCase{"NegativeDeflection", "set Text17 50.302\nset Text15 100\nset Text16 100", "45",
                    "-5.302", "141.42135623731"},
        TangentCase{"SamePointTwice",
                    "set Text25 1200\nset Text11 50\nset Text17 30.1\nset Text13 7\nset Text14 7\n"
                    "set Text15 7\nset Text16 7",
                    "0", "-30.1", "1150"},
        TangentCase{"EmptyBoxesFromACoordinate", "set Text13 0", "0", "0", "0"},
        TangentCase{"EmptyBoxesFromTheAzimuth", "set Text17 0", "0", "0", "-1E-10"},
        TangentCase{"AnotherJd",
                    "set Text25 1500.5\nset Text11 120.25\nset Text17 45.1234\nset Text13 2000\n"
                    "set Text14 3000\nset Text15 2500\nset Text16 3800",
                    "57.594", "12.4706", "2323.64811320566"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TangentAzimuth, CurveElementsAloneDoNotRefreshTheNextChainage) {
  Form form;
  play(form, "set Text17 30\nset Text13 1000\nset Text14 1000\nset Text15 1100\nset Text16 1100");
  const std::string next = form.text(Box::Text20);
  play(form, "set Text6 15\nset Text8 1000\nset Text9 500");
  EXPECT_NE(form.text(Box::Text25), "");
  EXPECT_EQ(form.text(Box::Text20), next);
  play(form, "type Text16 0\nback Text16");
  EXPECT_NE(form.text(Box::Text20), next);
}

TEST(TangentAzimuth, TheExchangeItStartsEndsOnTheComputedAzimuth) {
  // With whole seconds in Text17, Text19 holds what the exchange computes from
  // Text17 and Text18, and Text18 what it computes back from Text19.
  Form form;
  play(form, "set Text17 123.4517\nset Text15 -300\nset Text16 412.5");
  Form exchange;
  play(exchange, "set Text17 123.4517\nset Text18 " + form.text(Box::Text18));
  EXPECT_EQ(form.text(Box::Text19), exchange.text(Box::Text19));
  EXPECT_EQ(form.text(Box::Text18), exchange.text(Box::Text18));
}

} // namespace
} // namespace quenlor

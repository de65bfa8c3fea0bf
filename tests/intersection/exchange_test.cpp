// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(Exchange, IsStartedByTheTangentAzimuthComputation) {
  Form form;
  play(form, "set Text17 90.332055\nset Text15 100\nset Text16 100");
  EXPECT_EQ(form.text(Box::Text18), "45");
  EXPECT_NE(form.text(Box::Text19), "");
}

} // namespace
} // namespace quenlor

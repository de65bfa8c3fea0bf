// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/session.h"

namespace quenlor {
namespace {

using test::play;

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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/cut_fill.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quenlor {
namespace {

struct CutFillCase {
  double design, ground, difference;
  Earthwork earthwork;
};

constexpr CutFillCase kCases[] = {
    {101.234, 100, 1.234, Earthwork::Fill},
    {99.5, 100, -0.5, Earthwork::Cut},
    {100.0006, 100, 0.001, Earthwork::Fill}, // rounds up to a millimetre
    {99.9994, 100, -0.001, Earthwork::Cut},
    {100.0004, 100, 0, Earthwork::OnGrade}, // under half a millimetre
    {99.9996, 100, 0, Earthwork::OnGrade},  // and never "−0.000"
};

TEST(CutFill, DecidedToTheMillimetre) {
  for (const CutFillCase& c : kCases) {
    const CutFill result = cutFill(c.design, c.ground);
    EXPECT_DOUBLE_EQ(result.difference, c.difference) << c.design;
    EXPECT_FALSE(std::signbit(result.difference) && result.difference == 0) << c.design;
    EXPECT_EQ(result.earthwork, c.earthwork) << c.design;
  }
}

} // namespace
} // namespace quenlor

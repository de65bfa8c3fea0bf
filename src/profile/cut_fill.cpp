// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/cut_fill.h"

#include <cmath>

namespace quenlor {
namespace {
constexpr double kMillimetresPerMetre = 1000.0;
}

CutFill cutFill(double designElevation, double groundElevation) {
  const double millimetres = std::round((designElevation - groundElevation) * kMillimetresPerMetre);
  CutFill result;
  // + 0.0 turns a rounded −0 into 0, so "−0.000" is never shown.
  result.difference = millimetres / kMillimetresPerMetre + 0.0;
  result.earthwork =
      millimetres > 0 ? Earthwork::Fill : (millimetres < 0 ? Earthwork::Cut : Earthwork::OnGrade);
  return result;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
// Cut or fill at a stake: how far the road's design level is above or below
// the ground there, decided to the millimetre as the stake is marked.
#pragma once

namespace quenlor {

enum class Earthwork {
  Fill,   // 填: the design level is above the ground
  Cut,    // 挖: below it
  OnGrade // within half a millimetre of it
};

struct CutFill {
  double difference = 0; // design − ground, metres, rounded to the millimetre (never −0)
  Earthwork earthwork = Earthwork::OnGrade;
};

// The difference rounded half away from zero to 0.001 m decides: above zero
// fill, below zero cut, zero on grade. The caller writes the text.
CutFill cutFill(double designElevation, double groundElevation);

} // namespace quenlor

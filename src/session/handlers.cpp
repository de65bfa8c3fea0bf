// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/handler_hook.h"

#include "chainage/point_at_chainage.h"
#include "curve/curve_elements.h"
#include "curve/radius.h"
#include "intersection/exchange.h"
#include "intersection/tangent_azimuth.h"
#include "setout/elevation.h"
#include "setout/station.h"

namespace quenlor {

namespace {

// "方位角计算": its click does nothing.
void Command1_Click(Form&) {}

} // namespace

Handler changeHandler(Box box) {
  switch (box) {
  case Box::Text1: return Text1_Change;
  case Box::Text2: return Text2_Change;
  case Box::Text3: return Text3_Change;
  case Box::Text5: return Text5_Change;
  case Box::Text6: return Text6_Change;
  case Box::Text8: return Text8_Change;
  case Box::Text9: return Text9_Change;
  case Box::Text10: return Text10_Change;
  case Box::Text13: return Text13_Change;
  case Box::Text14: return Text14_Change;
  case Box::Text15: return Text15_Change;
  case Box::Text16: return Text16_Change;
  case Box::Text17: return Text17_Change;
  case Box::Text18: return Text18_Change;
  case Box::Text19: return Text19_Change;
  case Box::Text26: return Text26_Change;
  case Box::Text31: return Text31_Change;
  case Box::Text35: return Text35_Change;
  case Box::Text36: return Text36_Change;
  case Box::Text37: return Text37_Change;
  case Box::Text38: return Text38_Change;
  case Box::Text39: return Text39_Change;
  case Box::Text40: return Text40_Change;
  case Box::Text41: return Text41_Change;
  case Box::Text42: return Text42_Change;
  default: return nullptr;
  }
}

Handler clickHandler(Button button) {
  switch (button) {
  case Button::Command1: return Command1_Click;
  case Button::Command3: return Command3_Click;
  case Button::Command4: return Command4_Click;
  case Button::Command6: return Command6_Click;
  default: return nullptr;
  }
}

} // namespace quenlor

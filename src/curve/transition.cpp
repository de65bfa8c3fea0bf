#include "curve/transition.h"

#include "main/calc_state.h"
#include "main/fault.h"

#include <cmath>

namespace quenlor {

TransitionElements transitionElements(double ls, double radius) {
  TransitionElements t{};
  t.shift = ls * ls / 24.0 / radius;
  t.tangentExtension = ls / 2.0 - std::pow(ls, 3) / 240.0 / radius / radius;
  t.spiralAngle = ls / 2.0 / radius;
  return t;
}

void storeMainPointChainages(CalcState& st) {
  const double ly = st.circularCurveLength;
  store(st.zhChainage, st.jdChainage - st.tangentLength1);
  store(st.hyChainage, st.zhChainage + st.transitionLength1);
  store(st.qzChainage, st.hyChainage + ly / 2.0);
  store(st.yhChainage, st.hyChainage + ly);
  store(st.hzChainage, st.yhChainage + st.transitionLength2);
}

} // namespace quenlor

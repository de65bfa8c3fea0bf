// SPDX-License-Identifier: GPL-3.0-or-later
// The one worked curve most tests stand on, as the lines of a session.
#pragma once

#include <string>

namespace quenlor::test {

// The worked curve of the point at a chainage, typed into its boxes: R 300,
// Ls and ls2 60, T 139.3631, JD (1000, 2000), ZH 500, HY 560, QZ 634.7198, YH
// 709.4395, HZ 769.4395, incoming azimuth 30, deflection 40 turning right
// (outgoing 70) or -40 turning left (outgoing 350). Its ZH point is
// (879.3080, 1930.3185); the HZ point (1047.6650, 2130.9585) on the right,
// (1137.2459, 1975.7998) on the left.
inline std::string workedCurve(bool right = true) {
  return std::string("set Text6 ") + (right ? "40" : "-40") +
         "\nset Text9 300\nset Text10 60\nset Text42 60\nset Text11 139.3631\nset Text21 500\n"
         "set Text22 560\nset Text23 634.7198\nset Text24 709.4395\nset Text25 769.4395\n"
         "set Text13 1000\nset Text14 2000\nset Text17 30\nset Text18 " +
         (right ? "70" : "350") + "\n";
}

} // namespace quenlor::test

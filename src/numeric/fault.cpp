// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/fault.h"

#include "numeric/number_text.h"

#include <cfenv>

namespace quenlor {
namespace {
constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

void clearFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

void checkFaults() {
  if (std::fetestexcept(kFaultFlags) != 0)
    throw ArithmeticFault{};
}

void store(double& member, double value) {
  checkFaults();
  if (!isWritableNumber(value))
    throw ArithmeticFault{};
  member = value;
}

} // namespace quenlor

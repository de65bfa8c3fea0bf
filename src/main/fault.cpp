#include "main/fault.h"

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

void store(double &member, double value) {
  checkFaults();
  member = value;
}

double checked(double value) {
  checkFaults();
  return value;
}

} // namespace quenlor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric/fault.h"

#include "numeric/number_text.h"

#include <cfenv>
#include <cstdint>

namespace quenlor {
namespace {

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// The fault flags raised since they were last cleared. On x86-64 read as
// fetestexcept reads them, from the x87 status word and the SSE status
// register (the flags have the same bits in both), without its library call:
// every step of a computation asks.
int raisedFaultFlags() {
#if defined(__x86_64__)
  std::uint16_t x87 = 0;
  std::uint32_t sse = 0;
  __asm__ volatile("fnstsw %0" : "=m"(x87));
  __asm__ volatile("stmxcsr %0" : "=m"(sse));
  return int(x87 | sse) & kFaultFlags;
#else
  return std::fetestexcept(kFaultFlags);
#endif
}

} // namespace

void clearFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

void checkFaults() {
  if (raisedFaultFlags() != 0)
    throw ArithmeticFault{};
}

void store(double& member, double value) {
  if (raisedFaultFlags() != 0 || !isWritableNumber(value))
    throw ArithmeticFault{};
  member = value;
}

} // namespace quenlor

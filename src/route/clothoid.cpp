// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/clothoid.h"

#include <algorithm>
#include <cmath>

namespace quenlor::route {
namespace {

constexpr double kNegligibleTerm = 1e-17; // relative to l
constexpr int kMostTerms = 200;           // reached only far beyond a half turn

// A piece of a spiral turns by at most this (|a| + |b|, clothoid.h's method).
constexpr double kMostPieceTurn = 1;
// Terms of x^n / n! for |x| <= 1 until one is below kNegligibleTerm: 19.
constexpr int kMostSeriesTerms = 24;

struct Complex {
  double re = 0, im = 0;
};

// The terms x^n / n! of the exponential series, |x| <= 1, up to the first
// below kNegligibleTerm; how many.
int exponentialTerms(double x, double (&terms)[kMostSeriesTerms]) {
  double term = 1;
  int n = 0;
  while (n < kMostSeriesTerms) {
    terms[n] = term;
    ++n;
    term *= x / n;
    if (std::fabs(term) < kNegligibleTerm)
      break;
  }
  return n;
}

// i^n z.
Complex timesPowerOfI(int n, Complex z) {
  switch (n % 4) {
  case 0: return z;
  case 1: return {-z.im, z.re};
  case 2: return {-z.re, -z.im};
  default: return {z.im, -z.re};
  }
}

// J(a, b) = integral_0^1 e^{i (a u + b u^2)} du as the double series
// sum_q (i b)^q / q! sum_p (i a)^p / (p! (p + 2q + 1)).
Complex unitIntegral(double a, double b) {
  double aTerms[kMostSeriesTerms], bTerms[kMostSeriesTerms];
  const int pCount = exponentialTerms(a, aTerms), qCount = exponentialTerms(b, bTerms);
  Complex sum;
  for (int q = 0; q < qCount; ++q) {
    Complex inner; // sum_p i^p a^p / (p! (p + 2q + 1))
    for (int p = 0; p < pCount; ++p) {
      const double term = aTerms[p] / (p + 2 * q + 1);
      const bool negative = p % 4 >= 2;
      (p % 2 == 0 ? inner.re : inner.im) += negative ? -term : term;
    }
    const Complex turned = timesPowerOfI(q, inner);
    sum.re += bTerms[q] * turned.re;
    sum.im += bTerms[q] * turned.im;
  }
  return sum;
}

} // namespace

LocalPoint clothoidPoint(double l, double rls) {
  const double theta = clothoidAngle(l, rls);
  double x = 0, y = 0;
  double power = 1; // theta^n / n!
  for (int n = 0; n < kMostTerms; ++n) {
    const double term = power / (2 * n + 1);
    const bool negative = n % 4 >= 2;
    (n % 2 == 0 ? x : y) += negative ? -term : term;
    power *= theta / (n + 1);
    const bool shrinking = n + 1 > theta;
    if (n >= 1 && shrinking && power / (2 * n + 3) < kNegligibleTerm)
      break;
  }
  return {l * x, l * y};
}

double clothoidAngle(double l, double rls) { return l * l / (2 * rls); }

double spiralAngle(double l, double k0, double rate) { return l * (k0 + rate * l / 2); }

LocalPoint spiralPoint(double l, double k0, double rate) {
  const double most = std::max(std::fabs(k0), std::fabs(k0 + rate * l));
  const double turn = most * l + std::fabs(rate) * l * l / 2;
  const double pieces =
      std::clamp(std::ceil(turn / kMostPieceTurn), 1.0, double(kMostSpiralPieces));
  const int n = std::isfinite(pieces) ? int(pieces) : 1;
  const double h = l / n;
  const double b = rate * h * h / 2;
  double x = 0, y = 0;
  for (int i = 0; i < n; ++i) {
    const double from = i * h; // not summed, so that the pieces' starts do not drift
    const Complex piece = unitIntegral((k0 + rate * from) * h, b);
    const double angle = spiralAngle(from, k0, rate);
    const double c = std::cos(angle), s = std::sin(angle);
    x += h * (c * piece.re - s * piece.im);
    y += h * (s * piece.re + c * piece.im);
  }
  return {x, y};
}

TransitionShape transitionShape(double ls, double radius) {
  TransitionShape shape;
  if (ls == 0)
    return shape;
  shape.end = clothoidPoint(ls, radius * ls);
  shape.spiralAngle = ls / (2 * radius);
  const double halfSine = std::sin(shape.spiralAngle / 2);
  shape.shift =
      shape.end.y - radius * 2 * halfSine * halfSine; // 1 - cos as 2 sin^2, no cancellation
  shape.extension = shape.end.x - radius * std::sin(shape.spiralAngle);
  return shape;
}

} // namespace quenlor::route
